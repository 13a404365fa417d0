// The viewer on a 1 GiB log, side by side with the tools a user would reach for: showing its last screen
// (reading, encoding detection, decoding and layout of the last window) against `tail -c 65536` plus our
// decoding of what tail printed, the viewer's peak heap on that file, and finding a word at the end of
// the file against `grep -c`. The log is real text made in /tmp for the run and removed afterwards.
//
// usage: bench_textlarge [ROUNDS]   (default 5; the best round counts)

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "Osp/Graphics/Font.h"
#include "host/EventLoop.h"
#include "host/HostPaths.h"
#include "text/TextDecoder.h"
#include "text/TextFinder.h"
#include "text/TextSource.h"
#include "text/TextWrap.h"

namespace {

constexpr std::uint64_t kFileSize = 1ULL << 30;
constexpr double kTargetLastScreen = 1.5;
constexpr double kTargetPeakMb = 64.0;
constexpr double kTargetSearch = 1.5;
constexpr int kUnwrappedWidth = 4000;
constexpr int kFontSize = 14;
constexpr const char* kWord = "zyxquartzfound";

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void Count(void* p) {
    const long long now = g_live += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Log lines of a server, a megabyte of them written over and over, and the word only in the last line.
bool MakeLog(const std::string& path) {
    std::string chunk;
    for (int i = 0; chunk.size() < (1u << 20); ++i) {
        chunk += "2026-12-10 12:00:" + std::to_string(10 + i % 50) + " INFO worker[" + std::to_string(i % 7) +
                 "] request " + std::to_string(i) + " served in " + std::to_string(i % 97) +
                 " ms from cache, next refresh scheduled\n";
    }
    const std::string last = std::string("2026-12-10 23:59:59 WARN the ") + kWord + " at the very end\n";
    std::ofstream out(path, std::ios::binary);
    std::uint64_t written = 0;
    while (written + chunk.size() + last.size() <= kFileSize) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        written += chunk.size();
    }
    const std::string rest = chunk.substr(0, kFileSize - written - last.size());
    out << rest.substr(0, rest.rfind('\n') + 1);
    out << std::string(kFileSize - written - last.size() - (rest.rfind('\n') + 1), ' ') << last;
    return static_cast<bool>(out);
}

// Runs a tool with its output going to `out`; the wall time from start to exit, -1 when it failed.
double RunTool(const std::vector<std::string>& args, const char* out) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        waitpid(pid, &status, 0);
    }
    const double ms = Milliseconds(Clock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    // grep -c exits 1 when it counts nothing, which is a failure here as well.
    return status == 0 ? ms : -1;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct SLastScreen {
    double ms = -1;
    long long peakBytes = 0;
    bool endsRight = false;
};

// What the viewer does to show the bottom of a file it has just opened.
SLastScreen ViewerLastScreen(const Osp::Graphics::Font& font) {
    SLastScreen run;
    const long long before = g_live.load();
    g_peak = before;
    const Clock::time_point start = Clock::now();
    {
        TextSource source(L"/Home/big.log");
        std::u16string text;
        size_t placeText = 0;
        TextWrap wrap;
        if (source.Open() != TextSource::TLoad::Loaded ||
            !source.Load(source.GetFileSize(), TextSource::TPosition::Place, 4, &text, &placeText)) {
            return run;
        }
        wrap.Compose(text, 0, Osp::Graphics::Rectangle(0, 0, kUnwrappedWidth, INT_MAX), &font, 0, 0);
        run.ms = Milliseconds(Clock::now() - start);
        run.endsRight = text.find(u"zyxquartzfound at the very end\n") != std::u16string::npos;
        run.peakBytes = g_peak.load() - before;
    }
    return run;
}

// tail's last 64 KiB and our decoding of them.
double TailAndDecode(const std::string& file, const std::string& out) {
    const double tail = RunTool({"tail", "-c", "65536", file}, out.c_str());
    if (tail < 0) {
        return -1;
    }
    const std::string bytes = ReadAll(out);
    const Clock::time_point start = Clock::now();
    std::u16string text;
    DecodeText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), ENCODING_UTF8, 0, 4,
               &text);
    return tail + Milliseconds(Clock::now() - start);
}

double ViewerSearch(bool* found) {
    TextFinder::SRequest request;
    request.path = L"/Home/big.log";
    request.encoding = ENCODING_LATIN1;
    request.fileSize = kFileSize;
    request.text = std::wstring(kWord, kWord + std::char_traits<char>::length(kWord));
    const std::atomic<bool> stop{false};
    const Clock::time_point start = Clock::now();
    const std::uint64_t at = FindInFile(request, stop, nullptr);
    *found = at != kNotFound && at > kFileSize - 100;
    return Milliseconds(Clock::now() - start);
}

}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    Count(p);
    return p;
}

void operator delete(void* p) noexcept {
    if (p != nullptr) {
        g_live -= static_cast<long long>(malloc_usable_size(p));
        std::free(p);
    }
}

void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

void* operator new[](size_t size) {
    return operator new(size);
}

void operator delete[](void* p) noexcept {
    operator delete(p);
}

void operator delete[](void* p, size_t) noexcept {
    operator delete(p);
}

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (rounds <= 0) {
        std::fprintf(stderr, "usage: bench_textlarge [ROUNDS]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    host::EnsureQtApplication();
    char pattern[] = "/tmp/corvane-bench-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    std::filesystem::create_directories(root + "/Home");
    host::SetDataRoot(root);
    const std::string file = root + "/Home/big.log";
    const std::string out = root + "/out.txt";
    Osp::Graphics::Font font;
    if (!MakeLog(file) || font.Construct(L"/Res/DejaVuSansMono.ttf", Osp::Graphics::FONT_STYLE_PLAIN,
                                         kFontSize) != Osp::Base::E_SUCCESS) {
        std::fprintf(stderr, "the log or the viewer's font could not be made\n");
        std::filesystem::remove_all(root);
        return 1;
    }
    // A first search and grep bring the whole file into the page cache for both sides.
    bool found = false;
    ViewerSearch(&found);
    const double firstGrep = RunTool({"grep", "-c", kWord, file}, out.c_str());
    if (!found || firstGrep < 0 || ReadAll(out) != "1\n") {
        std::fprintf(stderr, "the word at the end was not found by both\n");
        std::filesystem::remove_all(root);
        return 1;
    }
    double viewer = 1e300;
    double peer = 1e300;
    long long peak = 0;
    bool endsRight = true;
    double search = 1e300;
    double grep = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const SLastScreen run = ViewerLastScreen(font);
        endsRight = endsRight && run.endsRight;
        viewer = std::min(viewer, run.ms < 0 ? 1e300 : run.ms);
        peak = std::max(peak, run.peakBytes);
        const double tail = TailAndDecode(file, out);
        peer = std::min(peer, tail < 0 ? 1e300 : tail);
        search = std::min(search, ViewerSearch(&found));
        const double g = RunTool({"grep", "-c", kWord, file}, out.c_str());
        grep = std::min(grep, g < 0 ? 1e300 : g);
    }
    std::filesystem::remove_all(root);
    if (!endsRight) {
        std::fprintf(stderr, "the viewer's last screen did not show the file's last line\n");
        return 1;
    }
    const double lastScreen = viewer / peer;
    const double peakMb = static_cast<double>(peak) / (1024.0 * 1024.0);
    const double searchRatio = search / grep;
    std::printf("a 1 GiB log, best of %d rounds (wall ms):\n", rounds);
    std::printf("  viewer, last screen                 %8.2f\n", viewer);
    std::printf("  tail -c 65536 + our decoding        %8.2f   ratio %.2f (target at most %.1f)\n", peer,
                lastScreen, kTargetLastScreen);
    std::printf("  viewer peak heap                    %8.2f MiB (target at most %.0f)\n", peakMb,
                kTargetPeakMb);
    std::printf("  viewer, find the word at the end    %8.2f\n", search);
    std::printf("  grep -c                             %8.2f   ratio %.2f (target at most %.1f)\n", grep,
                searchRatio, kTargetSearch);
    const bool shown = bench::RecordRow("1 GiB log, last screen against tail -c 65536 + decoding", lastScreen,
                                        bench::Better::Lower, kTargetLastScreen);
    const bool small =
        bench::RecordRow("1 GiB log, viewer peak heap (MiB)", peakMb, bench::Better::Lower, kTargetPeakMb);
    const bool quick = bench::RecordRow("1 GiB log, find a word at its end against grep -c", searchRatio,
                                        bench::Better::Lower, kTargetSearch);
    return shown && small && quick ? 0 : 1;
}
