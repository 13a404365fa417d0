#pragma once
// Takes the no-loss test's steps through the real folder list, the way a user does: opens the place's
// root, taps down to the folder, checks the items, and chooses the menu entries, answers the questions
// and taps Cancel. Every wait sleeps and has the step's deadline. Runs on the user-interface thread of a
// running application; the remote folders named must be the application's.

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "../folderform/FolderListUi.h"
#include "SoakStep.h"
#include "testsupport/UiDriver.h"

namespace soak {

// How a step went, as the screen showed it.
struct Outcome {
    bool reached = false;             // the folder and the items were there, and the action was chosen
    bool hung = false;                // the step did not end before its deadline
    bool cancelled = false;           // Cancel was tapped during the paste
    bool faulted = false;             // the paste's fault was injected while it ran
    int questions = 0;                // overwrite questions answered
    std::vector<std::wstring> boxes;  // "title|text" of the message boxes shown

    // The paste ended as a success: no error shown, nothing cancelled.
    bool PasteSucceeded() const;
};

class Player : protected FolderListUi {
public:
    // remoteIds: the application's remote folder of each SMB place. deadlineMs bounds every wait.
    Player(testsupport::UiDriver& ui, std::map<Place, unsigned int> remoteIds, int deadlineMs)
        : ui_(ui), remoteIds_(std::move(remoteIds)), deadlineMs_(deadlineMs) {}

    // atFault runs once, cancelMs after a paste with a fault started, while the job still runs.
    Outcome Take(const Step& step, const std::function<void()>& atFault);

private:
    // Opens the place's root and waits for its listing; false when it was not listed.
    bool OpenRoot(Place place, Outcome* outcome);
    // Opens the place's root and taps down to the folder; false when a name is not listed.
    bool Reach(Place place, const std::string& folder, Outcome* outcome);
    bool CheckItems(const std::vector<std::string>& items);
    // Chooses the entries of the options menu in turn; false (with the menu closed) when one is missing.
    bool Choose(std::initializer_list<const wchar_t*> path);
    bool ItemMenuEntry(const std::string& item, const wchar_t* entry);
    void CloseMenusAndKeypad();
    // Waits until the form is idle and the condition holds; false (and hung) after the deadline.
    bool WaitIdle(Outcome* outcome, const std::function<bool()>& also = nullptr);
    void RunPaste(const Step& step, const std::function<void()>& atFault, Outcome* outcome);
    // Opens the trash screen and restores, or deletes for good, the step's item.
    void TakeInTrash(const Step& step, Outcome* outcome);
    bool Expired() const { return std::chrono::steady_clock::now() > deadline_; }

    testsupport::UiDriver& ui_;
    std::map<Place, unsigned int> remoteIds_;
    int deadlineMs_;
    std::chrono::steady_clock::time_point deadline_;
};

// A UTF-8 name as the system's UTF-16 text, and back.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

}  // namespace soak
