#pragma once
// What the archive tests share: a temporary host folder, the system's archivers run inside it, a
// synchronous file over a host file, and recorders of an extraction and of password questions.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archive/IOutStreamSync.h"
#include "archive/IPasswordListener.h"
#include "archive/IVolDir.h"
#include "archive/IVolume.h"
#include "fs/IFileSync.h"
#include "fs/IFsDirEntry.h"

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/corvane-arc-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }

    std::string Path(const std::string& relative = "") const {
        return relative.empty() ? path_ : path_ + "/" + relative;
    }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path file(Path(relative));
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(Path(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Runs a shell command inside the folder; true when it succeeds.
    bool Run(const std::string& command) const {
        std::string line = "cd '" + path_ + "' && (" + command + ") >/dev/null 2>&1";
        return std::system(line.c_str()) == 0;
    }

private:
    std::string path_;
};

// An IFileSync over a host file opened for reading.
class HostSyncFile : public IFileSync {
public:
    explicit HostSyncFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
    ~HostSyncFile() override { CloseS(); }
    bool IsOpen() const { return file_ != nullptr; }

    unsigned long ReadS(void* buffer, unsigned int size, unsigned int* read) override {
        *read = static_cast<unsigned int>(std::fread(buffer, 1, size, file_));
        ++reads;
        return std::ferror(file_) ? 0x80000000 : 0;
    }
    unsigned long WriteS(const void*, unsigned int, unsigned int* written) override {
        *written = 0;
        return 0x80000000;
    }
    unsigned long SeekS(TPosition origin, int offset) override {
        ++seeks;
        int whence = origin == POS_CURRENT ? SEEK_CUR : origin == POS_END ? SEEK_END : SEEK_SET;
        return ::fseeko(file_, offset, whence) == 0 ? 0 : 0x80000000;
    }
    unsigned long long Tell64() const override { return static_cast<unsigned long long>(::ftello(file_)); }
    unsigned long Tell() const override { return static_cast<unsigned long>(::ftello(file_)); }
    void CloseS() override {
        if (file_ != nullptr) {
            std::fclose(file_);
            file_ = nullptr;
        }
    }

    int reads = 0;
    int seeks = 0;

private:
    std::FILE* file_;
};

// Collects an extracted file and the results it ended with.
class SinkStream : public IOutStreamSync {
public:
    unsigned long OnStreamWrite(const void* data, unsigned int size, unsigned int* written) override {
        bytes.append(static_cast<const char*>(data), size);
        *written = size;
        return refuseAfter >= 0 && bytes.size() > static_cast<std::size_t>(refuseAfter) ? 0xA0000BA0 : 0;
    }
    void OnStreamWriteFinished(unsigned long result) override { results.push_back(result); }

    std::string bytes;
    std::vector<unsigned long> results;
    long refuseAfter = -1;
};

// Answers password questions from a list; an empty answer stands for a cancel.
class ScriptedPasswords : public IPasswordListener {
public:
    explicit ScriptedPasswords(std::vector<std::wstring> answers = {}) : answers_(std::move(answers)) {}
    std::wstring OnGetPassword() override {
        ++asked;
        if (answers_.empty()) {
            return std::wstring();
        }
        std::wstring next = answers_.front();
        answers_.erase(answers_.begin());
        return next;
    }
    int asked = 0;

private:
    std::vector<std::wstring> answers_;
};

// The children of a volume's folder in listing order: folders with a trailing '/', files with ":size"
// when sizes are asked for.
inline std::string ListFolder(IVolume* volume, const std::wstring& path, bool sizes) {
    IVolDir* raw = nullptr;
    if (volume->OpenDirN(path, &raw) != 0) {
        return "<none>";
    }
    std::unique_ptr<IVolDir> dir(raw);
    std::unique_ptr<IVolDirEnum> walk(dir->OpenEnumeratorN());
    std::string out;
    IFsDirEntry* entry = nullptr;
    while (walk->GetEntryN(&entry) == 0 && entry != nullptr) {
        std::unique_ptr<IFsDirEntry> owned(entry);
        std::wstring name = entry->GetName();
        bool folder = (entry->GetType() & 0x01) != 0;
        out += (out.empty() ? "" : " ") + std::string(name.begin(), name.end()) +
               (folder  ? "/"
                : sizes ? ":" + std::to_string(entry->GetSize())
                        : "");
    }
    return out;
}

// Deterministic bytes that do not compress away.
inline std::string NoiseBytes(std::size_t count, unsigned int seed) {
    std::string out(count, '\0');
    unsigned int x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<char>(x);
    }
    return out;
}
