#pragma once

#include <QvBase/Audio/Decode/ByteOrder.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace Audio::Decode {

// How a container stores its samples.
struct StoredSamples {
    uint32_t Bytes = 0;  // per sample
    bool Float = false;  // IEEE float rather than two's-complement integer
    ByteOrder Order = ByteOrder::LittleEndian;
};

// Converts `samples` stored samples into a read's target; the stored bytes may be overwritten.
template <class T>
using ConvertSamples = void (*)(uint8_t* stored, size_t samples, T* destination);

// Converts `frames` stored frames of `channels` samples each into one float buffer per
// channel, in one pass; the stored bytes may be overwritten.
using SplitSamples = void (*)(uint8_t* stored, size_t frames, uint32_t channels, float* const* destinations);

template <class T>
struct ConversionTo {
    bool Offered = false;
    ConvertSamples<T> Convert = nullptr;  // null when the stored samples already are T
};

// The one layer between the samples of every container and the targets of the reads, chosen
// once when a file opens from how the file stores its samples.
struct SampleConverter {
    StoredSamples Stored;
    ConversionTo<float> Float;
    ConversionTo<double> Double;
    ConversionTo<int16_t> Int16;
    // The float conversion for the de-interleaving read, set whenever Float is offered.
    SplitSamples FloatSplit = nullptr;

    template <class T>
    const ConversionTo<T>& To() const {
        if constexpr (std::is_same_v<T, float>)
            return Float;
        else if constexpr (std::is_same_v<T, double>)
            return Double;
        else
            return Int16;
    }

    // Turns `count` stored samples into their little-endian form, for the raw read.
    void ToLittleEndian(void* samples, size_t count) const;
};

SampleConverter ConverterFor(StoredSamples stored);

}  // namespace Audio::Decode
