#include "app/ShareSizeQuery.h"

#include "app/Corvane.h"
#include "app/Results.h"
#include "net/RemoteFolder.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/Trans2QueryFsInfo.h"

ShareSizeQuery::ShareSizeQuery(Callback callback) : callback_(std::move(callback)) {}

bool ShareSizeQuery::Ask(RemoteFolder* folder) {
    folderId_ = static_cast<int>(folder->GetId());
    NetBrowser* browser = folder->GetBrowser();
    if (browser != nullptr && browser->AskDiskSizeA(this)) {
        return true;
    }
    SmbSession* session = folder->GetSmbSession();
    Trans2Req request;
    if (session == nullptr || !session->HasTreeSession() ||
        !ConstructTrans2QueryFsRequest(request, kQueryFsSizeLevel)) {
        return false;
    }
    share_ = session->GetShare();
    session->SendSmbA(request.ReleaseSmbN(), this, SmbSession::SEND_WHEN_CONNECTED);
    return true;
}

const RemoteFolder* ShareSizeQuery::Folder() const {
    return Corvane::GetMyInstance()->GetFolderById(folderId_);
}

// This object sends one request only, so whatever comes back is its answer.
void ShareSizeQuery::OnTrans2Received(unsigned long result, unsigned short, const Trans2Resp* response) {
    const RemoteFolder* folder = Folder();
    SFsSizeInfo info;
    if (result != RES_OK || response == nullptr || folder == nullptr ||
        response->GetSmb()->Header().IsFailure() || ParseFsSizeResponse(*response, &info) != RES_OK) {
        return;
    }
    SAnswer answer;
    answer.title = folder->GetUncName().Units();
    if (folder->GetShareName().IsEmpty()) {
        answer.title += share_;
    }
    answer.capacity = info.Bytes(info.totalUnits);
    answer.free = info.Bytes(info.freeUnits);
    const NetBrowser* browser = folder->GetBrowser();
    answer.connection = browser != nullptr ? browser->DescribeConnection() : L"";
    callback_(answer);
}

void ShareSizeQuery::OnDiskSize(unsigned long result, unsigned long long capacity, unsigned long long free) {
    const RemoteFolder* folder = Folder();
    const NetBrowser* browser = folder != nullptr ? folder->GetBrowser() : nullptr;
    if (result != RES_OK || browser == nullptr) {
        return;
    }
    callback_({browser->GetFullName(L""), capacity, free, browser->DescribeConnection()});
}
