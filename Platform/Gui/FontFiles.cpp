#include <Platform/Gui/FontFiles.h>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <memory>

namespace Platform::Gui {

namespace {

struct KnownFace {
    const char* fileName;
    int weight;
    int slant;
};

// Faces the program names, each found only in its own family or one with the same metrics.
constexpr const char* ArialFamilies[] = {"Arial", "Liberation Sans", "Arimo"};
constexpr KnownFace ArialFaces[] = {
    {"arial.ttf", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
    {"arialbd.ttf", FC_WEIGHT_BOLD, FC_SLANT_ROMAN},
    {"ariali.ttf", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC},
    {"arialbi.ttf", FC_WEIGHT_BOLD, FC_SLANT_ITALIC},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// Every scalable font file matching `pattern` exactly (lists, unlike matches, never substitute).
template <class Accept>
std::string FirstFile(FcPattern* pattern, Accept accept) {
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FILE, FC_WEIGHT, FC_SLANT, FC_SCALABLE, FC_INDEX, nullptr));
    if (!objects) return {};
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern, objects.get()));
    if (!fonts) return {};
    std::string best;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* file = nullptr;
        FcBool scalable = FcFalse;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
        if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
        if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch && index != 0) continue;
        const std::string path(reinterpret_cast<const char*>(file));
        if (!accept(font, path)) continue;
        // Several copies of one face: the same choice on every run.
        if (best.empty() || path < best) best = path;
    }
    return best;
}

std::string FindKnownFace(const KnownFace& face) {
    for (const char* family : ArialFamilies) {
        std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
        if (!pattern) return {};
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        FcPatternAddInteger(pattern.get(), FC_SLANT, face.slant);
        std::string file = FirstFile(pattern.get(), [&](FcPattern* font, const std::string&) {
            int weight = -1;
            return FcPatternGetInteger(font, FC_WEIGHT, 0, &weight) == FcResultMatch && weight == face.weight;
        });
        if (!file.empty()) return file;
    }
    return {};
}

std::string FindByFileName(const std::string& fileName) {
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    if (!pattern) return {};
    const std::string wanted = Lower(fileName);
    return FirstFile(pattern.get(), [&](FcPattern*, const std::string& path) {
        const std::size_t slash = path.rfind('/');
        return Lower(path.substr(slash == std::string::npos ? 0 : slash + 1)) == wanted;
    });
}

}  // namespace

std::string FindFontFile(const std::string& faceFileName) {
    if (faceFileName.empty() || faceFileName.find('/') != std::string::npos) return {};
    if (!FcInit()) return {};
    const std::string name = Lower(faceFileName);
    for (const KnownFace& face : ArialFaces)
        if (name == face.fileName) {
            // An installed file of the very name is the face itself.
            std::string own = FindByFileName(faceFileName);
            return own.empty() ? FindKnownFace(face) : own;
        }
    return FindByFileName(faceFileName);
}

}  // namespace Platform::Gui
