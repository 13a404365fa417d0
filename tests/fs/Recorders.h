#pragma once
// Listeners that write down every answer they get, so that tests can look at what came, in which order,
// and own what was handed over. An optional hook runs after each answer is written down.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fs/IFsBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnum.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"
#include "fs/IFsOpListener.h"

struct OpAnswer {
    int id;
    std::intptr_t object;
    unsigned long result;
};

class OpRecorder : public IFsOpListener {
public:
    ~OpRecorder() {
        for (const OpAnswer& a : answers) {
            if (a.object != 0) {
                deleteObject(a.object);
            }
        }
    }
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override {
        answers.push_back({id, object, result});
        if (hook) {
            hook();
        }
    }
    // How an object of the answers is deleted; entries unless the test says folders.
    std::function<void(std::intptr_t)> deleteObject = [](std::intptr_t o) {
        delete reinterpret_cast<IFsDirEntry*>(o);
    };
    std::vector<OpAnswer> answers;
    std::function<void()> hook;
};

struct SeenEntry {
    std::wstring name;
    int type;
    unsigned long long size;
    Osp::Base::DateTime modified;
};

class EnumRecorder : public IFsDirEnumListener {
public:
    void OnGetEntry(unsigned long result, const IFsDirEntry* entry) override {
        if (entry == nullptr) {
            ++ends;
            endResult = result;
        } else {
            entries.push_back(
                {entry->GetName(), entry->GetType(), entry->GetSize(), entry->GetTimeModified()});
            delete entry;
        }
        if (hook) {
            hook();
        }
    }
    const SeenEntry* Find(const std::wstring& name) const {
        for (const SeenEntry& e : entries) {
            if (e.name == name) {
                return &e;
            }
        }
        return nullptr;
    }
    std::vector<SeenEntry> entries;
    int ends = 0;
    unsigned long endResult = 0;
    std::function<void()> hook;
};

// Opens folders and enumerators and keeps what they answer; all of these answer inside the call.
class DirRecorder : public IFsBrowserListener, public IFsDirListener {
public:
    void OnOpenDir(unsigned long result, IFsDir* d) override {
        dirResult = result;
        dir.reset(d);
    }
    void ShowPopup(const Osp::Base::String&, bool) override {}
    void HidePopup() override {}
    void OnPasswordRequestA(IFsBrowser*) override {}
    void OnSelectShareA(const std::set<std::wstring>&) override {}
    void OnOpenEnumerator(unsigned long result, IFsDirEnum* e) override {
        enumResult = result;
        enumerator.reset(e);
    }
    void OnOpenSubDir(unsigned long result, IFsDir* d) override {
        subDirResult = result;
        subDir.reset(d);
    }

    unsigned long dirResult = 1;
    std::unique_ptr<IFsDir> dir;
    unsigned long enumResult = 1;
    std::unique_ptr<IFsDirEnum> enumerator;
    unsigned long subDirResult = 1;
    std::unique_ptr<IFsDir> subDir;
};

struct FileAnswer {
    enum TWhat { CREATE, READ, WRITE, SEEK } what;
    unsigned long result;
    unsigned int count;
    IFsFile* file;
};

class FileRecorder : public IFsFileListener {
public:
    void OnCreateN(unsigned long result, IFsFile* f) override {
        file.reset(f);
        Add({FileAnswer::CREATE, result, 0, f});
    }
    void OnRead(IFsFile* f, unsigned long result, unsigned int count) override {
        Add({FileAnswer::READ, result, count, f});
    }
    void OnWrite(IFsFile* f, unsigned long result, unsigned int count) override {
        Add({FileAnswer::WRITE, result, count, f});
    }
    void OnSeek(IFsFile* f, unsigned long result) override { Add({FileAnswer::SEEK, result, 0, f}); }

    std::unique_ptr<IFsFile> file;
    std::vector<FileAnswer> answers;
    std::function<void()> hook;

private:
    void Add(const FileAnswer& answer) {
        answers.push_back(answer);
        if (hook) {
            hook();
        }
    }
};

// Lists the browser's root, or the folder reached from it through the names of subPath, through the
// browser's interfaces; all of it answers inside the calls. A folder that does not open gives no entries
// and its result as the end result.
inline EnumRecorder ListFolder(IFsBrowser& browser, const std::vector<std::wstring>& subPath = {},
                               bool details = false) {
    DirRecorder opened;
    browser.SetListener(&opened);
    browser.OpenRootDirA();
    browser.RemoveListener(&opened);
    std::unique_ptr<IFsDir> dir = std::move(opened.dir);
    EnumRecorder listed;
    for (const std::wstring& name : subPath) {
        dir->SetListener(&opened);
        dir->OpenSubDirA(name);
        dir = std::move(opened.subDir);
        if (dir == nullptr) {
            listed.endResult = opened.subDirResult;
            return listed;
        }
    }
    dir->SetListener(&opened);
    dir->OpenEnumeratorA();
    if (opened.enumerator == nullptr) {
        listed.endResult = opened.enumResult;
        return listed;
    }
    opened.enumerator->SetListener(&listed);
    opened.enumerator->StartEnumA(details);
    return listed;
}
