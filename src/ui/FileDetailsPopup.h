#pragma once
// The details of one file or folder of the folder list: name, type, location, size, date and attributes;
// for a folder the size is counted live from everything below it. User-interface thread only.

#include <string>

#include "Osp/Base/DateTime.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "ui/CountingPopup.h"

class FileDetailsPopup : public CountingPopup {
public:
    static constexpr int kActionClose = 2515;

    // The listener (not owned) hears kActionClose. False when the layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // type is the type's description ("Folder" for a folder, which is then walked from walkPath on
    // browser); the icon is not owned.
    void ShowPopup(const std::wstring& name, const std::wstring& type, const std::wstring& location,
                   unsigned long long size, const Osp::Base::DateTime& modified, bool readOnly, bool hidden,
                   const Osp::Graphics::Bitmap* icon, const std::wstring& walkPath, IFsBrowser* browser);

    void OnItemFound(const IFsDirEntry* entry) override;
    void OnFsWalkFinished(unsigned long result) override;

private:
    void UpdateStats(bool force);

    Osp::Ui::Controls::Label* name_ = nullptr;
    Osp::Ui::Controls::Label* type_ = nullptr;
    Osp::Ui::Controls::Label* location_ = nullptr;
    Osp::Ui::Controls::Label* size_ = nullptr;
    Osp::Ui::Controls::Label* date_ = nullptr;
    Osp::Ui::Controls::CheckButton* readOnly_ = nullptr;
    Osp::Ui::Controls::CheckButton* hidden_ = nullptr;
};
