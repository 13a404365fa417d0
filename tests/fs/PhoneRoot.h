#pragma once
// A fresh data root for one test, in a temporary host folder that is removed afterwards, with files
// written and read by host path so that tests see what really lies on the disk.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Osp/Io/Registry.h"
#include "host/ContentStore.h"
#include "host/HostPaths.h"

class PhoneRoot {
public:
    enum TCard { WITH_CARD, NO_CARD };

    explicit PhoneRoot(TCard card = WITH_CARD) {
        char pattern[] = "/tmp/corvane-fs-XXXXXX";
        path_ = ::mkdtemp(pattern);
        std::filesystem::create_directories(path_ + "/Home");
        std::filesystem::create_directories(path_ + "/Media");
        if (card == WITH_CARD) {
            std::filesystem::create_directories(path_ + "/Storagecard/Media/Videos");
        }
        host::SetDataRoot(path_);
        host::ContentStore::Instance().Reset();
    }
    ~PhoneRoot() {
        host::ContentStore::Instance().Reset();
        std::filesystem::remove_all(path_);
    }

    // The host path of a path below the root, such as "Home/a.txt".
    std::string Host(const std::string& relative) const { return path_ + "/" + relative; }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(Host(relative)); }
    void MakeDir(const std::string& relative) const { std::filesystem::create_directories(Host(relative)); }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path file(Host(relative));
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(Host(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Notes in the settings file that the user has been told no desktop keyring runs, for tests that save
    // network passwords without a keyring and are not about that one-time box.
    void KeyringAbsenceAlreadyTold() const {
        Osp::Io::Registry reg;
        reg.Construct(Osp::Base::String(L"/Home/RF.reg"), true);
        reg.AddSection(Osp::Base::String(L"General"));
        reg.AddValue(Osp::Base::String(L"General"), Osp::Base::String(L"KeyringAbsenceTold"), 1);
        reg.Flush();
    }

private:
    std::string path_;
};
