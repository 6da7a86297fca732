#pragma once

#include <QvBase/Audio/Decode/FileDecoder.h>

namespace Audio::Decode::AIFF {

// AIFF files and uncompressed files of the compressed form ("AIFC" with compression "NONE"):
// big-endian 16- or 24-bit samples, one or two channels.
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
    void ParseCommonChunk(uint32_t size, bool compressedForm);
    void CheckSoundDataHoldsFrames(uint32_t declaredSize);

    int32_t m_bits = 0;
};

// The sample rate of a common chunk rounded half away from zero, or nothing when the
// extended number is not a finite value in the range of a 32-bit rate.
std::optional<uint32_t> RoundedSampleRate(double rate);

}  // namespace Audio::Decode::AIFF
