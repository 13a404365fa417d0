#pragma once
// The details of several checked entries of the folder list: how many files and folders, whether they
// share a type, where they are and their total size, with the contents of the checked folders counted
// live, one folder after the other. User-interface thread only.

#include <memory>
#include <string>
#include <vector>

#include "ui/CountingPopup.h"

class SelDetailsPopup : public CountingPopup {
public:
    static constexpr int kActionClose = 2532;

    SelDetailsPopup();
    ~SelDetailsPopup() override;

    // The listener (not owned) hears kActionClose. False when the layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // A checked folder to count, by its full path; before ShowPopup.
    void AddFolder(const std::wstring& path);
    // typeText is the common type's description, or empty when the entries differ.
    void ShowPopup(unsigned int files, unsigned int folders, const std::wstring& typeText,
                   const std::wstring& location, unsigned long long size, IFsBrowser* browser);

    void OnItemFound(const IFsDirEntry* entry) override;
    void OnFsWalkFinished(unsigned long result) override;

private:
    void OnClosed() override;
    void UpdateStats(bool force);

    Osp::Ui::Controls::Label* name_ = nullptr;
    Osp::Ui::Controls::Label* type_ = nullptr;
    Osp::Ui::Controls::Label* location_ = nullptr;
    Osp::Ui::Controls::Label* size_ = nullptr;
    std::unique_ptr<Osp::Graphics::Bitmap> bitmap_;
    IFsBrowser* browser_ = nullptr;
    std::vector<std::wstring> folderPaths_;
    size_t nextFolder_ = 0;
    bool sameType_ = false;
};
