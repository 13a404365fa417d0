// Opens a folder of many files in the folder list, as a user does from the main list, until the list is
// filled (entries read with their details, sorted, the first thousand shown with their icons and the
// warning about the rest answered), and, in the same run, lists the same host folder with `ls -f -l`;
// reports both times and their ratio. Runs offscreen unless a display platform is set.
//
// usage: bench_folderform [FILES] [ROUNDS]   (defaults: 10000 files, 7 rounds; the best round counts)

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSummary.h"
#include "Osp/App/Application.h"
#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Controls/List.h"
#include "app/Corvane.h"
#include "host/HostPaths.h"
#include "host/ui/MessageBoxHooks.h"
#include "ui/FolderForm.h"

namespace {

constexpr double kTargetRatio = 1.0;

using Clock = std::chrono::steady_clock;

struct Settings {
    int files = 10000;
    int rounds = 7;
    std::string folder;  // host path of the listed folder
};

struct Outcome {
    double formMs = 1e300;
    double lsMs = 1e300;
    int items = 0;
    bool ok = false;
};

Settings g_settings;
Outcome g_outcome;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Opens the phone memory, which holds the files, in a new folder form; returns the time until the list
// is filled, and the number of its items.
double OpenOnce(Corvane& app, int* items) {
    host::PlannedMessageBoxAnswers().push_back(Osp::Ui::Controls::MSGBOX_RESULT_OK);
    const Clock::time_point start = Clock::now();
    app.OnOpenLocalFolder(LocalBrowser::ROOT_MEDIA);
    const double ms = Milliseconds(Clock::now() - start);
    auto* list = dynamic_cast<Osp::Ui::Controls::List*>(
        app.GetFolderForm()->GetControl(Osp::Base::String(L"IDC_FOLDERS_LIST"), true));
    *items = list != nullptr ? list->GetItemCount() : 0;
    return ms;
}

double LsOnce(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    const double ms = Milliseconds(Clock::now() - start);
    return status == 0 ? ms : 1e300;
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
        const std::string ls = "ls -f -l '" + g_settings.folder + "' > /dev/null";
        // The first round warms the host's caches, the icons and the layout for both sides.
        OpenOnce(*this, &g_outcome.items);
        LsOnce(ls);
        for (int r = 0; r < g_settings.rounds; ++r) {
            g_outcome.formMs = std::min(g_outcome.formMs, OpenOnce(*this, &g_outcome.items));
            g_outcome.lsMs = std::min(g_outcome.lsMs, LsOnce(ls));
        }
        g_outcome.ok = g_outcome.lsMs < 1e300;
        GetAppFrame()->RemoveAllControls();
        Terminate();
    }
    void OnUserEventEx(UserEvent*) override {}
};

void MakeFolder(const std::string& dir, int files) {
    std::filesystem::create_directories(dir);
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/photo_%05d.jpg", i);
        std::ofstream(dir + name) << std::string(static_cast<size_t>(i % 997), 'x');
    }
}

}  // namespace

int main(int argc, char** argv) {
    g_settings.files = argc > 1 ? std::atoi(argv[1]) : g_settings.files;
    g_settings.rounds = argc > 2 ? std::atoi(argv[2]) : g_settings.rounds;
    if (g_settings.files <= 0 || g_settings.rounds <= 0) {
        std::fprintf(stderr, "usage: bench_folderform [FILES] [ROUNDS]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char pattern[] = "/tmp/corvane-bench-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    std::filesystem::create_directories(root + "/Home");
    g_settings.folder = root + "/Media";
    MakeFolder(g_settings.folder, g_settings.files);
    host::SetDataRoot(root);

    Osp::App::Application::Execute([]() -> Osp::App::Application* { return new BenchCorvane; }, nullptr);
    std::filesystem::remove_all(root);

    // Portrait lists longer than seven items end in a blank padding item.
    const int shown = std::min(g_settings.files, FolderForm::kMaxItems);
    const int expectedItems = shown + (shown > 7 ? 1 : 0);
    if (!g_outcome.ok || g_outcome.items != expectedItems) {
        std::fprintf(stderr, "opening failed: %d list items, %d expected\n", g_outcome.items, expectedItems);
        return 1;
    }
    const double ratio = g_outcome.formMs / g_outcome.lsMs;
    std::printf("folder form opening a folder of %d files until its list is filled, best of %d rounds:\n",
                g_settings.files, g_settings.rounds);
    std::printf("  FolderForm    %8.2f ms\n", g_outcome.formMs);
    std::printf("  ls -f -l      %8.2f ms\n", g_outcome.lsMs);
    std::printf("  ratio         %8.2f (target at most %.1f)\n", ratio, kTargetRatio);
    const bool met = bench::RecordRow("folder form filled, 10,000 files, against ls -f -l", ratio,
                                      bench::Better::Lower, kTargetRatio);
    return met ? 0 : 1;
}
