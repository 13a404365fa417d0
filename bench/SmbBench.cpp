// Downloads and uploads one large file through SmbBrowser's file interface (block by block, as a copy
// between browsers does) and, in the same run against the same private Samba, with `smbclient -m NT1`
// get and put, and reports both throughputs and their ratios, once with Samba's default configuration and
// once with synchronous file input and output on the server. Needs root (the server's user and files).
// Both sides are timed from opening the file to the server's word on the last block, without the logon:
// smbclient's runs are taken less a run of it that only starts, logs on and ends. The share and the local
// files live in memory (tmpfs), so that the machine's disk, shared and slow to settle, does not decide
// the figures.
//
// usage: bench_smb [MIB] [ROUNDS]   (defaults: 256 MiB, 8 rounds; the best round of each side counts;
// each round of ours is followed by one of smbclient's)

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../tests/smb/CountingRelay.h"
#include "BenchSummary.h"
#include "Osp/App/Application.h"
#include "TransferFiles.h"
#include "app/Corvane.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"
#include "host/HostPaths.h"
#include "net/RemoteFolder.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbSession.h"
#include "testsupport/SambaServer.h"

namespace {

constexpr double kTargetRatio = 1.1;

using Clock = std::chrono::steady_clock;

struct SRun {
    std::string shareFile;   // host path of the file on the share (downloaded)
    std::string localFile;   // host path of the local copy (uploaded)
    std::string downloaded;  // where the download goes
    std::string uploaded;    // host path of the upload on the share
    int rounds = 1;
    double downloadSeconds = 1e300;  // the best round
    double uploadSeconds = 1e300;
    // The blocks the browser offers a copy for reading and writing, once logged on.
    unsigned int readBlock = 0;
    unsigned int writeBlock = 0;
    bool ok = false;
    // smbclient's round, run after each round of ours so that both meet the machine in the same state.
    std::function<void()> otherRound;
};

SRun* g_run = nullptr;

// Opens the root (so that the logon is not timed), then downloads, then uploads; ends the application.
class Copier : public IFsBrowserListener, public IFsFileListener {
public:
    explicit Copier(SmbBrowser* browser) : browser_(browser) {}

    void Start() {
        browser_->SetListener(this);
        browser_->OpenRootDirA();
    }

    void OnOpenDir(unsigned long result, IFsDir* dir) override {
        delete dir;
        browser_->RemoveListener(this);
        if (result != 0) {
            Finish(false);
            return;
        }
        // A copy between browsers moves the blocks each browser names.
        browser_->GetProperty(IFsBrowser::PROP_READ_BLOCK, &g_run->readBlock);
        browser_->GetProperty(IFsBrowser::PROP_WRITE_BLOCK, &g_run->writeBlock);
        buffer_.resize(std::max(g_run->readBlock, g_run->writeBlock));
        StartDownload();
    }
    void ShowPopup(const Osp::Base::String&, bool) override {}
    void HidePopup() override {}
    void OnPasswordRequestA(IFsBrowser*) override {}
    void OnSelectShareA(const std::set<std::wstring>&) override {}

    void OnCreateN(unsigned long result, IFsFile* file) override {
        if (result != 0) {
            Finish(false);
            return;
        }
        file_.reset(file);
        upload_ ? WriteNext() : ReadNext();
    }
    void OnRead(IFsFile*, unsigned long result, unsigned int count) override {
        if (result != 0) {
            Finish(false);
            return;
        }
        if (count == 0) {
            g_run->downloadSeconds = std::min(g_run->downloadSeconds, Seconds());
            std::fclose(out_);
            out_ = nullptr;
            file_.reset();
            StartUpload();
            return;
        }
        std::fwrite(buffer_.data(), 1, count, out_);
        ReadNext();
    }
    void OnWrite(IFsFile*, unsigned long result, unsigned int) override {
        if (result != 0) {
            Finish(false);
            return;
        }
        WriteNext();
    }
    void OnSeek(IFsFile*, unsigned long) override {}

private:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
    void StartDownload() {
        Settle(g_run->downloaded);
        out_ = std::fopen(g_run->downloaded.c_str(), "wb");
        upload_ = false;
        start_ = Clock::now();
        browser_->CreateFileA(this, L"\\big.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
    }
    void ReadNext() { file_->ReadA(buffer_.data(), g_run->readBlock); }
    void StartUpload() {
        Settle(g_run->uploaded);
        in_ = std::fopen(g_run->localFile.c_str(), "rb");
        upload_ = true;
        flushed_ = false;
        start_ = Clock::now();
        browser_->CreateFileA(this, L"\\up.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
    }
    void WriteNext() {
        size_t n = flushed_ ? 0 : std::fread(buffer_.data(), 1, g_run->writeBlock, in_);
        if (n == 0 && !flushed_) {
            // Written blocks may still wait for the server's word: an empty write answers once all have it.
            flushed_ = true;
            file_->WriteA(buffer_.data(), 0);
            return;
        }
        if (n == 0) {
            file_.reset();  // closes
            g_run->uploadSeconds = std::min(g_run->uploadSeconds, Seconds());
            std::fclose(in_);
            in_ = nullptr;
            g_run->otherRound();
            if (++round_ < g_run->rounds) {
                StartDownload();
            } else {
                Finish(true);
            }
            return;
        }
        file_->WriteA(buffer_.data(), static_cast<unsigned int>(n));
    }
    void Finish(bool ok) {
        g_run->ok = ok;
        file_.reset();
        Osp::App::Application::GetInstance()->Terminate();
    }

    SmbBrowser* browser_;
    std::vector<char> buffer_;
    std::unique_ptr<IFsFile> file_;
    std::FILE* out_ = nullptr;
    std::FILE* in_ = nullptr;
    bool upload_ = false;
    bool flushed_ = false;
    int round_ = 0;
    Clock::time_point start_;
};

class BenchApp : public Corvane, public IUserEventHandler {
public:
    bool OnAppInitializing(Osp::App::AppRegistry& registry) override {
        if (!Corvane::OnAppInitializing(registry)) {
            return false;
        }
        PointAtTestShare(folder_, SMB_PROTOCOL_SMB1);
        copier_ = std::make_unique<Copier>(static_cast<SmbBrowser*>(folder_.CreateBrowser()));
        PostUserEvent(this, 0);
        return true;
    }
    void OnUserEvent(int) override { copier_->Start(); }
    void OnUserEventEx(UserEvent*) override {}

private:
    RemoteFolder folder_;
    std::unique_ptr<Copier> copier_;
};

bool SameFiles(const std::string& a, const std::string& b) {
    return testsupport::RunCommand("cmp -s '" + a + "' '" + b + "'") == 0;
}

double TimeCommand(const std::function<int()>& command, bool* ok) {
    Clock::time_point start = Clock::now();
    *ok = command() == 0;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct SRates {
    double download = 0;
    double upload = 0;
    double get = 0;
    double put = 0;
    unsigned int readBlock = 0;
    unsigned int writeBlock = 0;
    unsigned int getBlock = 0;  // smbclient's, as seen through a relay
    unsigned int putBlock = 0;
};

// The largest READ_ANDX smbclient asks for and WRITE_ANDX it sends, seen through a relay on a file of a
// few blocks; false when a transfer failed.
bool SmbClientBlocks(const testsupport::SambaServer& server, const std::string& root, SRates* rates) {
    std::string local = root + "/probe.bin";
    WriteRandomFile(local, 4u << 20);
    std::filesystem::copy_file(local, server.ShareDir() + "/probe.bin");
    CountingRelay relay(server.Port());
    bool ok = server.SmbClient("get probe.bin " + root + "/probe-got.bin", nullptr, relay.Port()) == 0 &&
              server.SmbClient("put " + local + " probe-put.bin", nullptr, relay.Port()) == 0;
    rates->getBlock = relay.LargestRead();
    rates->putBlock = relay.LargestWrite();
    return ok;
}

// Both clients against one server set up with io; false when a transfer fails or a copy differs.
bool Measure(testsupport::SambaServer::TIo io, size_t bytes, int rounds, SRates* rates) {
    testsupport::SambaServer server(io, testsupport::SambaServer::STORE_MEMORY);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "cannot start Samba: %s\n", error.c_str());
        return false;
    }
    char pattern[] = "/dev/shm/corvane-bench-smb-XXXXXX";
    std::string root = ::mkdtemp(pattern);
    std::filesystem::create_directories(root + "/Home");
    host::SetDataRoot(root);

    SRun run;
    run.shareFile = server.ShareDir() + "/big.bin";
    run.localFile = root + "/local.bin";
    run.downloaded = root + "/downloaded.bin";
    run.uploaded = server.ShareDir() + "/up.bin";
    run.rounds = rounds;
    WriteRandomFile(run.localFile, bytes);
    std::filesystem::copy_file(run.localFile, run.shareFile);
    g_run = &run;

    bool getOk = true;
    bool putOk = true;
    std::string fetched = root + "/smbclient-get.bin";
    double getSeconds = 1e300;
    double putSeconds = 1e300;
    // smbclient's time for a transfer is its run less that of a run that only starts, logs on and ends
    // (measured just before), since ours leaves the logon out.
    auto timeTransfer = [&](const std::string& command, bool* ok) {
        bool idleOk = false;
        double idle = TimeCommand([&] { return server.SmbClient("pwd"); }, &idleOk);
        double whole = TimeCommand([&] { return server.SmbClient(command); }, ok);
        *ok = *ok && idleOk;
        return whole - idle;
    };
    run.otherRound = [&] {
        bool ok1 = false;
        bool ok2 = false;
        Settle(fetched);
        getSeconds = std::min(getSeconds, timeTransfer("get big.bin " + fetched, &ok1));
        Settle(server.ShareDir() + "/up2.bin");
        putSeconds = std::min(putSeconds, timeTransfer("put " + run.localFile + " up2.bin", &ok2));
        getOk = getOk && ok1;
        putOk = putOk && ok2;
    };

    SmbSession::SetServerPort(server.Port());
    Osp::App::Application::Execute([]() -> Osp::App::Application* { return new BenchApp; }, nullptr);
    bool ok = run.ok && SameFiles(run.downloaded, run.shareFile) && SameFiles(run.localFile, run.uploaded);
    getOk = getOk && SameFiles(fetched, run.shareFile);
    putOk = putOk && SameFiles(run.localFile, server.ShareDir() + "/up2.bin");
    bool blocksOk = SmbClientBlocks(server, root, rates);
    std::filesystem::remove_all(root);
    server.Stop();
    rates->readBlock = run.readBlock;
    rates->writeBlock = run.writeBlock;
    if (!blocksOk) {
        std::fprintf(stderr, "smbclient failed through the relay\n");
        return false;
    }
    if (!ok || !getOk || !putOk) {
        std::fprintf(stderr, "a transfer failed or its copy differs (client %d, get %d, put %d)\n", ok, getOk,
                     putOk);
        return false;
    }
    double mb = static_cast<double>(bytes) / 1e6;
    rates->download = mb / run.downloadSeconds;
    rates->upload = mb / run.uploadSeconds;
    rates->get = mb / getSeconds;
    rates->put = mb / putSeconds;
    return true;
}

void Report(const char* title, const SRates& r) {
    std::printf("  %s:\n", title);
    std::printf("    download  SmbBrowser %8.1f MB/s   smbclient get %8.1f MB/s   ratio %5.2f\n", r.download,
                r.get, r.download / r.get);
    std::printf("    upload    SmbBrowser %8.1f MB/s   smbclient put %8.1f MB/s   ratio %5.2f\n", r.upload,
                r.put, r.upload / r.put);
    std::printf("    blocks    SmbBrowser read %u, write %u bytes; smbclient read %u, write %u bytes\n",
                r.readBlock, r.writeBlock, r.getBlock, r.putBlock);
}

}  // namespace

int main(int argc, char** argv) {
    long mib = argc > 1 ? std::atol(argv[1]) : 256;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 8;
    if (mib <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_smb [MIB] [ROUNDS]\n");
        return 2;
    }
    size_t bytes = static_cast<size_t>(mib) << 20;
    // The benchmark shows nothing; it runs without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SRates defaults;
    SRates synchronous;
    if (!Measure(testsupport::SambaServer::IO_DEFAULT, bytes, rounds, &defaults) ||
        !Measure(testsupport::SambaServer::IO_SYNCHRONOUS, bytes, rounds, &synchronous)) {
        return 1;
    }
    std::printf("SMB1 file transfer of %ld MiB over loopback to Samba, best of %d rounds:\n", mib, rounds);
    Report("Samba's defaults (file input and output on its thread pool)", defaults);
    Report("Samba with synchronous file input and output", synchronous);
    std::printf("  target: ratio at least %.1f both ways, with Samba's defaults\n", kTargetRatio);
    const bool downMet =
        bench::RecordRow("SMB1 download against smbclient get", defaults.download / defaults.get,
                         bench::Better::Higher, kTargetRatio);
    const bool upMet = bench::RecordRow("SMB1 upload against smbclient put", defaults.upload / defaults.put,
                                        bench::Better::Higher, kTargetRatio);
    return downMet && upMet ? 0 : 1;
}
