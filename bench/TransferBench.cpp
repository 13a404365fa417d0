// Copies through the paste job (TransferPopup over the private files' browser), side by side in one run
// with the tools a user would use instead:
//   - one large file Home -> Home/sub against `cp` followed by `sync` (the job ends when its copies are on
//     the disk), while a 10 ms timer of the screen thread measures its longest stall;
//   - a tree of small files in many folders against `cp -r` (the job's one sync at its end included).
// Reports the times and ratios of the best rounds.
//
// usage: bench_transfer [LARGE_MIB] [FILES] [FOLDERS] [ROUNDS]   (defaults: 1024 MiB, 10000, 100, 3)

#include <stdlib.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchSummary.h"
#include "Osp/App/Application.h"
#include "Osp/Ui/Controls/Frame.h"
#include "TransferFiles.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "host/HostPaths.h"
#include "transfer/Clipboard.h"
#include "transfer/TransferPopup.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kLargeTarget = 0.9;  // throughput of cp + sync, at least
constexpr double kTreeTarget = 1.5;   // time of cp -r, at most
constexpr double kStallTarget = 100;  // ms

struct Settings {
    long long largeMiB = 1024;
    int files = 10000;
    int folders = 100;
    int rounds = 3;
    std::string root;
};

struct Outcome {
    double jobLargeMs = 1e300;
    double cpLargeMs = 1e300;
    double jobTreeMs = 1e300;
    double cpTreeMs = 1e300;
    double worstStallMs = 0;
    bool ok = true;
};

Settings g_settings;
Outcome g_outcome;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the job of the clipboard into dstRoot; returns its time and records the screen thread's longest
// stall meanwhile.
double RunJob(Corvane& app, const Clipboard& clipboard, const std::wstring& dstRoot, double* stallMs) {
    EndRecorder end(TransferPopup::OVERWRITE_NO);
    auto popup = std::make_unique<TransferPopup>(false, &clipboard, &end, app.GetLocalBrowser(), dstRoot);
    if (!popup->Construct()) {
        g_outcome.ok = false;
        return 1e300;
    }
    Clock::time_point lastTick = Clock::now();
    double worst = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        worst = std::max(worst, Milliseconds(now - lastTick));
        lastTick = now;
    });
    ticker.start(10);
    const Clock::time_point start = Clock::now();
    popup->ShowPopup();
    while (!end.ended) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    const double ms = Milliseconds(Clock::now() - start);
    ticker.stop();
    if (end.result != RES_OK) {
        std::fprintf(stderr, "the job failed with %08lX\n", end.result);
        g_outcome.ok = false;
    }
    if (stallMs != nullptr) {
        *stallMs = std::max(*stallMs, worst);
    }
    return ms;
}

double RunCommand(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    const double ms = Milliseconds(Clock::now() - start);
    if (status != 0) {
        g_outcome.ok = false;
    }
    return ms;
}

class BenchCorvane : public Corvane, public IUserEventHandler {
public:
    bool OnAppInitializing(Osp::App::AppRegistry& registry) override {
        if (!Corvane::OnAppInitializing(registry)) {
            return false;
        }
        PostUserEvent(this, 0);
        return true;
    }
    void OnUserEvent(int) override {
        const std::string home = g_settings.root + "/Home";
        Clipboard large(Clipboard::MODE_COPY, GetLocalBrowser(), L"/Home/");
        large.AddFile(L"large.bin", static_cast<unsigned long long>(g_settings.largeMiB) << 20,
                      Osp::Base::DateTime(), L"");
        Clipboard tree(Clipboard::MODE_COPY, GetLocalBrowser(), L"/Home/");
        tree.AddFolder(L"tree");
        for (int r = 0; r < g_settings.rounds && g_outcome.ok; ++r) {
            std::system(("rm -rf '" + home + "/sub' '" + home + "/cp-sub' && sync").c_str());
            fs::create_directories(home + "/sub");
            fs::create_directories(home + "/cp-sub");
            g_outcome.jobLargeMs =
                std::min(g_outcome.jobLargeMs, RunJob(*this, large, L"/Home/sub/", &g_outcome.worstStallMs));
            g_outcome.cpLargeMs = std::min(g_outcome.cpLargeMs, RunCommand("cp '" + home + "/large.bin' '" +
                                                                           home + "/cp-sub/' && sync"));
            std::system(("rm -rf '" + home + "/sub' '" + home + "/cp-sub' && sync").c_str());
            fs::create_directories(home + "/sub");
            g_outcome.jobTreeMs = std::min(g_outcome.jobTreeMs, RunJob(*this, tree, L"/Home/sub/", nullptr));
            g_outcome.cpTreeMs =
                std::min(g_outcome.cpTreeMs, RunCommand("cp -r '" + home + "/tree' '" + home + "/cp-sub'"));
        }
        GetAppFrame()->RemoveAllControls();
        Terminate();
    }
    void OnUserEventEx(UserEvent*) override {}
};

void MakeData(const std::string& home) {
    fs::create_directories(home);
    {
        std::ofstream out(home + "/large.bin", std::ios::binary);
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<char>(i * 131 + 7);
        }
        for (long long i = 0; i < g_settings.largeMiB; ++i) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    const std::string page(4096, 'p');
    for (int f = 0; f < g_settings.folders; ++f) {
        const std::string folder = home + "/tree/folder" + std::to_string(f);
        fs::create_directories(folder);
        for (int i = f; i < g_settings.files; i += g_settings.folders) {
            std::ofstream(folder + "/file" + std::to_string(i) + ".dat", std::ios::binary) << page;
        }
    }
    std::system("sync");
}

}  // namespace

int main(int argc, char** argv) {
    g_settings.largeMiB = argc > 1 ? std::atoll(argv[1]) : g_settings.largeMiB;
    g_settings.files = argc > 2 ? std::atoi(argv[2]) : g_settings.files;
    g_settings.folders = argc > 3 ? std::atoi(argv[3]) : g_settings.folders;
    g_settings.rounds = argc > 4 ? std::atoi(argv[4]) : g_settings.rounds;
    if (g_settings.largeMiB <= 0 || g_settings.files <= 0 || g_settings.folders <= 0 ||
        g_settings.rounds <= 0) {
        std::fprintf(stderr, "usage: bench_transfer [LARGE_MIB] [FILES] [FOLDERS] [ROUNDS]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The data lies on the disk that holds the build, as a user's files would, not in memory.
    fs::create_directories("bench-data");
    char pattern[] = "bench-data/transfer-XXXXXX";
    g_settings.root = fs::absolute(::mkdtemp(pattern)).string();
    MakeData(g_settings.root + "/Home");
    host::SetDataRoot(g_settings.root);

    Osp::App::Application::Execute([]() -> Osp::App::Application* { return new BenchCorvane; }, nullptr);
    fs::remove_all(g_settings.root);
    if (!g_outcome.ok) {
        std::fprintf(stderr, "a copy failed\n");
        return 1;
    }
    const double mib = static_cast<double>(g_settings.largeMiB);
    const double jobRate = mib / (g_outcome.jobLargeMs / 1000);
    const double cpRate = mib / (g_outcome.cpLargeMs / 1000);
    const double largeRatio = jobRate / cpRate;
    const double treeRatio = g_outcome.jobTreeMs / g_outcome.cpTreeMs;
    std::printf("paste job against the shell, best of %d rounds:\n", g_settings.rounds);
    std::printf(
        "  %lld MiB Home -> Home/sub:  job %9.1f ms (%7.1f MiB/s)   cp + sync %9.1f ms (%7.1f MiB/s)\n",
        g_settings.largeMiB, g_outcome.jobLargeMs, jobRate, g_outcome.cpLargeMs, cpRate);
    std::printf(
        "    throughput ratio %.2f (target at least %.1f); longest screen-thread stall %.1f ms (target < "
        "%.0f)\n",
        largeRatio, kLargeTarget, g_outcome.worstStallMs, kStallTarget);
    std::printf(
        "  %d files of 4 KiB in %d folders:  job %9.1f ms   cp -r %9.1f ms   ratio %.2f (target at most "
        "%.1f)\n",
        g_settings.files, g_settings.folders, g_outcome.jobTreeMs, g_outcome.cpTreeMs, treeRatio,
        kTreeTarget);
    const bool largeMet = bench::RecordRow("copy a large local file, throughput against cp + sync",
                                           largeRatio, bench::Better::Higher, kLargeTarget);
    const bool treeMet = bench::RecordRow("copy 10,000 files of 4 KiB against cp -r", treeRatio,
                                          bench::Better::Lower, kTreeTarget);
    const bool stallMet = bench::RecordRow("longest screen-thread stall of that copy, ms",
                                           g_outcome.worstStallMs, bench::Better::Lower, kStallTarget);
    const bool met = largeMet && treeMet && stallMet;
    return met ? 0 : 1;
}
