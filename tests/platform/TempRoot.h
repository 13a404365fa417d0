#pragma once
// A fresh data root for one test: the phone's folders in a temporary host folder, removed afterwards.

#include <filesystem>
#include <string>

#include "host/HostPaths.h"

class TempRoot {
public:
    TempRoot() {
        char pattern[] = "/tmp/corvane-test-XXXXXX";
        path_ = mkdtemp(pattern);
        std::filesystem::create_directories(path_ + "/Home");
        std::filesystem::create_directories(path_ + "/Media");
        host::SetDataRoot(path_);
    }
    ~TempRoot() { std::filesystem::remove_all(path_); }
    const std::string& Path() const { return path_; }
    std::string Host(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};
