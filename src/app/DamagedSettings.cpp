#include "app/DamagedSettings.h"

#include "Osp/Io/File.h"
#include "app/ModalMessage.h"
#include "app/PathUtils.h"
#include "app/Results.h"

namespace {

// Kept copies of earlier damaged files take the lower numbers; past this many, the file stays put.
constexpr int kMaxKeptCopies = 100;

}  // namespace

void DamagedSettings::KeepAside(const std::wstring& path) {
    std::wstring dir;
    std::wstring name;
    if (!ParseFileName(path, &dir, &name, 0)) {
        return;
    }
    std::wstring stem;
    std::wstring ext;
    SplitFileName(name, &stem, &ext);
    for (int n = 1; n <= kMaxKeptCopies; ++n) {
        const std::wstring kept = stem + L"-damaged-" + std::to_wstring(n) + L"." + ext;
        const unsigned long r = Osp::Io::File::Move(Osp::Base::String(path), Osp::Base::String(dir + kept));
        if (r == RES_OK) {
            keptName_ = kept;
            return;
        }
        // Only a name already taken is worth another try; the move never replaces a file.
        if (r != RES_ALREADY_EXISTS) {
            return;
        }
    }
}

void DamagedSettings::OnUserEvent(int) {
    const std::wstring start =
        L"The settings file could not be read, so Corvane starts with empty settings. ";
    if (!keptName_.empty()) {
        ShowModalMessage(L"Unable to read the settings",
                         start + L"The file is kept as '" + keptName_ + L"' in My Private Files.",
                         Osp::Ui::Controls::MSGBOX_STYLE_OK);
    } else {
        ShowModalMessage(
            L"Unable to read the settings",
            start + L"The file could not be kept aside, so changed settings are not saved over it.",
            Osp::Ui::Controls::MSGBOX_STYLE_OK);
    }
}
