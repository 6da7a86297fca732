#include <QvBase/UI/Drawing/Image.h>

#include <QvBase/UI/Drawing/ImageLimits.h>
#include <QvBase/Util/ResourceArchive.h>

namespace UI {

SharedPtr<Image> Image::Create(Size size) {
    if (size.width < 1 || size.height < 1) return SharedPtr<Image>(new Image);
    if (!FitsImageLimits(size.width, size.height)) return SharedPtr<Image>();
    std::uint32_t* memory = PixelBuffer::Allocate(static_cast<std::size_t>(size.width) * size.height);
    if (!memory) return SharedPtr<Image>();
    SharedPtr<Image> image(new Image);
    image->m_pixels.Reset(memory);
    image->m_stride = size.width;
    image->m_width = size.width;
    image->m_height = size.height;
    return image;
}

SharedPtr<Image> Image::LoadPng(const String& path) {
    const void* data = nullptr;
    std::uint32_t size = 0;
    ResourceArchive::Instance().Find(path, data, size);
    if (!data) return SharedPtr<Image>();
    return DecodePng(size, data);
}

}  // namespace UI
