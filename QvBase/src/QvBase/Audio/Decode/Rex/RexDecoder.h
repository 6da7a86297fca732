#pragma once
#include <QvBase/Audio/Decode/FileDecoder.h>
#include <QvBase/Audio/Decode/Rex/RexInterface.h>

#include <vector>

namespace Audio::Decode::REX {

// REX2 loops, handed whole to the REX vendor library, which reports the loop and renders its
// slices. Open renders every slice into a per-channel float cache laid out on the loop's
// timeline; the reads copy from it.
class Decoder : public FileDecoder {
public:
    explicit Decoder(const String& path);
    ~Decoder() override;

    Type GetType() override { return Type::Rex; }
    Format Open() override;
    void Seek(uint32_t frame) override;
    bool HasChunk(uint32_t) override { return false; }
    void ReadChunk(uint32_t id, std::vector<uint8_t>& bytes) override;
    void Close() override;

protected:
    String UnsupportedMessage(Conversion conversion) const override;
    // Interleaves frames from the cache at the position.
    void ReadFramesRaw(uint32_t frames, void* destination) override;

private:
    void Decode();
    // The frame of a time in ticks on the loop's timeline, rounded half away from zero.
    double Frames(double ticks) const;
    // Reads the loop information, fills the format and the total; returns the slice count.
    int32_t ReadLoop(Handle handle);
    // Where each slice starts and how much of it is kept.
    void PlaceSlices(Handle handle, int32_t slices);
    void Render(Handle handle);

    bool m_holdsLibrary = false;
    LoopInfo m_info{};
    std::vector<uint32_t> m_sliceStart;
    std::vector<uint32_t> m_sliceKept;
    std::vector<std::vector<float>> m_cache;
};

}  // namespace Audio::Decode::REX
