#include <Platform/Gui/TextOutput.h>

#include <Platform/Text/Utf8.h>

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace Platform::Gui {

namespace {

constexpr int DefaultCharacterHeight = 12;
// Far beyond any label: a larger picture is a mistake, not something to allocate.
constexpr std::int64_t MaxPicturePixels = std::int64_t{1} << 24;
constexpr int MaxHeight = 4096;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct ObjectDeleter {
    void operator()(void* o) const { g_object_unref(o); }
};
struct DescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
struct MetricsDeleter {
    void operator()(PangoFontMetrics* m) const { pango_font_metrics_unref(m); }
};
using Description = std::unique_ptr<PangoFontDescription, DescriptionDeleter>;

// The program's one face name keeps to its metric-compatible stand-ins.
std::string Families(const std::string& family) {
    if (g_ascii_strcasecmp(family.c_str(), "Arial") == 0) return "Arial,Liberation Sans,Arimo";
    return family.empty() ? std::string("Sans") : family;
}

// Grey smoothing only: coloured sub-pixel edges would show through in the label's colour.
void SetFontOptions(PangoContext* context) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
}

struct Line {
    int ascent = 0;
    int height = 0;
};

Line LineOf(PangoContext* context, const PangoFontDescription* description) {
    std::unique_ptr<PangoFontMetrics, MetricsDeleter> metrics(pango_context_get_metrics(context, description, nullptr));
    if (!metrics) return {};
    Line line;
    line.ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics.get()));
    line.height = line.ascent + PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics.get()));
    return line;
}

// A layout on a scratch surface, its font chosen and sized as the face asks.
class Layout {
public:
    explicit Layout(const TextFace& face) {
        m_surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
        m_cairo.reset(cairo_create(m_surface.get()));
        m_layout.reset(pango_cairo_create_layout(m_cairo.get()));
        if (!m_layout) return;
        PangoContext* context = pango_layout_get_context(m_layout.get());
        SetFontOptions(context);
        m_description.reset(pango_font_description_new());
        pango_font_description_set_family(m_description.get(), Families(face.family).c_str());
        const int height = std::clamp(face.height, -MaxHeight, MaxHeight);
        const int em = height < 0 ? -height : height > 0 ? height : DefaultCharacterHeight;
        pango_font_description_set_absolute_size(m_description.get(), double(em) * PANGO_SCALE);
        if (height > 0) {
            // A cell height: scale the character height so that ascent plus descent fits it.
            const Line line = LineOf(context, m_description.get());
            if (line.height > 0)
                pango_font_description_set_absolute_size(
                    m_description.get(), double(em) * em / line.height * PANGO_SCALE);
        }
        pango_layout_set_font_description(m_layout.get(), m_description.get());
        pango_layout_context_changed(m_layout.get());
        m_line = LineOf(context, m_description.get());
    }

    PangoLayout* Get() const { return m_layout.get(); }
    const Line& LineMetrics() const { return m_line; }

private:
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> m_surface;
    std::unique_ptr<cairo_t, CairoDeleter> m_cairo;
    std::unique_ptr<PangoLayout, ObjectDeleter> m_layout;
    Description m_description;
    Line m_line;
};

}  // namespace

int TextLineHeight(const TextFace& face) {
    Layout layout(face);
    return layout.Get() ? layout.LineMetrics().height : 0;
}

TextPicture RenderText(const TextFace& face, const std::string& text, int characterExtra) {
    TextPicture picture;
    if (text.empty()) return picture;
    Layout layout(face);
    PangoLayout* pango = layout.Get();
    if (!pango) return picture;
    // Invalid UTF-8 would make the layout show nothing but warnings.
    const std::string valid = Platform::Text::ValidUtf8(text);
    pango_layout_set_text(pango, valid.data(), int(valid.size()));
    pango_layout_set_single_paragraph_mode(pango, TRUE);
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(
        attributes, pango_attr_letter_spacing_new(std::clamp(characterExtra, -256, 256) * PANGO_SCALE));
    pango_layout_set_attributes(pango, attributes);
    pango_attr_list_unref(attributes);

    PangoRectangle logical;
    pango_layout_get_pixel_extents(pango, nullptr, &logical);
    const int width = std::max(0, logical.x + logical.width);
    const int height = std::max(0, layout.LineMetrics().height);
    if (width < 1 || height < 1 || std::int64_t{width} * height > MaxPicturePixels) return picture;

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return picture;
    std::unique_ptr<cairo_t, CairoDeleter> cairo(cairo_create(surface.get()));
    cairo_set_source_rgb(cairo.get(), 0, 0, 0);
    cairo_paint(cairo.get());
    cairo_set_source_rgb(cairo.get(), 1, 1, 1);
    pango_cairo_update_layout(cairo.get(), pango);
    // The baseline sits at the face's ascent, whatever line height the layout chose.
    const double baseline = double(pango_layout_get_baseline(pango)) / PANGO_SCALE;
    cairo_move_to(cairo.get(), 0, layout.LineMetrics().ascent - baseline);
    pango_cairo_show_layout(cairo.get(), pango);
    cairo_surface_flush(surface.get());

    picture.width = width;
    picture.height = height;
    picture.pixels.resize(std::size_t(width) * height);
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < width; ++x) picture.pixels[std::size_t(y) * width + x] = row[x] & 0x00FFFFFFu;
    }
    return picture;
}

}  // namespace Platform::Gui
