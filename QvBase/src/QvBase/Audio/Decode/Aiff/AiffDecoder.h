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
    bool Supports(Conversion conversion) const override;
    String UnsupportedMessage(Conversion conversion) const override;
    void ReadFloatBlock(uint32_t frames, float* destination) override;
    void ReadDoubleBlock(uint32_t frames, double* destination) override;
    void ReadInt16Block(uint32_t frames, int16_t* destination) override;
    void RawToLittleEndian(void* samples, size_t count) override;

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
