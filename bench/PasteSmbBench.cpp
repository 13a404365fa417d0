// Downloads and uploads one large file between the private files and a share through the paste job
// (TransferPopup, as Paste in the folder list runs it), side by side in one run against the same private
// Samba with `smbclient -m NT1` get and put, and reports both throughputs and their ratios. Needs root (the
// server's user and files).
// The job is timed from Paste to its end (the file confirmed, its time set, the local storage synced);
// the logon is made before, by an untimed job. smbclient's runs are taken less a run of it that only
// starts, logs on and ends. Rounds alternate; every timed transfer starts with its target removed; the
// share and the private files live in memory (tmpfs), so that the machine's disk does not decide.
//
// usage: bench_pastesmb [MIB] [ROUNDS]   (defaults: 256 MiB, 6 rounds; the best round of each side counts)

#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "Osp/App/Application.h"
#include "Osp/Ui/Controls/Frame.h"
#include "TransferFiles.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "host/HostPaths.h"
#include "net/RemoteFolder.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbSession.h"
#include "testsupport/SambaServer.h"
#include "transfer/Clipboard.h"
#include "transfer/TransferPopup.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 0.9;

struct SFigures {
    double jobDown = 1e300;  // seconds of the best round
    double jobUp = 1e300;
    double get = 1e300;
    double put = 1e300;
    bool ok = true;
};

struct SSetup {
    testsupport::SambaServer* server = nullptr;
    std::string root;  // the data root; the private files are root/Home
    long long bytes = 0;
    int rounds = 1;
};

SSetup g_setup;
SFigures g_figures;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs the job of clipboard into dstRoot of dst; its time in seconds.
double RunJob(const Clipboard& clipboard, IFsBrowser* dst, const std::wstring& dstRoot) {
    EndRecorder end(TransferPopup::OVERWRITE_YES);
    auto popup = std::make_unique<TransferPopup>(false, &clipboard, &end, dst, dstRoot);
    if (!popup->Construct()) {
        g_figures.ok = false;
        return 1e300;
    }
    const Clock::time_point start = Clock::now();
    popup->ShowPopup();
    while (!end.ended) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    const double seconds = Seconds(Clock::now() - start);
    if (end.result != RES_OK) {
        std::fprintf(stderr, "the job failed with %08lX\n", end.result);
        g_figures.ok = false;
    }
    return seconds;
}

// smbclient's time for a transfer: its run less that of a run that only starts, logs on and ends.
double TimeSmbClient(const std::string& command) {
    const testsupport::SambaServer& server = *g_setup.server;
    Clock::time_point start = Clock::now();
    bool ok = server.SmbClient("pwd") == 0;
    const double idle = Seconds(Clock::now() - start);
    start = Clock::now();
    ok = ok && server.SmbClient(command) == 0;
    const double whole = Seconds(Clock::now() - start);
    g_figures.ok = g_figures.ok && ok;
    return whole - idle;
}

class BenchApp : public Corvane, public IUserEventHandler {
public:
    bool OnAppInitializing(Osp::App::AppRegistry& registry) override {
        if (!Corvane::OnAppInitializing(registry)) {
            return false;
        }
        PointAtTestShare(folder_, SMB_PROTOCOL_SMB1);  // as smbclient -m NT1
        share_ = folder_.CreateBrowser();
        PostUserEvent(this, 0);
        return true;
    }
    void OnUserEvent(int) override {
        Run();
        GetAppFrame()->RemoveAllControls();
        Terminate();
    }
    void OnUserEventEx(UserEvent*) override {}

private:
    void Run() {
        const std::string home = g_setup.root + "/Home";
        const std::string shareDir = g_setup.server->ShareDir();
        const unsigned long long size = static_cast<unsigned long long>(g_setup.bytes);
        IFsBrowser* local = GetLocalBrowser();
        fs::create_directories(home + "/in");
        // The logon, untimed: a small file each way.
        std::ofstream(shareDir + "/warm.bin") << "warm";
        Clipboard warmDown(Clipboard::MODE_COPY, share_, L"\\");
        warmDown.AddFile(L"warm.bin", 4, Osp::Base::DateTime(), L"");
        RunJob(warmDown, local, L"/Home/in/");

        Clipboard down(Clipboard::MODE_COPY, share_, L"\\");
        down.AddFile(L"big.bin", size, Osp::Base::DateTime(), L"");
        Clipboard up(Clipboard::MODE_COPY, local, L"/Home/");
        up.AddFile(L"local.bin", size, Osp::Base::DateTime(), L"up.bin");
        for (int r = 0; r < g_setup.rounds && g_figures.ok; ++r) {
            Settle(home + "/in/big.bin");
            g_figures.jobDown = std::min(g_figures.jobDown, RunJob(down, local, L"/Home/in/"));
            Settle(shareDir + "/up.bin");
            g_figures.jobUp = std::min(g_figures.jobUp, RunJob(up, share_, L"\\"));
            Settle(home + "/got.bin");
            g_figures.get = std::min(g_figures.get, TimeSmbClient("get big.bin " + home + "/got.bin"));
            Settle(shareDir + "/put.bin");
            g_figures.put = std::min(g_figures.put, TimeSmbClient("put " + home + "/local.bin put.bin"));
        }
    }

    RemoteFolder folder_;
    IFsBrowser* share_ = nullptr;  // the folder's
};

bool SameFiles(const std::string& a, const std::string& b) {
    return testsupport::RunCommand("cmp -s '" + a + "' '" + b + "'") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const long mib = argc > 1 ? std::atol(argv[1]) : 256;
    g_setup.rounds = argc > 2 ? std::atoi(argv[2]) : 6;
    if (mib <= 0 || g_setup.rounds <= 0) {
        std::fprintf(stderr, "usage: bench_pastesmb [MIB] [ROUNDS]\n");
        return 2;
    }
    g_setup.bytes = static_cast<long long>(mib) << 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testsupport::SambaServer server(testsupport::SambaServer::IO_DEFAULT,
                                    testsupport::SambaServer::STORE_MEMORY);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "cannot start Samba: %s\n", error.c_str());
        return 1;
    }
    g_setup.server = &server;
    char pattern[] = "/dev/shm/corvane-bench-paste-XXXXXX";
    g_setup.root = ::mkdtemp(pattern);
    const std::string home = g_setup.root + "/Home";
    fs::create_directories(home);
    WriteRandomFile(home + "/local.bin", static_cast<size_t>(g_setup.bytes));
    fs::copy_file(home + "/local.bin", server.ShareDir() + "/big.bin");
    host::SetDataRoot(g_setup.root);
    SmbSession::SetServerPort(server.Port());

    Osp::App::Application::Execute([]() -> Osp::App::Application* { return new BenchApp; }, nullptr);
    const bool same = SameFiles(home + "/in/big.bin", home + "/local.bin") &&
                      SameFiles(server.ShareDir() + "/up.bin", home + "/local.bin") &&
                      SameFiles(home + "/got.bin", home + "/local.bin") &&
                      SameFiles(server.ShareDir() + "/put.bin", home + "/local.bin");
    fs::remove_all(g_setup.root);
    server.Stop();
    if (!g_figures.ok || !same) {
        std::fprintf(stderr, "a transfer failed or its copy differs\n");
        return 1;
    }
    const double mb = static_cast<double>(g_setup.bytes) / 1e6;
    const double down = (mb / g_figures.jobDown) / (mb / g_figures.get);
    const double up = (mb / g_figures.jobUp) / (mb / g_figures.put);
    std::printf("paste job against smbclient -m NT1, %ld MiB over loopback to Samba, best of %d rounds:\n",
                mib, g_setup.rounds);
    std::printf("  download  job %8.1f MB/s   smbclient get %8.1f MB/s   ratio %5.2f\n",
                mb / g_figures.jobDown, mb / g_figures.get, down);
    std::printf("  upload    job %8.1f MB/s   smbclient put %8.1f MB/s   ratio %5.2f\n", mb / g_figures.jobUp,
                mb / g_figures.put, up);
    std::printf("  target: ratio at least %.1f both ways\n", kTargetRatio);
    const bool downMet = bench::RecordRow("SMB1 paste job download against smbclient -m NT1", down,
                                          bench::Better::Higher, kTargetRatio);
    const bool upMet = bench::RecordRow("SMB1 paste job upload against smbclient -m NT1", up,
                                        bench::Better::Higher, kTargetRatio);
    return downMet && upMet ? 0 : 1;
}
