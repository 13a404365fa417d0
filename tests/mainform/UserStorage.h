#pragma once
// The program started without a data root, on "the user's" real storage: a home folder and a data home in
// temporary folders named by HOME and XDG_DATA_HOME, and media looked for below a temporary
// "run/media/USER" only. Everything is put back afterwards.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host/ContentStore.h"
#include "host/Storage.h"

class UserStorage {
public:
    UserStorage() : base_(MakeTemp()) {
        std::filesystem::create_directories(Home());
        std::filesystem::create_directories(DataHome());
        std::filesystem::create_directories(MediaFolder());
        SaveEnv("HOME", Home());
        SaveEnv("XDG_DATA_HOME", DataHome());
        host::SetDataRoot("");
        host::SetPhoneMemoryFolder(L"");
        host::SetCardChoice(host::kFirstMedium);
        host::SetMediaFolders({MediaFolder()}, host::RemovableMarks::kIgnored);
        host::ContentStore::Instance().Reset();
    }
    ~UserStorage() {
        host::SetPhoneMemoryFolder(L"");
        host::SetCardChoice(host::kFirstMedium);
        host::SetMediaFolders(host::UserMediaFolders(), host::RemovableMarks::kCounted);
        host::ContentStore::Instance().Reset();
        for (const auto& [name, value] : savedEnv_) {
            if (value.first) {
                ::setenv(name.c_str(), value.second.c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }
    UserStorage(const UserStorage&) = delete;
    UserStorage& operator=(const UserStorage&) = delete;

    std::string Home() const { return base_ + "/home"; }
    std::string DataHome() const { return base_ + "/data"; }
    // Where the desktop would mount the user's media.
    std::string MediaFolder() const { return base_ + "/run/media/user"; }

    static void Write(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Every path below the folder with its size (-1 for a folder), to tell whether anything changed.
    static std::map<std::string, long long> Snapshot(const std::string& folder) {
        std::map<std::string, long long> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            entries[entry.path().string()] =
                entry.is_directory() ? -1 : static_cast<long long>(entry.file_size());
        }
        return entries;
    }

private:
    static std::string MakeTemp() {
        char pattern[] = "/tmp/corvane-user-XXXXXX";
        return ::mkdtemp(pattern);
    }
    void SaveEnv(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        savedEnv_[name] = {old != nullptr, old != nullptr ? old : ""};
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::string base_;
    std::map<std::string, std::pair<bool, std::string>> savedEnv_;
};
