#pragma once

#include <QvBase/Audio/Decode/FileDecoder.h>

namespace Audio::Decode::WAV {

// RIFF "WAVE" files: integer PCM of 8 to 32 bits, 32-bit IEEE float, and the extensible
// format with the PCM or IEEE-float sub-format. 8-bit files open, but only their raw read works.
class Decoder : public FileDecoder {
public:
    explicit Decoder(const String& path);
    ~Decoder() override;

    Type GetType() override;
    Format Open() override;

protected:
    String UnsupportedMessage(Conversion conversion) const override;

private:
    void ParseHeader();
    void ParseFormatChunk(uint32_t size);
    void ParseExtensible(uint32_t size, uint16_t bits);
};

}  // namespace Audio::Decode::WAV
