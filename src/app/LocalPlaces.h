#pragma once
// The local places on the host as the user set them up: the folder behind "Phone Memory" and the medium
// behind "Memory Card" (both kept in the settings file), and whether the card is there now. While the
// program runs it follows the mount table, and tells the application when the card came or went.
//
// User-interface thread only. The application owns it for the whole run; the platform decides where the
// places lie and keeps the choices for the paths it maps.

#include <string>
#include <vector>

#include "host/Storage.h"

class LocalPlaces : public host::IMediaListener {
public:
    LocalPlaces() = default;
    ~LocalPlaces() override;
    LocalPlaces(const LocalPlaces&) = delete;
    LocalPlaces& operator=(const LocalPlaces&) = delete;

    // Applies the choices kept in the settings file and looks for the card.
    void Load();
    // Follows the mount table from StartWatching to StopWatching (or destruction).
    void StartWatching();
    void StopWatching();

    bool IsCardPresent() const { return cardPresent_; }
    // True on the user's real storage, where the places can be chosen; false below a data root.
    bool CanChoose() const;

    std::wstring GetPhoneMemoryFolder() const;
    // Makes the folder the phone memory and keeps it in the settings file; RES_OK, or the result that
    // says why it cannot be (the choice then stays as it was).
    unsigned long SetPhoneMemoryFolder(const std::wstring& folder);
    // The medium chosen as the card: host::kFirstMedium, host::kNoCard or a medium's mount point.
    std::wstring GetCardChoice() const;
    void SetCardChoice(const std::wstring& choice);
    std::vector<host::MediumInfo> GetMedia() const;

    // The mount table changed: looks for the card again.
    void OnMediaChanged() override;

private:
    void WriteChoice(const wchar_t* key, const std::wstring& value);
    // Looks for the card and tells the application when its presence changed.
    void Recheck();

    bool cardPresent_ = false;
    bool watching_ = false;
};
