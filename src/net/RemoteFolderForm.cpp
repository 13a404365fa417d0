#include "net/RemoteFolderForm.h"

#include <iterator>

#include "Osp/Net/Ip4Address.h"
#include "app/Corvane.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "net/RemoteFolder.h"
#include "net/nbns/NetBiosName.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::EditField;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;

// The protocols' names, in TSmbProtocol order.
constexpr const wchar_t* kProtocolNames[] = {L"Automatic", L"SMB 2/3 only", L"SMB1 only"};
// The encryption choices' names, in TEncryption order.
constexpr const wchar_t* kEncryptionNames[] = {L"When the server offers it",
                                               L"Only when the server requires it"};

constexpr const wchar_t* kFieldIds[] = {L"IDC_NBT_NAME",     L"IDC_SHARE_NAME", L"IDC_IP_ADDRESS",
                                        L"IDC_WINS_ADDRESS", L"IDC_USER_NAME",  L"IDC_PASSWORD"};
constexpr unsigned long kAddressInput =
    Osp::Ui::Controls::EDIT_INPUTMODE_NUMERIC | Osp::Ui::Controls::EDIT_INPUTMODE_SYMBOL;
constexpr unsigned long kInvalidAddressMs = 5000;
constexpr unsigned long kNoServerMs = 10000;
constexpr wchar_t kHelpPage[] = L"remote_folder_form.html";

}  // namespace

bool ValidateIpAddress(const String& text) {
    const std::wstring& units = text.Units();
    Osp::Net::Ip4Address address;
    if (Osp::Net::Ip4Address::Parse(text, address) != Osp::Base::E_SUCCESS || units.empty() ||
        units.front() == L'.' || units.back() == L'.') {
        return false;
    }
    size_t dots = 0;
    for (wchar_t c : units) {
        dots += c == L'.' ? 1 : 0;
    }
    return dots == 3;
}

RemoteFolderForm::RemoteFolderForm() = default;

RemoteFolderForm::~RemoteFolderForm() = default;

bool RemoteFolderForm::Initialize(RemoteFolder* folder) {
    if (!OkFormBase::Initialize(L"IDF_REMOTE_FOLDER", L"IDN_SCROLLPANEL")) {
        return false;
    }
    for (int i = 0; i < FIELD_COUNT; ++i) {
        fields_[i] = GetEditField(kFieldIds[i]);
        if (fields_[i] == nullptr) {
            return false;
        }
    }
    for (TField address : {IP_ADDRESS, WINS_SERVER}) {
        fields_[address]->SetInputModeCategory(~kAddressInput, false);
        fields_[address]->SetInputModeCategory(kAddressInput, true);
    }
    fields_[PASSWORD]->SetLowerCaseModeEnabled(true);
    protocolButton_ =
        MakeChoice(L"IDC_PROTOCOL", ACTION_PROTOCOL, kProtocolNames,
                   static_cast<int>(std::size(kProtocolNames)), ACTION_PROTOCOL_CHOSEN, &protocolMenu_);
    encryptionButton_ =
        MakeChoice(L"IDC_ENCRYPTION", ACTION_ENCRYPTION, kEncryptionNames,
                   static_cast<int>(std::size(kEncryptionNames)), ACTION_ENCRYPTION_CHOSEN, &encryptionMenu_);
    auto* search = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_SEARCH"), true));
    if (protocolButton_ == nullptr || encryptionButton_ == nullptr || search == nullptr) {
        return false;
    }
    search->SetActionId(ACTION_SEARCH);
    search->AddActionEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_SAVE);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_CANCEL);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    SetOptionkeyActionId(ACTION_OPTIONS);
    AddOptionkeyActionListener(*this);
    optionMenu_ = std::make_unique<Osp::Ui::Controls::OptionMenu>();
    optionMenu_->Construct();
    optionMenu_->AddItem(String(L"Help"), ACTION_HELP);
    optionMenu_->AddActionEventListener(*this);
    if (folder == nullptr) {
        newFolder_ = std::make_unique<RemoteFolder>();
    } else {
        folder_ = folder;
        SetTitleText(String(L"Edit network folder"), Osp::Ui::Controls::ALIGNMENT_CENTER);
        Fill(*folder);
    }
    return true;
}

Osp::Ui::Controls::Button* RemoteFolderForm::MakeChoice(
    const wchar_t* id, int action, const wchar_t* const* names, int count, int firstChoice,
    std::unique_ptr<Osp::Ui::Controls::ContextMenu>* menu) {
    auto* button = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(id), true));
    if (button == nullptr) {
        return nullptr;
    }
    button->SetActionId(action);
    button->AddActionEventListener(*this);
    *menu = std::make_unique<Osp::Ui::Controls::ContextMenu>();
    (*menu)->Construct(Osp::Graphics::Point(0, 0));
    for (int choice = 0; choice < count; ++choice) {
        (*menu)->AddItem(String(names[choice]), firstChoice + choice);
    }
    (*menu)->AddActionEventListener(*this);
    return button;
}

void RemoteFolderForm::Fill(const RemoteFolder& folder) {
    // The stored account is shown: one typed in for this run only is not the folder's setting.
    const String* texts[] = {&folder.GetNodeName(),   &folder.GetShareName(),     &folder.GetIpAddress(),
                             &folder.GetWinsServer(), &folder.GetSavedUserName(), &folder.GetSavedPassword()};
    for (int i = 0; i < FIELD_COUNT; ++i) {
        fields_[i]->SetText(*texts[i]);
    }
    ShowProtocol(folder.GetProtocol());
    ShowEncryption(folder.GetEncryption());
}

void RemoteFolderForm::ShowProtocol(TSmbProtocol protocol) {
    protocol_ = protocol;
    protocolButton_->SetText(String(kProtocolNames[protocol]));
}

void RemoteFolderForm::ShowEncryption(TEncryption encryption) {
    encryption_ = encryption;
    encryptionButton_->SetText(String(kEncryptionNames[encryption]));
}

void RemoteFolderForm::SearchNetwork() {
    if (serversPopup_ == nullptr) {
        auto popup = std::make_unique<ServersPopup>(this, ACTION_SERVER_CHOSEN, ACTION_SEARCH_CANCELLED);
        if (!popup->Construct()) {
            return;
        }
        serversPopup_ = std::move(popup);
    }
    serversPopup_->ShowPopup();
}

void RemoteFolderForm::FillFromServer(const DiscoveredServer& server) {
    // A name the name service cannot carry would be refused by the field: the address alone finds the
    // server.
    const bool nameFits =
        server.name.size() <= kNetBiosNameChars && server.name.find_first_not_of(
                                                       L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                       L"0123456789-_.!#$%&'()^{}~") == std::wstring::npos;
    fields_[NODE_NAME]->SetText(String(nameFits ? server.name : std::wstring()));
    fields_[IP_ADDRESS]->SetText(Osp::Net::Ip4Address(server.address).ToString());
    ShowProtocol(SMB_PROTOCOL_AUTOMATIC);
    RequestRedraw();
}

String RemoteFolderForm::TextOf(TField field) const {
    return fields_[field]->GetText();
}

void RemoteFolderForm::OnActionPerformed(const Osp::Ui::Control& source, int actionId) {
    switch (actionId) {
        case ACTION_SAVE:
            Save();
            break;
        case ACTION_CANCEL:
            Leave();
            break;
        case ACTION_OPTIONS:
            optionMenu_->SetShowState(true);
            optionMenu_->Show();
            break;
        case ACTION_HELP:
            Corvane::GetMyInstance()->ShowHelp(kHelpPage);
            break;
        case ACTION_PROTOCOL:
            protocolMenu_->SetShowState(true);
            protocolMenu_->Show();
            break;
        case ACTION_ENCRYPTION:
            encryptionMenu_->SetShowState(true);
            encryptionMenu_->Show();
            break;
        case ACTION_SEARCH:
            SearchNetwork();
            break;
        case ACTION_SERVER_CHOSEN:
            FillFromServer(serversPopup_->GetSelection());
            break;
        case ACTION_SEARCH_CANCELLED:
            break;
        default:
            if (actionId >= ACTION_PROTOCOL_CHOSEN &&
                actionId <= ACTION_PROTOCOL_CHOSEN + static_cast<int>(SMB_PROTOCOL_SMB1)) {
                ShowProtocol(static_cast<TSmbProtocol>(actionId - ACTION_PROTOCOL_CHOSEN));
                RequestRedraw();
                break;
            }
            if (actionId >= ACTION_ENCRYPTION_CHOSEN &&
                actionId <= ACTION_ENCRYPTION_CHOSEN + static_cast<int>(ENCRYPTION_WHEN_REQUIRED)) {
                ShowEncryption(static_cast<TEncryption>(actionId - ACTION_ENCRYPTION_CHOSEN));
                RequestRedraw();
                break;
            }
            OkFormBase::OnActionPerformed(source, actionId);
            break;
    }
}

bool RemoteFolderForm::ValidateControl(const Osp::Ui::Control* control) {
    const auto* field = dynamic_cast<const EditField*>(control);
    if (field == nullptr) {
        return true;
    }
    const String text = field->GetText();
    if ((field == fields_[IP_ADDRESS] || field == fields_[WINS_SERVER]) && !text.IsEmpty() &&
        !ValidateIpAddress(text)) {
        ShowModalMessage(L"", L"Invalid IP address", MSGBOX_STYLE_OK, kInvalidAddressMs);
        return false;
    }
    // The name service carries no more than this; a longer name would be cut and could find another
    // computer.
    if (field == fields_[NODE_NAME] && text.GetLength() > static_cast<int>(kNetBiosNameChars)) {
        ShowModalMessage(L"", L"The computer name can have at most 15 characters", MSGBOX_STYLE_OK,
                         kInvalidAddressMs);
        return false;
    }
    return true;
}

void RemoteFolderForm::CopyFieldsInto(RemoteFolder* folder) const {
    folder->SetNodeName(TextOf(NODE_NAME));
    folder->SetShareName(TextOf(SHARE_NAME));
    folder->SetIpAddress(TextOf(IP_ADDRESS));
    folder->SetWinsServer(TextOf(WINS_SERVER));
    folder->SetUserName(TextOf(USER_NAME));
    folder->SetPassword(TextOf(PASSWORD));
    folder->SetProtocol(protocol_);
    folder->SetEncryption(encryption_);
}

void RemoteFolderForm::Save() {
    if (TextOf(NODE_NAME).IsEmpty() && TextOf(IP_ADDRESS).IsEmpty()) {
        ShowModalMessage(L"", L"You must specify computer name or IP address", MSGBOX_STYLE_OK, kNoServerMs);
        return;
    }
    Corvane* app = Corvane::GetMyInstance();
    if (newFolder_ != nullptr) {
        RemoteFolder* folder = newFolder_.release();
        CopyFieldsInto(folder);
        folder->SetNewId();
        app->OnNewFolderAdded(folder);
    } else if (folder_ != nullptr) {
        SaveChanges(folder_);
        app->OnFolderChanged(folder_, true);
    }
    Leave();
}

void RemoteFolderForm::SaveChanges(RemoteFolder* folder) {
    const bool userChanged = folder->GetSavedUserName() != TextOf(USER_NAME);
    const bool accountChanged = userChanged || folder->GetSavedPassword() != TextOf(PASSWORD);
    // A session keeps the protection it was made with: another choice takes a new one.
    const bool protectionChanged = folder->GetEncryption() != encryption_;
    // Another protocol is another kind of browser: nothing of the old one carries over either.
    const bool placeChanged =
        userChanged || folder->GetProtocol() != protocol_ || folder->GetNodeName() != TextOf(NODE_NAME) ||
        folder->GetIpAddress() != TextOf(IP_ADDRESS) || folder->GetWinsServer() != TextOf(WINS_SERVER) ||
        folder->GetShareName() != TextOf(SHARE_NAME);
    CopyFieldsInto(folder);
    if (accountChanged) {
        // The account just saved is the one to log on with.
        folder->ForgetSessionLogon();
    }
    if (placeChanged) {
        // Nothing of the old share may carry over: not its logon, the share picked or connected on it, its
        // open files, nor what the clipboard holds of it. A disconnect alone would keep the share, which
        // the next operation connects again.
        Corvane::GetMyInstance()->ResetFolderConnection(folder);
    } else if (accountChanged || protectionChanged) {
        folder->SmbDisconnect();
    }
}

void RemoteFolderForm::Leave() {
    // The form stays in the frame, hidden, until the next one replaces it: it keeps no password, and no
    // pointer to a folder that may be removed meanwhile.
    for (EditField* field : fields_) {
        field->Clear();
    }
    folder_ = nullptr;
    newFolder_.reset();
    ShowProtocol(SMB_PROTOCOL_AUTOMATIC);
    ShowEncryption(ENCRYPTION_WHEN_OFFERED);
    Corvane* app = Corvane::GetMyInstance();
    app->SwitchToForm(app->GetMainForm());
}
