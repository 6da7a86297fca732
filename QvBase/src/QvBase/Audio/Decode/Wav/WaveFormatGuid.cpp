#include <QvBase/Audio/Decode/Wav/WaveFormatGuid.h>

namespace Audio::Decode::WAV {

String GuidText(const WaveFormatGuid& guid) {
    String text = String("%1/%2/%3/%4%4%4%4%4%4%4%4")
                      .Arg(guid.Data1, 16)
                      .Arg(uint32_t(guid.Data2), 16)
                      .Arg(uint32_t(guid.Data3), 16);
    for (uint8_t byte : guid.Data4) text = text.Arg(uint32_t(byte), 16);
    return text;
}

}  // namespace Audio::Decode::WAV
