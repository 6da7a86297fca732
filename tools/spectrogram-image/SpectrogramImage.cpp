// spectrogram-image FILE OUT.ppm WIDTH HEIGHT [type fftsize padding overlap window range mel bilinear]
//
// A developer tool: decodes FILE as the program does, computes and renders its whole
// spectrogram through the spectrogram calculator at WIDTH x HEIGHT, exactly as the display
// asks for it, and writes the image as a binary PPM. type, fftsize, padding, overlap and
// window are indexes of the option tables, range is the amplitude range in dB, mel and
// bilinear are 0 or 1; missing ones take the display's defaults. Rows outside the channel
// bands come out black.

#include <tools/decode-raw/DecodeFile.h>

#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Usage(const char* problem) {
    std::fprintf(stderr,
        "spectrogram-image: %s\n"
        "usage: spectrogram-image FILE OUT.ppm WIDTH HEIGHT [type fftsize padding overlap window range mel "
        "bilinear]\n",
        problem);
    return 2;
}

// A whole decimal number in [low, high].
bool ParseIndex(const char* text, long low, long high, std::uint32_t& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < low || value > high) return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseSettings(int argc, char** argv, UI::SpectrogramSettings& settings) {
    namespace Options = UI::SpectrogramOptions;
    std::uint32_t* indexes[5] = {
        &settings.type, &settings.fftSize, &settings.zeroPadding, &settings.overlap, &settings.window};
    const std::uint32_t counts[5] = {Options::kTypeCount, Options::kFftSizeCount, Options::kZeroPaddingCount,
        Options::kOverlapCount, Options::kWindowCount};
    for (int i = 0; i < 5 && 5 + i < argc; ++i) {
        if (!ParseIndex(argv[5 + i], 0, long(counts[i]) - 1, *indexes[i])) return false;
    }
    if (argc > 10) {
        char* end = nullptr;
        const float range = std::strtof(argv[10], &end);
        if (end == argv[10] || *end != '\0' || !(range > 0.0f) || !std::isfinite(range)) return false;
        settings.ampRange = range;
    }
    std::uint32_t flag = 0;
    if (argc > 11) {
        if (!ParseIndex(argv[11], 0, 1, flag)) return false;
        settings.bMel = std::uint8_t(flag);
    }
    if (argc > 12) {
        if (!ParseIndex(argv[12], 0, 1, flag)) return false;
        settings.bBilinear = std::uint8_t(flag);
    }
    return true;
}

bool WritePpm(const char* path, const UI::Image& image) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = std::fprintf(file, "P6\n%d %d\n255\n", image.Width(), image.Height()) > 0;
    std::vector<unsigned char> row(std::size_t(image.Width()) * 3);
    for (int y = 0; ok && y < image.Height(); ++y) {
        const std::uint32_t* pixels = image.Pixels() + std::int64_t(y) * image.Stride();
        for (int x = 0; x < image.Width(); ++x) {
            // Pixels the render left transparent show as black.
            const std::uint32_t p = (pixels[x] >> 24) == 0xFF ? 0u : pixels[x];
            row[std::size_t(x) * 3] = static_cast<unsigned char>(p >> 16);
            row[std::size_t(x) * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[std::size_t(x) * 3 + 2] = static_cast<unsigned char>(p);
        }
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 13) return Usage("wrong number of arguments");
    std::uint32_t width = 0, height = 0;
    if (!ParseIndex(argv[3], 1, 16384, width) || !ParseIndex(argv[4], 1, 16384, height))
        return Usage("WIDTH and HEIGHT must be whole numbers from 1 to 16384");
    UI::SpectrogramSettings settings;
    if (!ParseSettings(argc, argv, settings)) return Usage("a setting lies outside its option table");

    Tools::DecodedAudio audio;
    const std::string error = Tools::DecodeFile(argv[1], audio);
    if (!error.empty()) {
        std::fprintf(stderr, "spectrogram-image: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (audio.frames == 0 || audio.channels.empty()) {
        std::fprintf(stderr, "spectrogram-image: %s: This file is empty.\n", argv[1]);
        return 1;
    }

    std::vector<const float*> table;
    for (const auto& channel : audio.channels) table.push_back(channel.data());
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource(
        argv[1], audio.sampleRate, std::uint32_t(audio.channels.size()), audio.frames, table.data()));
    UI::SpectrogramCalculator calculator(source, settings);

    // The view the spectrogram display asks for when it shows the whole file.
    UI::AudioViewRequest view;
    view.channels = std::uint32_t(audio.channels.size());
    view.length = audio.frames;
    view.visible = UI::SampleRange(0, audio.frames);
    view.ampFull = view.ampVisible = {-1.0f, 1.0f};
    view.bMel = settings.bMel != 0;
    view.freqFull = view.freqVisible = {0.0f, float(audio.sampleRate) / 2.0f};
    bool compute = false, render = false;
    calculator.SyncView(view, &compute, &render);
    calculator.SetActive(true);
    calculator.SetNeedsCompute(compute);
    calculator.SetNeedsRender(render);

    SharedPtr<UI::Image> image = UI::Image::Create(UI::Size{int(width), int(height)});
    if (!image.Get() || image->Pixels() == nullptr) {
        std::fprintf(stderr, "spectrogram-image: no memory for a %u x %u image\n", width, height);
        return 1;
    }
    std::fill_n(image->Pixels(), std::size_t(width) * height, 0xFF000000u);
    image->SetAlpha(true);

    if (calculator.DoCompute() != UI::kStepFinished) {
        std::fprintf(
            stderr, "spectrogram-image: %s\n", calculator.LastFailure(UI::CalculatorStep::Compute).detail.c_str());
        return 1;
    }
    if (calculator.DoRender(image.Get()) != UI::kStepFinished) {
        std::fprintf(
            stderr, "spectrogram-image: %s\n", calculator.LastFailure(UI::CalculatorStep::Render).detail.c_str());
        return 1;
    }
    if (!WritePpm(argv[2], *image)) {
        std::fprintf(stderr, "spectrogram-image: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
