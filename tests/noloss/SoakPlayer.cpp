#include "SoakPlayer.h"

#include <filesystem>

#include "../platform/LoopUntil.h"
#include "host/ui/MessageBoxHooks.h"
#include "net/NetBrowser.h"
#include "net/RemoteFolder.h"

namespace soak {

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_NO;
using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;

constexpr const wchar_t* kAnswerButtons[] = {L"IDC_YES", L"IDC_NO", L"IDC_YES_TO_ALL", L"IDC_NO_TO_ALL"};

bool IsQuestionShown(const testsupport::UiDriver& ui) {
    return ui.Find(L"IDC_YES_TO_ALL") != nullptr;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).u16string();
    return std::wstring(units.begin(), units.end());
}

std::string Utf8(const std::wstring& wide) {
    const std::u8string text = std::filesystem::path(std::u16string(wide.begin(), wide.end())).u8string();
    return std::string(text.begin(), text.end());
}

bool Outcome::PasteSucceeded() const {
    if (!reached || hung || cancelled) {
        return false;
    }
    for (const std::wstring& box : boxes) {
        if (box.rfind(L"File transfer", 0) == 0) {
            return false;
        }
    }
    return true;
}

Outcome Player::Take(const Step& step, const std::function<void()>& atFault) {
    Outcome outcome;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs_);
    const size_t boxesBefore = ui_.MessageBoxes().size();
    // Every box gets an answer: a delete's or a rename's question yes, then OK to the notes that follow.
    host::PlannedMessageBoxAnswers().clear();
    if (step.kind == Step::DELETE || step.kind == Step::RENAME || step.kind == Step::ERASE) {
        ui_.AnswerNextMessageBox(MSGBOX_RESULT_YES);
    }
    // An item that cannot go to the trash is offered for the permanent delete.
    if (step.kind == Step::DELETE) {
        ui_.AnswerNextMessageBox(MSGBOX_RESULT_YES);
    }
    if (step.kind == Step::RESTORE) {
        const bool yes = !step.answers.empty() && step.answers[0] == Answer::kYes;
        ui_.AnswerNextMessageBox(yes ? MSGBOX_RESULT_YES : MSGBOX_RESULT_NO);
    }
    for (int i = 0; i < 8; ++i) {
        ui_.AnswerNextMessageBox(MSGBOX_RESULT_OK);
    }
    if (step.kind == Step::RESTORE || step.kind == Step::ERASE) {
        // The trash screen works at once: there is nothing to wait for after it.
        TakeInTrash(step, &outcome);
        CloseMenusAndKeypad();
        const auto boxes = ui_.MessageBoxes();
        for (size_t i = boxesBefore; i < boxes.size(); ++i) {
            outcome.boxes.push_back(boxes[i].title + L"|" + boxes[i].text);
        }
        return outcome;
    }
    if (Reach(step.place, step.folder, &outcome)) {
        switch (step.kind) {
            case Step::COPY:
            case Step::CUT:
                outcome.reached = CheckItems(step.items) &&
                                  Choose({L"Copy / Move", step.kind == Step::COPY ? L"Copy" : L"Cut"});
                break;
            case Step::PASTE:
                RunPaste(step, atFault, &outcome);
                break;
            case Step::RENAME:
                outcome.reached = step.items.size() == 1 && ItemMenuEntry(step.items[0], L"Rename") &&
                                  ui_.TypeText(Wide(step.name)) && ui_.ConfirmKeypad();
                break;
            case Step::NEW_FOLDER: {
                outcome.reached =
                    Choose({L"New Folder"}) && ui_.TypeText(Wide(step.name)) && ui_.ConfirmKeypad();
                // The folder is made in the background; the list shows it once it is there.
                const size_t shown = ui_.MessageBoxes().size();
                if (outcome.reached) {
                    LoopUntil(
                        [&] {
                            const auto names = Names(ui_);
                            return std::find(names.begin(), names.end(), Wide(step.name)) != names.end() ||
                                   ui_.MessageBoxes().size() > shown || Expired();
                        },
                        deadlineMs_);
                }
                break;
            }
            case Step::DELETE:
                // One item through its own menu, several through the menu of a checked one.
                outcome.reached = step.items.size() == 1 ? ItemMenuEntry(step.items[0], L"Delete")
                                                         : !step.items.empty() && CheckItems(step.items) &&
                                                               ItemMenuEntry(step.items[0], L"Delete");
                break;
            case Step::FAULT:
            case Step::RESTORE:
            case Step::ERASE:
                break;
        }
    }
    CloseMenusAndKeypad();
    WaitIdle(&outcome);
    const auto boxes = ui_.MessageBoxes();
    for (size_t i = boxesBefore; i < boxes.size(); ++i) {
        outcome.boxes.push_back(boxes[i].title + L"|" + boxes[i].text);
    }
    return outcome;
}

void Player::TakeInTrash(const Step& step, Outcome* outcome) {
    Corvane::GetMyInstance()->ShowTrashForm();
    ui_.Pump(0);
    auto* list = ui_.Find<Osp::Ui::Controls::List>(L"IDC_TRASH_LIST");
    if (list == nullptr || step.items.size() != 1) {
        return;
    }
    for (int i = 0; i < list->GetItemCount(); ++i) {
        if (list->GetItemText(i).Units() != Wide(step.items[0])) {
            continue;
        }
        ui_.TapListItem(*list, i);
        ui_.Pump(0);
        if (step.kind == Step::ERASE) {
            outcome->reached = ui_.ChooseMenuItem(L"Delete permanently");
        } else if (ui_.ChooseMenuItem(L"Restore")) {
            outcome->reached = true;
        } else if (ui_.ChooseMenuItem(L"Restore to...")) {
            // An item whose info file names no place goes to the first place offered.
            ui_.Pump(0);
            const std::vector<std::wstring> places = ui_.MenuItems();
            outcome->reached = !places.empty() && ui_.ChooseMenuItem(places[0]);
        }
        ui_.Pump(0);
        return;
    }
}

bool Player::OpenRoot(Place place, Outcome* outcome) {
    Corvane& app = *Corvane::GetMyInstance();
    switch (place) {
        case Place::kHome:
            app.OnOpenLocalFolder(LocalBrowser::ROOT_HOME);
            break;
        case Place::kMedia:
            app.OnOpenLocalFolder(LocalBrowser::ROOT_MEDIA);
            break;
        case Place::kCard:
            app.OnOpenLocalFolder(LocalBrowser::ROOT_CARD);
            break;
        case Place::kSmb1:
        case Place::kSmb3:
            RemoteFolder* remote = app.GetFolderById(static_cast<int>(remoteIds_.at(place)));
            app.SwitchToForm(app.CreateFolderForm(remote->CreateBrowser()));
            break;
    }
    // A root that could not be listed leaves the form without a title.
    return WaitIdle(outcome) && !Title(ui_).empty();
}

bool Player::Reach(Place place, const std::string& folder, Outcome* outcome) {
    // The first use of a share after its server went away may fail; the user tries once more.
    if (!OpenRoot(place, outcome) && (outcome->hung || !OpenRoot(place, outcome))) {
        return false;
    }
    std::string path = "soak";
    if (!folder.empty()) {
        path += "/" + folder;
    }
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::wstring name = Wide(path.substr(start, end - start));
        start = end + 1;
        const auto names = Names(ui_);
        const auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end()) {
            return false;
        }
        const std::wstring title = Title(ui_);
        const size_t shown = ui_.MessageBoxes().size();
        ui_.TapListItem(List(ui_), static_cast<int>(it - names.begin()));
        if (!WaitIdle(outcome, [&] { return Title(ui_) != title || ui_.MessageBoxes().size() > shown; }) ||
            Title(ui_) == title) {
            return false;
        }
    }
    return true;
}

bool Player::CheckItems(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        const auto names = Names(ui_);
        const auto it = std::find(names.begin(), names.end(), Wide(item));
        if (it == names.end()) {
            return false;
        }
        ui_.ToggleListItem(List(ui_), static_cast<int>(it - names.begin()));
    }
    std::vector<int> checked;
    return Form().GetSelectedItems(&checked) == static_cast<int>(items.size());
}

bool Player::Choose(std::initializer_list<const wchar_t*> path) {
    ui_.PressOptionKey();
    ui_.Pump(0);
    for (const wchar_t* text : path) {
        if (!ui_.ChooseMenuItem(text)) {
            CloseMenusAndKeypad();
            return false;
        }
        ui_.Pump(0);
    }
    return true;
}

bool Player::ItemMenuEntry(const std::string& item, const wchar_t* entry) {
    const auto names = Names(ui_);
    const auto it = std::find(names.begin(), names.end(), Wide(item));
    if (it == names.end()) {
        return false;
    }
    ui_.LongPressListItem(List(ui_), static_cast<int>(it - names.begin()));
    ui_.Pump(0);
    if (!ui_.ChooseMenuItem(entry)) {
        CloseMenusAndKeypad();
        return false;
    }
    ui_.Pump(0);
    return true;
}

void Player::CloseMenusAndKeypad() {
    while (ui_.IsMenuOpen()) {
        ui_.PressKey(testsupport::PhoneKey::kEscape);
        ui_.Pump(0);
    }
    if (ui_.IsKeypadOpen()) {
        ui_.CancelKeypad();
        ui_.Pump(0);
    }
}

bool Player::WaitIdle(Outcome* outcome, const std::function<bool()>& also) {
    const bool done = LoopUntil(
        [&] {
            return Expired() || (Corvane::GetMyInstance()->GetFolderForm() != nullptr && !Form().IsBusy() &&
                                 (!also || also()));
        },
        deadlineMs_);
    if (!done || Expired()) {
        outcome->hung = true;
        ui_.SaveScreenshot((std::filesystem::temp_directory_path() / "corvane-soak-hang.png").string());
        return false;
    }
    return true;
}

void Player::RunPaste(const Step& step, const std::function<void()>& atFault, Outcome* outcome) {
    if (!Choose({L"Copy / Move", L"Paste"})) {
        return;
    }
    outcome->reached = true;
    const auto start = std::chrono::steady_clock::now();
    auto elapsedMs = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    size_t answered = 0;
    bool injected = step.fault == Fault::kNone;
    while (Form().IsBusy() || IsQuestionShown(ui_)) {
        if (Expired()) {
            outcome->hung = true;
            return;
        }
        if (IsQuestionShown(ui_)) {
            const Answer answer = answered < step.answers.size() ? step.answers[answered] : Answer::kNo;
            ++answered;
            ++outcome->questions;
            ui_.Tap(kAnswerButtons[static_cast<size_t>(answer)]);
            ui_.Pump(0);
            continue;
        }
        if (step.cancelMs >= 0 && elapsedMs() >= step.cancelMs) {
            if (!injected) {
                injected = true;
                outcome->faulted = true;
                atFault();
            } else if (step.fault == Fault::kNone && !outcome->cancelled &&
                       ui_.Find(L"IDC_CANCEL") != nullptr) {
                outcome->cancelled = true;
                ui_.Tap(L"IDC_CANCEL");
                ui_.Pump(0);
            }
        }
        LoopUntil([&] { return IsQuestionShown(ui_) || !Form().IsBusy(); }, 20);
    }
}

}  // namespace soak
