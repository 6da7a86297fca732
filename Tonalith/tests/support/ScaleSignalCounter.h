#pragma once
#include <QvBase/Object/Object.h>

// Counts the emissions of the signals it is connected to.
class ScaleSignalCounter : public Object {
    QV_OBJECT()
public:
    ScaleSignalCounter() : Object("ScaleSignalCounter") {}
    void slotCount() { ++count; }

    // Connects the sender's parameterless signal (its text without the "2").
    bool Watch(Object* sender, const char* signal);

    int count = 0;
};
