#include "app/LocalPlaces.h"

#include "Osp/Io/Registry.h"
#include "app/Corvane.h"
#include "app/RegValue.h"
#include "app/Results.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kSettingsFile[] = L"/Home/RF.reg";
constexpr wchar_t kGeneral[] = L"General";
constexpr wchar_t kPhoneMemory[] = L"PhoneMemory";
constexpr wchar_t kMemoryCard[] = L"MemoryCard";

}  // namespace

LocalPlaces::~LocalPlaces() {
    StopWatching();
}

void LocalPlaces::Load() {
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), false) == RES_OK) {
        String folder;
        // A folder that is gone since leaves the home folder in its place for this run; the choice stays
        // kept for when it is back.
        if (reg.GetValue(String(kGeneral), String(kPhoneMemory), folder) == RES_OK) {
            host::SetPhoneMemoryFolder(folder.Units());
        }
        String card;
        if (reg.GetValue(String(kGeneral), String(kMemoryCard), card) == RES_OK) {
            host::SetCardChoice(card.Units());
        }
    }
    cardPresent_ = host::IsCardPresent();
}

void LocalPlaces::StartWatching() {
    host::WatchMedia(this);
    watching_ = true;
    // A medium that came between the first look and the start of the watch is not missed.
    Recheck();
}

void LocalPlaces::StopWatching() {
    if (watching_) {
        host::WatchMedia(nullptr);
        watching_ = false;
    }
}

bool LocalPlaces::CanChoose() const {
    return host::GetStorageMode() == host::StorageMode::kUserStorage;
}

std::wstring LocalPlaces::GetPhoneMemoryFolder() const {
    return host::GetPhoneMemoryFolder();
}

unsigned long LocalPlaces::SetPhoneMemoryFolder(const std::wstring& folder) {
    const unsigned long result = host::SetPhoneMemoryFolder(folder);
    if (result == RES_OK) {
        WriteChoice(kPhoneMemory, folder);
        Corvane::GetMyInstance()->OnPlaceMoved(LocalBrowser::ROOT_MEDIA);
    }
    return result;
}

std::wstring LocalPlaces::GetCardChoice() const {
    return host::GetCardChoice();
}

void LocalPlaces::SetCardChoice(const std::wstring& choice) {
    if (choice == host::GetCardChoice()) {
        return;
    }
    host::SetCardChoice(choice);
    WriteChoice(kMemoryCard, choice);
    Corvane::GetMyInstance()->OnPlaceMoved(LocalBrowser::ROOT_CARD);
    Recheck();
}

std::vector<host::MediumInfo> LocalPlaces::GetMedia() const {
    return host::GetMedia();
}

void LocalPlaces::OnMediaChanged() {
    Recheck();
}

void LocalPlaces::WriteChoice(const wchar_t* key, const std::wstring& value) {
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), true) != RES_OK) {
        return;
    }
    reg.AddSection(String(kGeneral));
    SetRegValue(reg, String(kGeneral), String(key), String(value));
    reg.Flush();
}

void LocalPlaces::Recheck() {
    const bool present = host::IsCardPresent();
    if (present == cardPresent_) {
        return;
    }
    // Set before the application is told, which may show a message and so take further changes on the
    // way; each of those sees the state it changes.
    cardPresent_ = present;
    Corvane::GetMyInstance()->OnCardPresenceChanged(present);
}
