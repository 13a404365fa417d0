// Archives side by side with the tools a user would use instead, in one run:
// - open a ZIP of 100,000 entries in 1,000 folders and list every folder, against `7z l -ba` on the same
//   file (target: at most 1.5 times), with the peak memory the open volume added;
// - stream a 100 MB deflate entry and a 100 MB LZMA2 entry of 7z archives out through the archive
//   browser's ExtractFileA, against `7z x -so -mmt=1` (the archives are single-threaded streams, so both
//   sides decode on one thread; target: at most 1.25 times);
// - stream a 100 MB entry of a stored RAR 5 archive, written here from the format's documented layout,
//   against `bsdtar -xOf` (target: at most 1.25 times).
// Each figure is the best of ROUNDS rounds, the two sides interleaved.
//
// usage: bench_archive [ROUNDS]   (default 3)

#include <stdlib.h>

#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../tests/archive/ArchiveFixture.h"
#include "../tests/fs/CorvaneLoop.h"
#include "../tests/fs/PhoneRoot.h"
#include "BenchSummary.h"
#include "archive/FsZipBrowser.h"
#include "archive/IVolDir.h"
#include "archive/IVolume.h"
#include "archive/VolumeDb.h"
#include "fs/FsLocalBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "host/EventLoop.h"
#include "host/SampleArchive.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kListTarget = 1.5;
constexpr double kExtractTarget = 1.25;
constexpr std::size_t kBigEntry = 100u << 20;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double TimeCommand(const std::string& command) {
    auto start = Clock::now();
    std::string line = "(" + command + ") >/dev/null 2>&1";
    if (std::system(line.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(2);
    }
    return Seconds(Clock::now() - start);
}

long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Text-like bytes that compress as ordinary files do.
std::string TextBytes(std::size_t count) {
    static const char* words[] = {"archive ", "folder ", "entry ",  "stream ", "block ", "the ",  "of ",
                                  "and ",     "phone ",  "memory ", "card\n",  "share ", "1234 ", "file "};
    std::string out;
    out.reserve(count);
    unsigned int x = 12345;
    while (out.size() < count) {
        x = x * 1103515245 + 12345;
        out += words[(x >> 16) % 14];
    }
    out.resize(count);
    return out;
}

unsigned int Crc32(const std::string& bytes) {
    static unsigned int table[256];
    if (table[1] == 0) {
        for (unsigned int i = 0; i < 256; ++i) {
            unsigned int c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[i] = c;
        }
    }
    unsigned int crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutVint(std::string* out, unsigned long long v) {
    do {
        unsigned char b = v & 0x7F;
        v >>= 7;
        out->push_back(static_cast<char>(b | (v != 0 ? 0x80 : 0)));
    } while (v != 0);
}

void Put32(std::string* out, unsigned int v) {
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<char>(v >> (8 * i)));
    }
}

// One RAR 5 block: CRC32 of what follows it, the size of the fields after the size, then the fields.
std::string Rar5Block(const std::string& fields) {
    std::string sized;
    PutVint(&sized, fields.size());
    sized += fields;
    std::string block;
    Put32(&block, Crc32(sized));
    return block + sized;
}

// A RAR 5 archive holding name, stored: signature, main header, file header with its data, end header.
std::string StoredRar5(const std::string& name, const std::string& data) {
    std::string out("Rar!\x1A\x07\x01\x00", 8);
    std::string main;
    PutVint(&main, 1);  // main archive header
    PutVint(&main, 0);  // no extra area, no data
    PutVint(&main, 0);  // archive flags
    out += Rar5Block(main);
    std::string file;
    PutVint(&file, 2);       // file header
    PutVint(&file, 0x0002);  // a data area follows
    PutVint(&file, data.size());
    PutVint(&file, 0x0004);  // file flags: data CRC32 present
    PutVint(&file, data.size());
    PutVint(&file, 0x20);  // attributes
    Put32(&file, Crc32(data));
    PutVint(&file, 0);  // compression: version 0, method 0 (store)
    PutVint(&file, 1);  // host: Unix
    PutVint(&file, name.size());
    file += name;
    out += Rar5Block(file) + data;
    std::string end;
    PutVint(&end, 5);  // end of archive
    PutVint(&end, 0);
    PutVint(&end, 0);
    return out + Rar5Block(end);
}

// Opens the archive and lists every folder through the volume; the number of entries seen.
long ListEveryFolder(const std::string& path) {
    HostSyncFile file(path);
    IVolume* raw = nullptr;
    if (VolumeDb::CreateVolumeN(L"big.zip", &file, nullptr, &raw) != 0) {
        return -1;
    }
    std::unique_ptr<IVolume> volume(raw);
    long seen = 0;
    std::vector<std::wstring> folders{L""};
    while (!folders.empty()) {
        std::wstring path = folders.back();
        folders.pop_back();
        IVolDir* dir = nullptr;
        if (volume->OpenDirN(path, &dir) != 0) {
            return -1;
        }
        std::unique_ptr<IVolDir> owned(dir);
        std::unique_ptr<IVolDirEnum> walk(dir->OpenEnumeratorN());
        IFsDirEntry* entry = nullptr;
        while (walk->GetEntryN(&entry) == 0 && entry != nullptr) {
            std::unique_ptr<IFsDirEntry> e(entry);
            ++seen;
            if ((e->GetType() & ENTRY_DIRECTORY) != 0) {
                folders.push_back(path + L"/" + e->GetName());
            }
        }
    }
    return seen;
}

class RootListener : public IFsBrowserListener {
public:
    ~RootListener() { delete root; }
    void OnOpenDir(unsigned long result, IFsDir* dir) override {
        this->result = result;
        root = dir;
        done = true;
        loop.quit();
    }
    void ShowPopup(const Osp::Base::String&, bool) override {}
    void HidePopup() override {}
    void OnPasswordRequestA(IFsBrowser*) override {}
    void OnSelectShareA(const std::set<std::wstring>&) override {}
    bool done = false;
    unsigned long result = 0;
    IFsDir* root = nullptr;
    QEventLoop loop;
};

// Takes every block at once, as a transfer into a fast disk would.
class CountingStream : public IOutStreamListener {
public:
    explicit CountingStream(IFsBrowser* browser) : browser_(browser) {}
    unsigned long OnStreamWriteA(const void*, unsigned int size) override {
        bytes += size;
        browser_->BytesProcessed(0, size);
        return 0;
    }
    void OnStreamWriteFinishedA(unsigned long r) override {
        result = r;
        done = true;
        loop.quit();
    }
    unsigned long long bytes = 0;
    unsigned long result = 1;
    bool done = false;
    QEventLoop loop;

private:
    IFsBrowser* browser_;
};

// Opens /Home/name in a new archive browser and streams entry out; seconds, or a negative on failure.
double StreamOut(const std::string& name, const std::wstring& entry) {
    LocalBrowser host(LocalBrowser::ROOT_HOME);
    RootListener listener;
    auto start = Clock::now();
    auto* browser = new ZipBrowser;
    browser->AddRef();
    browser->InitAndOpenRootDirA(&host, L"/Home/" + std::wstring(name.begin(), name.end()), &listener);
    double seconds = -1;
    // The screen thread sleeps in its event loop between answers, as it does in the program.
    if (!listener.done) {
        listener.loop.exec();
    }
    if (listener.result == 0) {
        CountingStream stream(browser);
        browser->ExtractFileA(&stream, entry);
        if (!stream.done) {
            stream.loop.exec();
        }
        if (stream.result == 0 && stream.bytes == kBigEntry) {
            seconds = Seconds(Clock::now() - start);
        }
    }
    delete listener.root;
    listener.root = nullptr;
    browser->Release();
    return seconds;
}

bool Report(const char* what, double ours, double theirs, double target) {
    double ratio = ours / theirs;
    bool met = bench::RecordRow(std::string("archive: ") + what, ratio, bench::Better::Lower, target);
    std::printf("%-40s ours %8.3f s  tool %8.3f s  ratio %5.2f  (target <= %.2f) %s\n", what, ours, theirs,
                ratio, target, met ? "met" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    host::EnsureQtApplication();
    PhoneRoot phone;
    const std::string home = phone.Host("Home");
    bool allMet = true;

    // 100,000 entries in 1,000 folders.
    std::vector<host::SampleItem> items;
    for (int d = 0; d < 1000; ++d) {
        for (int f = 0; f < 100; ++f) {
            items.push_back({"folder" + std::to_string(d) + "/file" + std::to_string(f) + ".txt", "x"});
        }
    }
    phone.Write("Home/big.zip", host::MakeStoredZip(items));
    double ours = 1e9;
    double theirs = 1e9;
    long peakAdded = 0;
    long seen = 0;
    for (int r = 0; r < rounds; ++r) {
        ResetPeak();
        long before = PeakKb();
        auto start = Clock::now();
        seen = ListEveryFolder(home + "/big.zip");
        ours = std::min(ours, Seconds(Clock::now() - start));
        peakAdded = std::max(peakAdded, PeakKb() - before);
        theirs = std::min(theirs, TimeCommand("7z l -ba '" + home + "/big.zip'"));
    }
    if (seen != 101000) {
        std::printf("listing saw %ld entries, not 101000\n", seen);
        return 1;
    }
    allMet &= Report("list 100,000 entries in 1,000 folders", ours, theirs, kListTarget);
    std::printf("%-40s %ld KB added peak memory\n", "", peakAdded);

    phone.Write("Home/data.txt", TextBytes(kBigEntry));
    if (TimeCommand("cd '" + home +
                    "' && 7z a -t7z -mx1 -mmt=1 -m0=Deflate deflate.7z data.txt && "
                    "7z a -t7z -mx1 -mmt=1 -m0=LZMA2 lzma2.7z data.txt") < 0) {
        return 2;
    }
    phone.Write("Home/stored.rar", StoredRar5("data.txt", phone.Read("Home/data.txt")));
    struct {
        const char* what;
        const char* archive;
        const char* tool;
    } streams[] = {
        {"stream 100 MB deflate entry of a 7z", "deflate.7z", "7z x -so -mmt=1"},
        {"stream 100 MB LZMA2 entry of a 7z", "lzma2.7z", "7z x -so -mmt=1"},
        {"stream 100 MB entry of a stored RAR 5", "stored.rar", "bsdtar -xOf"},
    };
    bool ok = CorvaneLoop::Run(
        [&] {
            for (const auto& s : streams) {
                double best = 1e9;
                double tool = 1e9;
                for (int r = 0; r < rounds; ++r) {
                    double t = StreamOut(s.archive, L"data.txt");
                    if (t < 0) {
                        std::printf("%s: the stream failed\n", s.what);
                        allMet = false;
                        break;
                    }
                    best = std::min(best, t);
                    tool = std::min(tool, TimeCommand(std::string(s.tool) + " '" + home + "/" + s.archive +
                                                      "' data.txt"));
                }
                allMet &= Report(s.what, best, tool, kExtractTarget);
            }
            CorvaneLoop::Quit();
        },
        3600000);
    return ok && allMet ? 0 : 1;
}
