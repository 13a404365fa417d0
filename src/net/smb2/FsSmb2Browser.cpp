#include "net/smb2/FsSmb2Browser.h"

#include "app/Corvane.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "fs/IFsBrowserListener.h"
#include "fs/Places.h"
#include "net/RemoteFolder.h"
#include "net/SmbDirEntry.h"
#include "net/Utf8Names.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbSession.h"
#include "net/smb2/Smb2Dir.h"

namespace {

constexpr int kCapabilities = CAP_ENUM_TIMES | CAP_WRITE | CAP_CREATE_FOLDER | CAP_FILE_IO;
constexpr int kDefaultDeadlineMs = 20000;
int g_deadlineMs = kDefaultDeadlineMs;

// Newest first; each is offered alone so that the one in use is known.
const std::vector<std::string>& Dialects() {
    static const std::vector<std::string> dialects = {"SMB3_11", "SMB3_02", "SMB3_00", "SMB2_10", "SMB2_02"};
    return dialects;
}

std::string ToUtf8(const Osp::Base::String& text) {
    std::string out;
    return ToUtf8Name(text.Units(), &out) ? out : std::string();
}

// "SMB3_11" as a user reads it: "SMB 3.1.1".
std::wstring DialectName(const std::string& dialect) {
    if (dialect.size() != 7) {
        return std::wstring(dialect.begin(), dialect.end());
    }
    std::wstring name = L"SMB ";
    name += static_cast<wchar_t>(dialect[3]);
    name += L'.';
    name += static_cast<wchar_t>(dialect[5]);
    if (dialect[6] != '0' || dialect[5] != '0') {
        name += L'.';
        name += static_cast<wchar_t>(dialect[6]);
    }
    return name;
}

}  // namespace

Smb2Browser::Smb2Browser(RemoteFolder* folder) : folder_(folder) {}

Smb2Browser::~Smb2Browser() {
    // The worker stops first: its answers are addressed to this browser.
    worker_.reset();
    fallback_.reset();
}

void Smb2Browser::SetDeadline(int milliseconds) {
    g_deadlineMs = milliseconds;
}

bool Smb2Browser::IsLoggedOn() const {
    return fallback_ != nullptr ? fallback_->IsLoggedOn() : !dialect_.empty();
}

bool Smb2Browser::IsShareConnected() const {
    return fallback_ != nullptr ? fallback_->IsShareConnected() : connected_;
}

std::wstring Smb2Browser::DescribeConnection() const {
    if (fallback_ != nullptr) {
        return fallback_->DescribeConnection();
    }
    if (!connected_) {
        return L"";
    }
    // The client signs when the server requires it; whether the share's messages went encrypted was seen
    // as the share was connected.
    return DialectName(dialect_) + (encrypted_ ? L", file data encrypted" : L", file data not encrypted");
}

void Smb2Browser::CancelConnecting() {
    if (fallback_ != nullptr) {
        fallback_->CancelConnecting();
        return;
    }
    if (!connecting_) {
        return;
    }
    // The library's call is not waited for: its answer, when it comes, belongs to an attempt given up.
    ++attempt_;
    connecting_ = false;
    AnswerRoot(RES_CANCELLED);
}

void Smb2Browser::Disconnect() {
    if (fallback_ != nullptr) {
        fallback_->Disconnect();
        return;
    }
    if (worker_ == nullptr) {
        return;
    }
    // The worker ends the library's connection as it stops; answers still on their way are dropped with it.
    worker_.reset();
    connecting_ = false;
    connected_ = false;
    dialect_.clear();
    RefreshFolder();
}

bool Smb2Browser::AskDiskSizeA(IDiskSizeListener* listener) {
    if (fallback_ != nullptr || !connected_ || worker_ == nullptr) {
        return false;
    }
    LiveRef<IDiskSizeListener> target(listener);
    Smb2Worker* worker = worker_.get();
    worker_->Enqueue([worker, target](std::unique_ptr<host::SmbClient>& client) {
        unsigned long long capacity = 0;
        unsigned long long free = 0;
        const int error = client == nullptr ? ENOTCONN : client->DiskSize(&capacity, &free);
        const unsigned long result = Smb2Result(error, SMB2_STEP_FILE);
        worker->Answer([target, result, capacity, free] {
            if (IDiskSizeListener* alive = target.Get()) {
                alive->OnDiskSize(result, capacity, free);
            }
        });
    });
    return true;
}

void Smb2Browser::RefreshFolder() {
    Corvane::GetMyInstance()->OnFolderChanged(folder_, false);
}

void Smb2Browser::AddRef() {}

void Smb2Browser::Release() {}

void Smb2Browser::SetListener(IFsBrowserListener* listener) {
    listener_ = listener;
    if (fallback_ != nullptr) {
        fallback_->SetListener(listener);
    }
}

void Smb2Browser::RemoveListener(IFsBrowserListener* listener) {
    if (listener_ == listener) {
        listener_ = nullptr;
    }
    if (fallback_ != nullptr) {
        fallback_->RemoveListener(listener);
    }
}

void Smb2Browser::SetPassword(unsigned long result, const std::wstring& password) {
    if (fallback_ != nullptr) {
        fallback_->SetPassword(result, password);
    }
}

unsigned long Smb2Browser::OpenRootDirA() {
    if (fallback_ != nullptr) {
        return fallback_->OpenRootDirA();
    }
    if (connected_) {
        if (listener_ != nullptr) {
            listener_->OnOpenDir(RES_OK, new Smb2Dir(this, L"\\"));
        }
        return RES_OK;
    }
    if (folder_->GetIpAddress().IsEmpty() && folder_->GetProtocol() == SMB_PROTOCOL_AUTOMATIC) {
        FallBackToSmb1();
        return RES_OK;
    }
    if (connecting_) {
        return RES_OK;
    }
    if (listener_ != nullptr) {
        listener_->ShowPopup(Osp::Base::String(L"Connecting..."), true);
    }
    Connect(folder_->GetShareName().Units());
    return RES_OK;
}

void Smb2Browser::Connect(const std::wstring& share, bool quiet) {
    if (worker_ == nullptr) {
        worker_ = Smb2Worker::Create();
        if (worker_ == nullptr) {
            if (!quiet) {
                AnswerRoot(RES_OUT_OF_MEMORY);
            }
            return;
        }
    }
    connecting_ = !quiet;
    host::SmbClientSettings settings;
    settings.address = ToUtf8(folder_->GetIpAddress());
    settings.port = SmbSession::GetServerPort();
    settings.user = ToUtf8(folder_->GetUserName());
    settings.password = ToUtf8(folder_->GetPassword());
    settings.timeoutMs = g_deadlineMs;
    settings.dialects = Dialects();
    settings.encryption = folder_->GetEncryption() == ENCRYPTION_WHEN_REQUIRED
                              ? host::SmbClientSettings::ENCRYPT_WHEN_REQUIRED
                              : host::SmbClientSettings::ENCRYPT_WHEN_OFFERED;
    std::string shareName;
    ToUtf8Name(share, &shareName);
    Smb2Worker* worker = worker_.get();
    const int attempt = ++attempt_;
    worker_->Enqueue(
        [this, worker, attempt, settings, shareName, share, quiet](std::unique_ptr<host::SmbClient>& client) {
            int error = 0;
            TSmb2Step step = SMB2_STEP_LOGON;
            std::vector<std::string> names;
            if (client == nullptr) {
                client = std::make_unique<host::SmbClient>();
                error = client->Open(settings);
            }
            if (error == 0) {
                error = client->ListShares(&names);
            }
            if (error == 0 && !shareName.empty()) {
                step = SMB2_STEP_SHARE;
                error = client->ConnectShare(shareName);
            }
            const std::string dialect = client->Dialect();
            const unsigned int refusal = client->LogonRefusal();
            const bool encrypted = client->Encrypted();
            if (error != 0) {
                // The next attempt starts afresh, with the account the user gives then.
                client.reset();
            }
            std::vector<std::wstring> shares;
            for (const std::string& name : names) {
                std::wstring wide;
                if (FromUtf8Name(name, &wide) && IsPlainSmbName(wide)) {
                    shares.push_back(wide);
                }
            }
            const unsigned long result = Smb2Result(error, step, refusal);
            worker->Answer([this, result, dialect, encrypted, shares, share, quiet] {
                OnConnectAnswer(result, SConnection{dialect, encrypted}, shares, share, quiet);
            });
        });
}

void Smb2Browser::OnConnectAnswer(unsigned long result, const SConnection& connection,
                                  const std::vector<std::wstring>& shares, const std::wstring& share,
                                  bool quiet) {
    if (quiet) {
        // Nobody waits on an operation's own connection: the operations behind it fail on their own
        // when it did.
        if (result == RES_OK) {
            dialect_ = connection.dialect;
            encrypted_ = connection.encrypted;
            connected_ = true;
            RefreshFolder();
        }
        return;
    }
    connecting_ = false;
    if (result == RES_PROTOCOLS_REFUSED && folder_->GetProtocol() == SMB_PROTOCOL_AUTOMATIC) {
        FallBackToSmb1();
        return;
    }
    dialect_ = result == RES_OK ? connection.dialect : std::string();
    encrypted_ = result == RES_OK && connection.encrypted;
    if (result != RES_OK) {
        AnswerRoot(result);
        return;
    }
    if (share.empty()) {
        if (listener_ != nullptr) {
            listener_->HidePopup();
        }
        if (shares.empty()) {
            AnswerRoot(RES_NO_SHARES);
        } else if (listener_ != nullptr) {
            listener_->OnSelectShareA(std::set<std::wstring>(shares.begin(), shares.end()));
        }
        return;
    }
    share_ = share;
    connected_ = true;
    RefreshFolder();
    AnswerRoot(RES_OK);
}

void Smb2Browser::AnswerRoot(unsigned long result) {
    if (listener_ == nullptr) {
        return;
    }
    listener_->HidePopup();
    listener_->OnOpenDir(result, result == RES_OK ? new Smb2Dir(this, L"\\") : nullptr);
}

void Smb2Browser::SelectShare(const std::wstring& share) {
    if (fallback_ != nullptr) {
        fallback_->SelectShare(share);
        return;
    }
    if (share.empty()) {
        AnswerRoot(RES_CANCELLED);
        return;
    }
    if (listener_ != nullptr) {
        listener_->ShowPopup(Osp::Base::String(L"Connecting..."), true);
    }
    Connect(share);
}

void Smb2Browser::FallBackToSmb1() {
    worker_.reset();
    fallback_ = std::make_unique<SmbBrowser>(folder_);
    fallback_->SetListener(listener_);
    fallback_->OpenRootDirA();
}

void Smb2Browser::OnUserEvent(int) {}

void Smb2Browser::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<Smb2Answer*>(event)) {
        answer->Deliver();
    }
}

unsigned long Smb2Browser::ExtractFileA(IOutStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

unsigned long Smb2Browser::StoreFileA(IInStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

void Smb2Browser::BytesProcessed(unsigned long, unsigned int) {}

void Smb2Browser::StopStreamIoA(unsigned long) {}

bool Smb2Browser::IsTheSameDisk(const IFsBrowser* other) const {
    return other != nullptr && SameStorage(*this, *other);
}

std::wstring Smb2Browser::GetStorageName() const {
    if (fallback_ != nullptr) {
        return fallback_->GetStorageName();
    }
    return folder_->GetStorageName(folder_->GetShareName().IsEmpty() ? share_
                                                                     : folder_->GetShareName().Units());
}

wchar_t Smb2Browser::GetSlash() const {
    return L'\\';
}

bool Smb2Browser::CapableOf(int mask) const {
    return fallback_ != nullptr ? fallback_->CapableOf(mask) : (mask & ~kCapabilities) == 0;
}

int Smb2Browser::GetType() const {
    return BROWSER_SMB;
}

unsigned long Smb2Browser::GetProperty(TProperty property, void* out) {
    if (fallback_ != nullptr) {
        return fallback_->GetProperty(property, out);
    }
    if (property != PROP_READ_BLOCK && property != PROP_WRITE_BLOCK) {
        return RES_FAILURE;
    }
    *static_cast<unsigned int*>(out) = kBlockSize;
    return RES_OK;
}

std::wstring Smb2Browser::GetFullName(const std::wstring& path) const {
    if (fallback_ != nullptr) {
        return fallback_->GetFullName(path);
    }
    std::wstring unc = folder_->GetUncName().Units();
    if (folder_->GetShareName().IsEmpty()) {
        unc += share_;
    }
    while (!unc.empty() && unc.back() == L'\\') {
        unc.pop_back();
    }
    return unc + path;
}
