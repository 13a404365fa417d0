// Deletes a folder tree through the folder list, as a user does (long press, Delete, Yes, until the
// progress popup closes), and counts the same tree in the details popup until its totals are final; in the
// same run `rm -rf` deletes and `du -sb` counts a fresh copy of the same tree. Reports the times and their
// ratios. Runs offscreen unless a display platform is set.
//
// usage: bench_fileops [FOLDERS] [FILES_PER_FOLDER] [ROUNDS]   (defaults: 1000, 10, 3; best round counts)

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
#include "testsupport/UiDriver.h"
#include "ui/FolderForm.h"

namespace {

constexpr double kDeleteTarget = 1.5;
constexpr double kDetailsTarget = 1.2;
constexpr int kFolderGroups = 10;  // the leaf folders lie in this many folders below the tree's root
constexpr size_t kFileSize = 4096;

using Clock = std::chrono::steady_clock;

struct Settings {
    int folders = 1000;
    int files = 10;
    int rounds = 3;
    std::string root;  // the data root
};

struct Outcome {
    double deleteMs = 1e300;
    double rmMs = 1e300;
    double detailsMs = 1e300;
    double duMs = 1e300;
    bool ok = true;
    std::string failure;
};

Settings g_settings;
Outcome g_outcome;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void MakeTree(const std::string& dir) {
    const std::string block(kFileSize, 'x');
    for (int f = 0; f < g_settings.folders; ++f) {
        const std::string leaf = dir + "/g" + std::to_string(f % kFolderGroups) + "/d" + std::to_string(f);
        std::filesystem::create_directories(leaf);
        for (int i = 0; i < g_settings.files; ++i) {
            std::ofstream(leaf + "/f" + std::to_string(i) + ".dat", std::ios::binary) << block;
        }
    }
}

double Run(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    return status == 0 ? Milliseconds(Clock::now() - start) : 1e300;
}

int IndexOf(const Osp::Ui::Controls::List& list, const wchar_t* name) {
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (list.GetItemText(i).Units() == name) {
            return i;
        }
    }
    return -1;
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
        {
            testsupport::UiDriver ui;
            for (int r = 0; r < g_settings.rounds && g_outcome.ok; ++r) {
                Round(ui);
            }
        }
        Terminate();
    }
    void OnUserEventEx(UserEvent*) override {}

private:
    // Opens "/Home" and long-presses the tree's item, leaving its menu open.
    Osp::Ui::Controls::List* OpenTreeMenu(testsupport::UiDriver& ui) {
        OnOpenLocalFolder(LocalBrowser::ROOT_HOME);
        ui.Pump(0);
        auto* list = ui.Find<Osp::Ui::Controls::List>(L"IDC_FOLDERS_LIST");
        const int index = list != nullptr ? IndexOf(*list, L"tree") : -1;
        if (index < 0) {
            return nullptr;
        }
        ui.LongPressListItem(*list, index);
        ui.Pump(0);
        return list;
    }

    void Fail(const std::string& why) {
        g_outcome.ok = false;
        g_outcome.failure = why;
    }

    void Round(testsupport::UiDriver& ui) {
        const std::string tree = g_settings.root + "/Home/tree";
        MakeTree(tree);
        const std::wstring total = L"(" + std::to_wstring(g_settings.folders * g_settings.files) +
                                   L" files, " + std::to_wstring(g_settings.folders + kFolderGroups) +
                                   L" folders)";
        if (OpenTreeMenu(ui) == nullptr || !ui.ChooseMenuItem(L"Details")) {
            return Fail("no Details for the tree");
        }
        Clock::time_point start = Clock::now();
        while (ui.TextOf(L"IDC_SIZE").find(total) == std::wstring::npos) {
            ui.Pump(1);
            if (Milliseconds(Clock::now() - start) > 600000) {
                return Fail("the details never reached their totals");
            }
        }
        g_outcome.detailsMs = std::min(g_outcome.detailsMs, Milliseconds(Clock::now() - start));
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);
        g_outcome.duMs = std::min(g_outcome.duMs, Run("du -sb '" + tree + "' > /dev/null"));

        // The row compares the delete that frees the space with rm -rf: the trash is off for it.
        SetUseTrash(false);
        if (OpenTreeMenu(ui) == nullptr) {
            return Fail("no tree to delete");
        }
        ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_YES);
        ui.ChooseMenuItem(L"Delete");
        start = Clock::now();
        while (ui.Find(L"IDC_NOTE") != nullptr) {
            ui.Pump(1);
        }
        g_outcome.deleteMs = std::min(g_outcome.deleteMs, Milliseconds(Clock::now() - start));
        if (std::filesystem::exists(tree) || ui.PendingAnswers() != 0) {
            return Fail("the tree is still there, or the delete asked something else");
        }
        MakeTree(tree);
        g_outcome.rmMs = std::min(g_outcome.rmMs, Run("rm -rf '" + tree + "'"));
    }
};

}  // namespace

int main(int argc, char** argv) {
    g_settings.folders = argc > 1 ? std::atoi(argv[1]) : g_settings.folders;
    g_settings.files = argc > 2 ? std::atoi(argv[2]) : g_settings.files;
    g_settings.rounds = argc > 3 ? std::atoi(argv[3]) : g_settings.rounds;
    if (g_settings.folders < kFolderGroups || g_settings.files <= 0 || g_settings.rounds <= 0) {
        std::fprintf(stderr, "usage: bench_fileops [FOLDERS >= 10] [FILES_PER_FOLDER] [ROUNDS]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // In memory when the machine offers it, so that a shared disk's writeback does not decide the figures.
    char memory[] = "/dev/shm/corvane-bench-XXXXXX";
    char disk[] = "/tmp/corvane-bench-XXXXXX";
    const char* made = ::mkdtemp(memory);
    g_settings.root = made != nullptr ? made : ::mkdtemp(disk);
    std::filesystem::create_directories(g_settings.root + "/Home");
    std::filesystem::create_directories(g_settings.root + "/Media");
    host::SetDataRoot(g_settings.root);

    Osp::App::Application::Execute([]() -> Osp::App::Application* { return new BenchCorvane; }, nullptr);
    std::filesystem::remove_all(g_settings.root);

    if (!g_outcome.ok) {
        std::fprintf(stderr, "benchmark failed: %s\n", g_outcome.failure.c_str());
        return 1;
    }
    const double deleteRatio = g_outcome.deleteMs / g_outcome.rmMs;
    const double detailsRatio = g_outcome.detailsMs / g_outcome.duMs;
    std::printf("a tree of %d files of %zu bytes in %d folders under %s, best of %d rounds:\n",
                g_settings.folders * g_settings.files, kFileSize, g_settings.folders + kFolderGroups + 1,
                made != nullptr ? "/dev/shm" : "/tmp", g_settings.rounds);
    std::printf(
        "  delete through the folder list %9.1f ms   rm -rf  %9.1f ms   ratio %5.2f (target at most %.1f)\n",
        g_outcome.deleteMs, g_outcome.rmMs, deleteRatio, kDeleteTarget);
    std::printf(
        "  details of the tree            %9.1f ms   du -sb  %9.1f ms   ratio %5.2f (target at most %.1f)\n",
        g_outcome.detailsMs, g_outcome.duMs, detailsRatio, kDetailsTarget);
    const bool deleteMet = bench::RecordRow("delete a 10,000-file tree against rm -rf", deleteRatio,
                                            bench::Better::Lower, kDeleteTarget);
    const bool detailsMet = bench::RecordRow("details of that tree against du -sb", detailsRatio,
                                             bench::Better::Lower, kDetailsTarget);
    return deleteMet && detailsMet ? 0 : 1;
}
