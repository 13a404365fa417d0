#pragma once
// Walks a folder tree of any storage through the asynchronous browser interfaces and tells a listener
// what it finds; it changes nothing itself. A folder is listed completely before its sub-folders are
// entered, depth first in the order the storage listed them; a folder is left after all of its
// sub-folders. Links are reported but never entered, so a walk cannot leave its tree or go round a loop;
// a tree deeper or with longer paths than the limits below ends the walk with RES_TREE_TOO_DEEP (a
// server may show a loop of links as real folders).
//
// Contract:
// - User-interface thread only; at most one browser request is outstanding. Answers given inside the
//   browser's calls are handled in a loop, so the stack does not grow with the tree.
// - The browser and the listener are not owned and must outlive the walker, or the walker is deleted
//   first. Deleting the walker cancels it silently: no callback comes after that, even when it is deleted
//   from inside one of its listener's calls.
// - StopA ends a running walk at the end of the current folder's listing with RES_CANCELLED. A held walk
//   (a listener answered false) does not end by StopA; its owner deletes it or calls ContinueA.

#include <memory>
#include <string>
#include <vector>

#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/IFsOpListener.h"

class IFsBrowser;
class IFsDir;
class IFsDirEnum;
class IWalkerListener;

class FileWalker : public IFsOpListener, public IFsDirListener, public IFsDirEnumListener {
public:
    // A walk goes at most this many folders deep below its root, and no path may be longer.
    static constexpr size_t kMaxDepth = 256;
    static constexpr size_t kMaxPathLength = 8192;

    // root gets the browser's separator appended when it lacks one; nothing starts yet.
    FileWalker(IFsBrowser* browser, IWalkerListener* listener, const std::wstring& root);
    ~FileWalker();

    FileWalker(const FileWalker&) = delete;
    FileWalker& operator=(const FileWalker&) = delete;

    // Enters the root; details is handed to every enumeration (whether entries carry times). Once only.
    void StartA(bool details);
    void StopA();
    // Resumes a walk held by a listener's false answer; does nothing otherwise.
    void ContinueA();

    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;
    void OnOpenEnumerator(unsigned long result, IFsDirEnum* enumerator) override;
    void OnOpenSubDir(unsigned long result, IFsDir* dir) override;
    void OnGetEntry(unsigned long result, const IFsDirEntry* entry) override;

private:
    struct SDir {
        std::wstring path;                  // ends in the separator
        std::vector<std::wstring> subdirs;  // names, in listing order
        size_t next = 0;                    // the next of subdirs to enter
    };
    // What the loop does next; answers that come inside a browser call only set it.
    enum TStep {
        STEP_NONE,
        STEP_ENTER,
        STEP_OPEN_DIR,
        STEP_OPEN_ENUM,
        STEP_START_ENUM,
        STEP_LEAVE,
        STEP_FINISH,
    };
    enum TPending { PENDING_NONE, PENDING_AFTER_EXIT, PENDING_BEFORE_OPEN };

    // Does the step now, or after the step under way when called from inside one.
    void Run(TStep step);
    void Do(TStep step);
    // Makes one browser request; one that cannot start ends the walk.
    template <typename Call>
    void Ask(Call call);
    void Enter();
    void Leave();
    void FinishWith(unsigned long result);
    void Finish();
    void CloseFolder();

    IFsBrowser* browser_;
    IWalkerListener* listener_;
    std::wstring root_;
    wchar_t slash_;
    std::vector<SDir> dirs_;
    std::unique_ptr<IFsDir> dir_;
    std::unique_ptr<IFsDirEnum> enumerator_;
    bool stopped_ = false;
    bool started_ = false;
    bool details_ = false;
    TPending pending_ = PENDING_NONE;
    TStep next_ = STEP_NONE;
    bool running_ = false;   // the loop of Run is on the stack
    bool awaiting_ = false;  // a browser request is out and unanswered
    bool finished_ = false;
    std::wstring enterPath_;  // the folder STEP_ENTER enters
    unsigned long result_ = 0;
    // False once the walker is destroyed; a copy held across a listener call tells whether it still is.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
