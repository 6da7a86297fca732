#include <QvBase/Audio/Decode/CreateStream.h>

#include <QvBase/Audio/Decode/Aiff/AiffDecoder.h>
#include <QvBase/Audio/Decode/Exception.h>
#include <QvBase/Audio/Decode/HeaderProbe.h>
#include <QvBase/Audio/Decode/Rex/RexDecoder.h>
#include <QvBase/Audio/Decode/Wav/WavDecoder.h>
#include <QvBase/Audio/Decode/Wma/WmaDecoder.h>

namespace Audio::Decode {

namespace {

Stream* MakeDecoder(Type type, const String& path) {
    switch (type) {
    case Type::Wav: return new WAV::Decoder(path);
    case Type::Aiff: return new AIFF::Decoder(path);
    case Type::WindowsMedia: return new WMA::Decoder(path);
    case Type::Rex: return new REX::Decoder(path);
    case Type::Mp3: return nullptr;
    }
    return nullptr;
}

}  // namespace

SharedPtr<Stream> CreateStream(const String& path) {
    const Type type = ProbeHeader(path).value_or(TypeFromExtension(path));
    try {
        return SharedPtr<Stream>(MakeDecoder(type, path));
    } catch (const Exception::BadFormat&) {
        return SharedPtr<Stream>(nullptr);
    }
}

}  // namespace Audio::Decode
