#pragma once
// Deletes a selection of files and folders of one folder, showing its progress: the selected folders are
// first walked to count everything in them, then emptied from the deepest level up and removed, then the
// selected files are deleted. Links found inside are deleted as links; what they point to is never
// touched. Cancel stops at the next answer of the storage. When it ends, the popup hides and tells its
// listener with kActionFinished from a posted event, so that the listener may delete it at once.
// User-interface thread only.

#include <memory>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "Osp/Ui/IActionEventListener.h"
#include "app/IUserEventHandler.h"
#include "fs/IFsOpListener.h"
#include "transfer/IWalkerListener.h"

class FileWalker;
class IFsBrowser;

class DeleteDetailsPopup : public Osp::Ui::Controls::Popup,
                           public Osp::Ui::IActionEventListener,
                           public IWalkerListener,
                           public IFsOpListener,
                           public IUserEventHandler {
public:
    // The cancel button's action, and the one the listener hears at the end.
    static constexpr int kActionFinished = 2549;

    DeleteDetailsPopup();
    ~DeleteDetailsPopup() override;

    // The listener and browser are not owned; dir is the folder of the selection. False when the layout
    // lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener, IFsBrowser* browser, const std::wstring& dir);
    void AddFile(const std::wstring& name);
    void AddFolder(const std::wstring& name);
    // Shows the popup and starts deleting.
    void ShowPopup();
    // The first failure (RES_CANCELLED after Cancel, 0 when everything went), whether it came from a
    // folder, and that folder's or file's path.
    unsigned long GetResult(bool* wasFolder, std::wstring* path) const;
    unsigned int GetDeletedItems() const { return deletedItems_; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    bool OnEnterFolder(const std::wstring& path) override;
    void OnItemFound(const IFsDirEntry* entry) override;
    bool OnExitFolder(const std::wstring& path) override;
    void OnFsWalkFinished(unsigned long result) override;
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;

private:
    // Request identifiers of the deletions.
    enum TRequest { REQ_INNER_FILE = 0, REQ_FOLDER = 1, REQ_TOP_FILE = 2 };
    struct SDir {
        std::wstring path;  // ends in the separator
        size_t firstFile;   // its first file in innerFiles_
    };

    Osp::Ui::Controls::Label* FindLabel(const wchar_t* name) const;
    void WalkFolder();
    void StartCleaning();
    void DeleteNextInnerFile();
    void DeleteNextTopFile();
    void Fail(unsigned long result);
    void End();
    void UpdateUi(const std::wstring& path, bool force);

    Osp::Ui::IActionEventListener* listener_ = nullptr;
    IFsBrowser* browser_ = nullptr;
    wchar_t slash_ = L'/';
    Osp::Ui::Controls::Label* name_ = nullptr;
    Osp::Ui::Controls::Label* note_ = nullptr;
    Osp::Ui::Controls::Label* percent_ = nullptr;
    Osp::Ui::Controls::Progress* bar_ = nullptr;
    std::vector<std::wstring> files_;    // names of the selected files
    std::vector<std::wstring> folders_;  // paths of the selected folders, with separator
    std::wstring dir_;                   // with separator
    std::vector<SDir> dirs_;
    std::vector<std::wstring> innerFiles_;
    std::unique_ptr<FileWalker> walker_;
    unsigned int totalItems_ = 0;
    unsigned int deletedItems_ = 0;
    size_t folderIndex_ = 0;
    size_t fileIndex_ = 0;
    unsigned int lastUiTicks_ = 0;
    int lastPercent_ = -1;
    bool cancelled_ = false;
    bool scanning_ = true;
    bool ended_ = false;
    bool lastWasFolder_ = true;
    unsigned long result_ = 0;
    std::wstring lastFile_;
    std::wstring curDir_;
};
