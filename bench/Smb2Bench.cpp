// The SMB 2/3 browser side by side with `smbclient` against one private Samba with Samba's default
// security (SMB 2 and 3, NTLMv2): a large file downloaded and uploaded through the browser's file
// interface in the browser's blocks (as a copy between browsers moves it), and a folder of many files
// listed through the browser's folder and enumerator, against smbclient's get, put and ls. Ours runs on
// two folders, one that encrypts file data only when the server requires it (against smbclient's
// defaults, the data in the clear) and one that encrypts whenever the server offers it (against smbclient
// encrypted). The same large file copied within the share on the folder with the default choice (the
// server copies it) is set against that folder's download plus upload of it, which is what the copy cost
// before; the figure against the other folder's is shown too. Needs root (the server's user and files).
//
// The server keeps Samba's default file input and output (its thread pool), as a user's server runs it.
// The share and the local files live in memory (tmpfs), so that the machine's disk, shared and slow to
// settle, does not decide the figures. Ours is timed from opening the file or folder to its last answer
// (for an upload, the empty write that answers once the server has confirmed every block), after a logon
// that is not timed; smbclient's runs are taken less a run of it that only starts, logs on and ends,
// timed just before. Rounds alternate the two clients; the best round of each counts. The bytes of every
// copy both ways are checked after the last round.
//
// usage: bench_smb2 [MIB] [ROUNDS]   (defaults: 256 MiB, 6 rounds)

#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../tests/fs/CorvaneLoop.h"
#include "../tests/fs/PhoneRoot.h"
#include "../tests/fs/Recorders.h"
#include "BenchSummary.h"
#include "TransferFiles.h"
#include "app/Results.h"
#include "net/NetBrowser.h"
#include "net/RemoteFolder.h"
#include "net/smb1/SmbSession.h"
#include "testsupport/SambaServer.h"
#include "transfer/IFsTransfer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testsupport::SambaServer;

constexpr double kTransferTarget = 1.0;  // ours against smbclient's throughput, at least
constexpr double kSealedTarget = 1.5;    // ours against smbclient's encrypted throughput, at least
constexpr double kListTarget = 1.5;      // ours against smbclient's time, at most
constexpr double kCopyTarget = 5.0;      // download plus upload against the copy within the share, at least
constexpr int kListedFiles = 10000;
constexpr int kWaitMs = 120000;  // for one answer of the server
constexpr double kNever = 1e300;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the event loop until done holds or timeoutMs have passed; false on time-out. It sleeps between
// events, so that the waiting side leaves the machine's cores to the server and the library's thread.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick;  // wakes the loop now and then so that the time-out is noticed
    tick.start(100);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The size and SHA-256 of a file; empty when it cannot be read.
std::string Fingerprint(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return "";
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return std::to_string(file.size()) + ":" + hash.result().toHex().toStdString();
}

struct SBest {
    double download = kNever;  // seconds of the best round, encrypted whenever the server offers it
    double upload = kNever;
    double clearDownload = kNever;  // encrypted only when the server requires it
    double clearUpload = kNever;
    double copy = kNever;  // within the share
    double list = kNever;
    double get = kNever;
    double put = kNever;
    double sealedGet = kNever;  // smbclient with encryption, as ours runs on a server that offers it
    double sealedPut = kNever;
    double ls = kNever;
};

// One run of both clients against one server; every step says whether it went right.
class Bench {
public:
    Bench(const SambaServer& server, const std::string& scratch) : server_(server), scratch_(scratch) {}

    const SBest& Best() const { return best_; }
    const std::string& Failure() const { return failure_; }
    unsigned int ReadBlock() const { return readBlock_; }
    unsigned int WriteBlock() const { return writeBlock_; }

    // Logs on through both folders on "SMB 2/3 only" and opens their roots; inside a running application.
    bool Connect() {
        if (!Open(folder_, ENCRYPTION_WHEN_OFFERED, &browser_, &connection_) ||
            !Open(clearFolder_, ENCRYPTION_WHEN_REQUIRED, &clear_, &clearConnection_)) {
            return false;
        }
        browser_->GetProperty(IFsBrowser::PROP_READ_BLOCK, &readBlock_);
        browser_->GetProperty(IFsBrowser::PROP_WRITE_BLOCK, &writeBlock_);
        buffer_.resize(std::max(readBlock_, writeBlock_));
        return true;
    }
    const std::wstring& Connection() const { return connection_; }
    const std::wstring& ClearConnection() const { return clearConnection_; }

    // One round: each of ours followed by the same with smbclient.
    bool Round() {
        Settle(Local("downloaded.bin"));
        if (!Keep(&best_.download, Download(browser_, L"\\big.bin", Local("downloaded.bin")))) {
            return false;
        }
        Settle(Local("downloaded-clear.bin"));
        if (!Keep(&best_.clearDownload, Download(clear_, L"\\big.bin", Local("downloaded-clear.bin")))) {
            return false;
        }
        Settle(Local("got.bin"));
        if (!Keep(&best_.get, TimeSmbClient("get big.bin " + Local("got.bin"), PLAIN))) {
            return false;
        }
        Settle(Local("got-sealed.bin"));
        if (!Keep(&best_.sealedGet, TimeSmbClient("get big.bin " + Local("got-sealed.bin"), SEALED))) {
            return false;
        }
        Settle(server_.ShareDir() + "/up.bin");
        if (!Keep(&best_.upload, Upload(browser_, Local("local.bin"), L"\\up.bin"))) {
            return false;
        }
        Settle(server_.ShareDir() + "/up-clear.bin");
        if (!Keep(&best_.clearUpload, Upload(clear_, Local("local.bin"), L"\\up-clear.bin"))) {
            return false;
        }
        Settle(server_.ShareDir() + "/copied.bin");
        if (!Keep(&best_.copy, CopyWithinShare(L"\\big.bin", L"\\copied.bin"))) {
            return false;
        }
        Settle(server_.ShareDir() + "/put.bin");
        if (!Keep(&best_.put, TimeSmbClient("put " + Local("local.bin") + " put.bin", PLAIN))) {
            return false;
        }
        Settle(server_.ShareDir() + "/put-sealed.bin");
        if (!Keep(&best_.sealedPut, TimeSmbClient("put " + Local("local.bin") + " put-sealed.bin", SEALED))) {
            return false;
        }
        if (!Keep(&best_.list, List(L"\\many"))) {
            return false;
        }
        std::string listing;
        if (!Keep(&best_.ls, TimeSmbClient("ls many\\*", PLAIN, &listing))) {
            return false;
        }
        if (CountListed(listing) != kListedFiles) {
            return Fail("smbclient listed another number of files", 0);
        }
        return true;
    }

    // Whether every copy of the last round holds the bytes of its source.
    bool CopiesAreExact() {
        const std::string source = Fingerprint(Local("local.bin"));
        const struct {
            const char* what;
            std::string path;
        } copies[] = {{"our download", Local("downloaded.bin")},
                      {"our upload", server_.ShareDir() + "/up.bin"},
                      {"our download in the clear", Local("downloaded-clear.bin")},
                      {"our upload in the clear", server_.ShareDir() + "/up-clear.bin"},
                      {"our copy within the share", server_.ShareDir() + "/copied.bin"},
                      {"smbclient's get", Local("got.bin")},
                      {"smbclient's put", server_.ShareDir() + "/put.bin"},
                      {"smbclient's encrypted get", Local("got-sealed.bin")},
                      {"smbclient's encrypted put", server_.ShareDir() + "/put-sealed.bin"}};
        for (const auto& copy : copies) {
            if (source.empty() || Fingerprint(copy.path) != source) {
                return Fail(std::string(copy.what) + " differs from its source", 0);
            }
        }
        std::printf(
            "  copies checked: the size and SHA-256 of all nine (both clients both ways, both in the clear\n"
            "  and encrypted, and our copy within the share) match the source's: %s\n",
            source.c_str());
        return true;
    }

    // The scratch folder's file name.
    std::string Local(const std::string& name) const { return scratch_ + "/" + name; }

private:
    bool Fail(const std::string& what, unsigned long result) {
        char code[16];
        std::snprintf(code, sizeof code, "%08lX", result);
        failure_ = result != 0 ? what + " (" + code + ")" : what;
        return false;
    }
    double FailTime(const std::string& what, unsigned long result) {
        Fail(what, result);
        return -1;
    }
    static bool Keep(double* best, double seconds) {
        if (seconds < 0) {
            return false;
        }
        *best = std::min(*best, seconds);
        return true;
    }

    // Waits for the recorder's next answer after count answers; nullptr when none came.
    static const FileAnswer* NextAnswer(FileRecorder& files, size_t count) {
        WaitUntil([&] { return files.answers.size() > count; }, kWaitMs);
        return files.answers.size() > count ? &files.answers[count] : nullptr;
    }

    // Opens folder, which encrypts as asked, on "SMB 2/3 only" and keeps its browser and what its session
    // does.
    bool Open(RemoteFolder& folder, TEncryption encryption, NetBrowser** browser, std::wstring* connection) {
        PointAtTestShare(folder, SMB_PROTOCOL_SMB2);
        folder.SetEncryption(encryption);
        *browser = folder.CreateBrowser();
        DirRecorder root;
        (*browser)->SetListener(&root);
        (*browser)->OpenRootDirA();
        WaitUntil([&] { return root.dirResult != 1; }, kWaitMs);
        (*browser)->RemoveListener(&root);
        if (root.dirResult != RES_OK) {
            return Fail("the share did not open", root.dirResult);
        }
        *connection = (*browser)->DescribeConnection();
        return true;
    }

    // A copy from one name of the share to another through the transfer a paste makes, on the folder with
    // the default choice (encrypted whenever the server offers it); seconds, or -1.
    double CopyWithinShare(const std::wstring& from, const std::wstring& to) {
        struct SEnd : IFsTransferListener {
            void OnTransferProgress(unsigned long long, bool) override {}
            void OnTransferEnded(unsigned long r) override {
                result = r;
                ended = true;
            }
            unsigned long result = 0;
            bool ended = false;
        } end;
        const Clock::time_point start = Clock::now();
        std::unique_ptr<IFsTransfer> transfer(CreateFsTransferN(&end, DEST_NEW, browser_, browser_));
        transfer->CopyFileA(from, 0, Osp::Base::DateTime(), to);
        WaitUntil([&] { return end.ended; }, kWaitMs);
        if (!end.ended || end.result != RES_OK) {
            return FailTime("our copy within the share failed", end.result);
        }
        return Since(start);
    }

    // Seconds, or -1 on failure.
    double Download(NetBrowser* browser, const std::wstring& path, const std::string& to) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(to.c_str(), "wb"), &std::fclose);
        FileRecorder files;
        const Clock::time_point start = Clock::now();
        browser->CreateFileA(&files, path, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        const FileAnswer* answer = NextAnswer(files, 0);
        if (out == nullptr || answer == nullptr || answer->result != RES_OK) {
            return FailTime("our download did not open", answer != nullptr ? answer->result : 0);
        }
        for (;;) {
            const size_t count = files.answers.size();
            files.file->ReadA(buffer_.data(), readBlock_);
            answer = NextAnswer(files, count);
            if (answer == nullptr || answer->result != RES_OK) {
                return FailTime("our download failed", answer != nullptr ? answer->result : 0);
            }
            if (answer->count == 0) {
                return Since(start);
            }
            std::fwrite(buffer_.data(), 1, answer->count, out.get());
        }
    }

    double Upload(NetBrowser* browser, const std::string& from, const std::wstring& path) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(from.c_str(), "rb"), &std::fclose);
        FileRecorder files;
        const Clock::time_point start = Clock::now();
        browser->CreateFileA(&files, path, FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
        const FileAnswer* answer = NextAnswer(files, 0);
        if (in == nullptr || answer == nullptr || answer->result != RES_OK) {
            return FailTime("our upload did not open", answer != nullptr ? answer->result : 0);
        }
        for (;;) {
            const size_t n = std::fread(buffer_.data(), 1, writeBlock_, in.get());
            const size_t count = files.answers.size();
            // The empty write answers once the server has confirmed every block before it.
            files.file->WriteA(buffer_.data(), static_cast<unsigned int>(n));
            answer = NextAnswer(files, count);
            if (answer == nullptr || answer->result != RES_OK || answer->count != n) {
                return FailTime("our upload failed", answer != nullptr ? answer->result : 0);
            }
            if (n == 0) {
                return Since(start);
            }
        }
    }

    // Opens the folder at path and enumerates it to its end; every entry is taken as a folder view
    // takes it.
    double List(const std::wstring& path) {
        OpRecorder ops;
        ops.deleteObject = [](std::intptr_t o) { delete reinterpret_cast<IFsDir*>(o); };
        DirRecorder opened;
        EnumRecorder listed;
        const Clock::time_point start = Clock::now();
        clear_->OpenDirA(1, &ops, path);
        WaitUntil([&] { return !ops.answers.empty(); }, kWaitMs);
        if (ops.answers.empty() || ops.answers[0].result != RES_OK) {
            return FailTime("our folder did not open", ops.answers.empty() ? 0 : ops.answers[0].result);
        }
        IFsDir* dir = reinterpret_cast<IFsDir*>(ops.answers[0].object);
        dir->SetListener(&opened);
        dir->OpenEnumeratorA();
        WaitUntil([&] { return opened.enumResult != 1; }, kWaitMs);
        if (opened.enumerator == nullptr) {
            return FailTime("our enumerator did not open", opened.enumResult);
        }
        opened.enumerator->SetListener(&listed);
        opened.enumerator->StartEnumA(true);
        WaitUntil([&] { return listed.ends > 0; }, kWaitMs);
        const double seconds = Since(start);
        if (listed.endResult != RES_OK || listed.entries.size() != static_cast<size_t>(kListedFiles)) {
            return FailTime("our listing is incomplete", listed.endResult);
        }
        return seconds;
    }

    // smbclient with its default protocol and security, as a user runs it (signing the logon only, the
    // data in the clear), or with everything encrypted.
    enum TProtection { PLAIN, SEALED };
    int SmbClient(const std::string& command, TProtection protection, std::string* output) const {
        std::string line = "smbclient //127.0.0.1/" + std::string(SambaServer::kShare) + " -p " +
                           std::to_string(server_.Port()) + " -U '" + SambaServer::kUser + "%" +
                           SambaServer::kPassword + "'";
        if (protection == SEALED) {
            line += " --client-protection=encrypt";
        }
        return testsupport::RunCommand(line + " -c '" + command + "'", output);
    }

    // The time of smbclient's command less that of a run that only starts and logs on; -1 on failure.
    double TimeSmbClient(const std::string& command, TProtection protection, std::string* output = nullptr) {
        Clock::time_point start = Clock::now();
        const bool idleOk = SmbClient("pwd", protection, nullptr) == 0;
        const double idle = Since(start);
        start = Clock::now();
        std::string printed;
        const bool ok = SmbClient(command, protection, &printed) == 0;
        const double whole = Since(start);
        if (!idleOk || !ok) {
            return FailTime("smbclient failed: " + command + ": " + printed, 0);
        }
        if (output != nullptr) {
            *output = printed;
        }
        return whole - idle;
    }

    static int CountListed(const std::string& listing) {
        int count = 0;
        for (size_t at = listing.find("  f"); at != std::string::npos; at = listing.find("  f", at + 1)) {
            ++count;
        }
        return count;
    }

    const SambaServer& server_;
    std::string scratch_;
    RemoteFolder folder_;
    NetBrowser* browser_ = nullptr;  // the folder's
    std::wstring connection_;
    RemoteFolder clearFolder_;
    NetBrowser* clear_ = nullptr;  // the folder's
    std::wstring clearConnection_;
    unsigned int readBlock_ = 0;
    unsigned int writeBlock_ = 0;
    std::vector<char> buffer_;
    SBest best_;
    std::string failure_;
};

}  // namespace

int main(int argc, char** argv) {
    const long mib = argc > 1 ? std::atol(argv[1]) : 256;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 6;
    if (mib <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_smb2 [MIB] [ROUNDS]\n");
        return 2;
    }
    const size_t bytes = static_cast<size_t>(mib) << 20;
    // The benchmark shows nothing; it runs without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SambaServer server(SambaServer::IO_DEFAULT, SambaServer::STORE_MEMORY);
    server.SetSecurity(SambaServer::SECURITY_DEFAULTS);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "cannot start Samba: %s\n", error.c_str());
        return 1;
    }
    char pattern[] = "/dev/shm/corvane-bench-smb2-XXXXXX";
    const std::string scratch = ::mkdtemp(pattern);
    fs::create_directories(server.ShareDir() + "/many");
    for (int i = 0; i < kListedFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/many/f%05d.txt", i);
        std::ofstream(server.ShareDir() + name) << i;
    }
    Bench bench(server, scratch);
    WriteRandomFile(bench.Local("local.bin"), bytes);
    fs::copy_file(bench.Local("local.bin"), server.ShareDir() + "/big.bin");
    SmbSession::SetServerPort(server.Port());

    bool ok = false;
    {
        PhoneRoot phone;
        CorvaneLoop::Run(
            [&] {
                ok = bench.Connect();
                for (int r = 0; ok && r < rounds; ++r) {
                    ok = bench.Round();
                }
                ok = ok && bench.CopiesAreExact();
                CorvaneLoop::Quit();
            },
            rounds * 600000);
    }
    fs::remove_all(scratch);
    server.Stop();
    if (!ok) {
        std::fprintf(stderr, "%s\n",
                     bench.Failure().empty() ? "the run did not finish" : bench.Failure().c_str());
        return 1;
    }
    const SBest& best = bench.Best();
    const double mb = static_cast<double>(bytes) / 1e6;
    const double down = best.get / best.clearDownload;
    const double up = best.put / best.clearUpload;
    const double sealedDown = best.sealedGet / best.download;
    const double sealedUp = best.sealedPut / best.upload;
    const double list = best.list / best.ls;
    // The same folder's download plus upload is what the copy cost before the server made it.
    const double copy = (best.download + best.upload) / best.copy;
    const double clearCopy = (best.clearDownload + best.clearUpload) / best.copy;
    auto narrow = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
    std::printf("SMB 2/3 over loopback to Samba with its default security, best of %d rounds\n", rounds);
    std::printf("  Smb2Browser: blocks of %u bytes read and %u written; in the clear: %s; encrypted: %s\n",
                bench.ReadBlock(), bench.WriteBlock(), narrow(bench.ClearConnection()).c_str(),
                narrow(bench.Connection()).c_str());
    std::printf(
        "  smbclient: its defaults (the logon signed, the data in the clear), and encrypted\n"
        "  (--client-protection=encrypt)\n");
    std::printf(
        "                     in the clear: ours  smbclient  ratio | encrypted: ours  smbclient  ratio\n");
    std::printf("  download %4ld MiB  %9.1f MB/s %6.1f MB/s %5.2f | %9.1f MB/s %6.1f MB/s %5.2f\n", mib,
                mb / best.clearDownload, mb / best.get, down, mb / best.download, mb / best.sealedGet,
                sealedDown);
    std::printf("  upload   %4ld MiB  %9.1f MB/s %6.1f MB/s %5.2f | %9.1f MB/s %6.1f MB/s %5.2f\n", mib,
                mb / best.clearUpload, mb / best.put, up, mb / best.upload, mb / best.sealedPut, sealedUp);
    std::printf("  list %5d files  %10.1f ms %10.1f ms  %5.2f (ours over smbclient's time)\n", kListedFiles,
                best.list * 1e3, best.ls * 1e3, list);
    std::printf(
        "  copy within the share %4ld MiB: %.1f ms, against the same folder's download plus upload %.1f ms: "
        "%.2f x\n  (against those of the folder that encrypts only when required, %.1f ms: %.2f x)\n",
        mib, best.copy * 1e3, (best.download + best.upload) * 1e3, copy,
        (best.clearDownload + best.clearUpload) * 1e3, clearCopy);
    std::printf(
        "  targets: throughput at least %.1f x smbclient's defaults in the clear and %.1f x smbclient\n"
        "  encrypted, listing at most %.1f x, the copy within the share at least %.1f x faster\n",
        kTransferTarget, kSealedTarget, kListTarget, kCopyTarget);
    bool met = bench::RecordRow("SMB 2/3 download against smbclient's defaults", down, bench::Better::Higher,
                                kTransferTarget);
    met &= bench::RecordRow("SMB 2/3 upload against smbclient's defaults", up, bench::Better::Higher,
                            kTransferTarget);
    met &= bench::RecordRow("SMB 2/3 download against smbclient encrypted", sealedDown, bench::Better::Higher,
                            kSealedTarget);
    met &= bench::RecordRow("SMB 2/3 upload against smbclient encrypted", sealedUp, bench::Better::Higher,
                            kSealedTarget);
    met &= bench::RecordRow("SMB 2/3 list 10,000 files against smbclient", list, bench::Better::Lower,
                            kListTarget);
    met &= bench::RecordRow("SMB 2/3 copy within a share against download plus upload", copy,
                            bench::Better::Higher, kCopyTarget);
    return met ? 0 : 1;
}
