// Lists a folder of many files through the local browser with details (name, size, type and modification
// time of every entry, as the folder view asks for them) and, in the same run, with `ls -f -l` on the
// same host folder, and reports both times and their ratio.
//
// usage: bench_localenum [FILES] [ROUNDS]   (defaults: 10000 files, 7 rounds; the best round counts)

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "Osp/Base/DateTime.h"
#include "fs/FsLocalBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnum.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "host/HostPaths.h"

namespace {

constexpr double kTargetRatio = 0.5;

using Clock = std::chrono::steady_clock;

// Keeps what a folder list keeps of each entry.
struct Row {
    std::wstring name;
    unsigned long long size;
    int type;
    Osp::Base::DateTime modified;
};

class Lister : public IFsBrowserListener, public IFsDirListener, public IFsDirEnumListener {
public:
    void OnOpenDir(unsigned long, IFsDir* dir) override { root = dir; }
    void ShowPopup(const Osp::Base::String&, bool) override {}
    void HidePopup() override {}
    void OnPasswordRequestA(IFsBrowser*) override {}
    void OnSelectShareA(const std::set<std::wstring>&) override {}
    void OnOpenEnumerator(unsigned long, IFsDirEnum* e) override { enumerator = e; }
    void OnOpenSubDir(unsigned long, IFsDir* dir) override { folder = dir; }
    void OnGetEntry(unsigned long, const IFsDirEntry* entry) override {
        if (entry != nullptr) {
            rows.push_back({entry->GetName(), entry->GetSize(), entry->GetType(), entry->GetTimeModified()});
            delete entry;
        }
    }

    IFsDir* root = nullptr;
    IFsDir* folder = nullptr;
    IFsDirEnum* enumerator = nullptr;
    std::vector<Row> rows;
};

// One listing of "/Media/Bench/" from opening the root to the last entry; returns the entry count.
size_t ListOnce(LocalBrowser& browser) {
    Lister lister;
    browser.SetListener(&lister);
    browser.OpenRootDirA();
    browser.RemoveListener(&lister);
    lister.root->SetListener(&lister);
    lister.root->OpenSubDirA(L"Bench");
    lister.folder->SetListener(&lister);
    lister.folder->OpenEnumeratorA();
    lister.enumerator->SetListener(&lister);
    lister.enumerator->StartEnumA(true);
    delete lister.enumerator;
    delete lister.folder;
    delete lister.root;
    return lister.rows.size();
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

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
    int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    if (files <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_localenum [FILES] [ROUNDS]\n");
        return 2;
    }
    char pattern[] = "/tmp/corvane-bench-XXXXXX";
    std::string root = ::mkdtemp(pattern);
    std::string folder = root + "/Media/Bench";
    MakeFolder(folder, files);
    host::SetDataRoot(root);
    const std::string ls = "ls -f -l '" + folder + "' > /dev/null";

    LocalBrowser browser(LocalBrowser::ROOT_MEDIA);
    size_t listed = ListOnce(browser);  // warms the host's caches for both sides
    if (std::system(ls.c_str()) != 0 || listed != static_cast<size_t>(files)) {
        std::fprintf(stderr, "listing failed: %zu of %d entries\n", listed, files);
        std::filesystem::remove_all(root);
        return 1;
    }
    double best = 1e300;
    double bestLs = 1e300;
    for (int r = 0; r < rounds; ++r) {
        Clock::time_point start = Clock::now();
        ListOnce(browser);
        best = std::min(best, Milliseconds(Clock::now() - start));
        start = Clock::now();
        std::system(ls.c_str());
        bestLs = std::min(bestLs, Milliseconds(Clock::now() - start));
    }
    std::filesystem::remove_all(root);

    double ratio = best / bestLs;
    std::printf("local enumeration with details, %d files, best of %d rounds:\n", files, rounds);
    std::printf("  LocalBrowser  %8.2f ms\n", best);
    std::printf("  ls -f -l      %8.2f ms\n", bestLs);
    std::printf("  ratio         %8.2f (target at most %.1f)\n", ratio, kTargetRatio);
    const bool met = bench::RecordRow("list 10,000 local files with details against ls -f -l", ratio,
                                      bench::Better::Lower, kTargetRatio);
    return met ? 0 : 1;
}
