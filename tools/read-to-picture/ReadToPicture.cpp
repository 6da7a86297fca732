// read-to-picture FILE [WIDTHxHEIGHT]
//
// A developer tool: starts the program's main window on the current display (under Xvfb:
// scripts/with-xvfb build/bin/read-to-picture ...), with a settings store of its own and so
// the default settings, and once the window has painted loads FILE as File > Open does. It
// prints the times from the start of the load to the end of the read, of the spectrogram's
// compute step and of its render step, and to the first repaint that shows the whole
// picture; the longest pause between two repaints of the window during the read (the open
// included), after it and over the whole way; and the longest pause between two ticks of
// the update timer over the whole way, which says how long the UI thread was kept busy
// (after the read the displays repaint on the tick nearest every 100 ms).
// Times are seen on the update timer's ticks (33 ms). WIDTHxHEIGHT is the window's outer
// size, the program's 700x400 when not given; 1333x674 gives a spectrogram of 1280x513.

#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/MainWindow.h>
#include <Tonalith/Display/Spectrogram.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/Util/ResourceArchive.h>

#include <Platform/Gui/WindowSystem.h>
#include <Platform/Resources/Resources.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Sees every repaint of the frame (it covers it all and paints nothing) and runs the load
// from the update timer's ticks.
class Probe : public UI::Window {
public:
    Probe(UI::Frame* frame, UI::MainWindow* main, const char* file) : Window(frame, nullptr, "Probe"), m_main(main) {
        m_file = Path(String(file));
        SetGeometry(0, 0, frame->Width(), frame->Height());
        SetEnabled(false);
        frame->AddTimer(this, 0, false);
    }

    void Paint(UI::DrawContext&) override { paints.push_back(Clock::now()); }

    void OnTimer(uint) override {
        const Clock::time_point now = Clock::now();
        ticks.push_back(now);
        if (!start) {
            if (paints.empty() || ++m_ticks < 5) return;
            start = now;
            if (m_main->loadAudioFile(m_file)) return Stop(1);
        }
        if (!read) {
            if (m_main->IsReading()) return;
            read = Clock::now();
            if (!m_main->GetView()->GetSpectrogram()->GetCalculator()) return Stop(1);
        }
        UI::AudioCalculator* calculator = m_main->GetView()->GetSpectrogram()->GetCalculator();
        if (!calculator) return Stop(1);
        if (!computed && !calculator->NeedsCompute() && calculator->GetComputeProgress() >= 100.0f) computed = now;
        if (computed && !rendered && !calculator->NeedsCompute() && !calculator->NeedsRender() &&
            calculator->GetRenderProgress() >= 100.0f)
            rendered = now;
        if (rendered && paints.back() > *rendered) return Stop(0);
        if (now - *start > std::chrono::minutes(5)) Stop(1);
    }

    std::optional<Clock::time_point> start, read, computed, rendered;
    std::vector<Clock::time_point> paints;
    // Every tick of the update timer: the UI thread was free to run its loop.
    std::vector<Clock::time_point> ticks;
    int status = 0;

private:
    void Stop(int code) {
        status = code;
        Platform::Gui::Current().Quit(code);
    }

    UI::MainWindow* m_main;
    Path m_file;
    int m_ticks = 0;
};

// The longest time between two of `times` (repaints or ticks) in [from, to], its ends
// included.
double LongestPause(const std::vector<Clock::time_point>& times, Clock::time_point from, Clock::time_point to) {
    double longest = 0.0;
    Clock::time_point last = from;
    for (const Clock::time_point p : times) {
        if (p <= from) continue;
        if (p > to) break;
        longest = std::max(longest, Ms(p - last));
        last = p;
    }
    return std::max(longest, Ms(to - last));
}

}  // namespace

int main(int argc, char** argv) {
    int width = 700, height = 400;
    if (argc < 2 || argc > 3 || (argc == 3 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2)) {
        std::fprintf(stderr, "usage: read-to-picture FILE [WIDTHxHEIGHT]\n");
        return 2;
    }
    // A store of its own: the default settings, and the user's recent files untouched.
    char folder[] = "/tmp/read-to-picture-XXXXXX";
    if (!mkdtemp(folder)) return 2;
    setenv("XDG_CONFIG_HOME", folder, 1);

    int status = 1;
    {
        ResourceArchive::Instance().Load(Platform::Resources::Module::Program(), "TonalithResEmbed");
        Application application("Quorvel", "Tonalith");
        UI::ApplicationInfo info("Tonalith", 1000, 5, "Tonalith/resources", "UI/Layout");
        std::unique_ptr<UI::Native::HostWindow> host(UI::CreateMainHostWindow(
            &info, "Tonalith Host Window", UI::Rect{0, width - 1, 0, height - 1}, false, "Quorvel Tonalith"));
        auto* main = new UI::MainWindow(&info, host.get());
        auto* probe = new Probe(host->GetFrame(), main, argv[1]);
        application.Run();
        status = probe->status;
        if (status == 0) {
            const auto& audio = main->Audio();
            const UI::Window* display = main->GetView()->GetSpectrogram();
            std::printf("%s: %.1f s, %u channels, %u Hz; spectrogram %dx%d\n", argv[1],
                double(audio.frames) / audio.sampleRate, audio.channels, audio.sampleRate, display->Width(),
                display->Height());
            std::printf("read done     %7.0f ms\n", Ms(*probe->read - *probe->start));
            std::printf("compute done  %7.0f ms\n", Ms(*probe->computed - *probe->start));
            std::printf("render done   %7.0f ms\n", Ms(*probe->rendered - *probe->start));
            std::printf("picture shown %7.0f ms\n", Ms(probe->paints.back() - *probe->start));
            const double duringRead = LongestPause(probe->paints, *probe->start, *probe->read);
            std::printf("longest pause between repaints: %.0f ms during the read, %.0f ms after it\n", duringRead,
                LongestPause(probe->paints, *probe->read, probe->paints.back()));
            std::printf("longest pause between repaints from the load to the picture: %.0f ms\n",
                LongestPause(probe->paints, *probe->start, probe->paints.back()));
            std::printf("longest pause between ticks of the update timer from the load to the picture: %.0f ms\n",
                LongestPause(probe->ticks, *probe->start, probe->paints.back()));
            std::printf("repainted at least every 100 ms during the read: %s\n", duringRead <= 100.0 ? "yes" : "no");
        } else {
            std::fprintf(stderr, "read-to-picture: the load of %s failed or timed out\n", argv[1]);
        }
        host.reset();
    }
    std::filesystem::remove_all(folder);
    return status;
}
