#include "net/smb1/SmbEnumerator.h"

#include "app/Results.h"
#include "fs/IFsDirEnumListener.h"
#include "net/SmbDirEntry.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/Trans2FindFirst2.h"
#include "net/smb1/Trans2FindNext2.h"

namespace {

// The server has nothing more to list: the end of a listing, not a failure.
constexpr unsigned int kStatusNoMoreFiles = 0x80000006;

}  // namespace

void SmbEnumerator::End(unsigned long result) {
    listener_->OnGetEntry(result, nullptr);
}

void SmbEnumerator::PostEnd() {
    SmbSession::PostSmbEvent(session_.Get(), SmbEvent::EnumEndN(listener_, RES_OK));
}

unsigned long SmbEnumerator::StartEnumA(bool) {
    if (listener_ == nullptr || started_) {
        return RES_FAILURE;
    }
    started_ = true;
    Trans2Req request;
    if (!ConstructTrans2FindFirst2Request(request, path_)) {
        End(RES_FAILURE);
        return RES_OK;
    }
    if (session_.Get() == nullptr) {
        End(RES_DISCONNECTED);
        return RES_OK;
    }
    session_.Get()->SendSmbA(request.ReleaseSmbN(), this,
                             SmbSession::SEND_CONNECT | SmbSession::SEND_NEED_TREE);
    return RES_OK;
}

unsigned long SmbEnumerator::ReadPage(const Trans2Resp& response, SFindResponse* page) {
    unsigned int status = response.GetSmb()->Header().GetStatus();
    if (status == kStatusNoMoreFiles && !first_) {
        page->canResume = false;
        return RES_OK;
    }
    unsigned long result = SmbStatusToBadaResult(status);
    if (result != RES_OK) {
        return result;
    }
    return ParseFindResponse(response, first_ ? FIND_FIRST : FIND_NEXT, page);
}

void SmbEnumerator::OnTrans2Received(unsigned long result, unsigned short, const Trans2Resp* response) {
    SFindResponse page;
    if (result == RES_OK) {
        result = ReadPage(*response, &page);
    }
    if (result != RES_OK) {
        End(result);
        return;
    }
    if (first_) {
        sid_ = page.sid;
        first_ = false;
    }
    LiveRef<ISmbRequestListener> self(this);
    for (const SSmbFileInfo& info : page.entries) {
        if (stop_) {
            break;
        }
        if (!IsPlainSmbName(info.name)) {
            continue;
        }
        listener_->OnGetEntry(RES_OK, new SmbDirEntry(info, info.name));
        if (self.Get() == nullptr) {
            return;
        }
    }
    if (stop_ || !page.canResume) {
        PostEnd();
        return;
    }
    if (page.entries.empty() || !resumedAfter_.insert(page.resumeName).second) {
        End(RES_BAD_RESPONSE);
        return;
    }
    Trans2Req request;
    if (!ConstructTrans2FindNext2Request(request, sid_, page.resumeName)) {
        End(RES_BAD_RESPONSE);
        return;
    }
    SmbSession* session = session_.Get();
    if (session == nullptr) {
        End(RES_DISCONNECTED);
        return;
    }
    session->SendSmbA(request.ReleaseSmbN(), this, SmbSession::SEND_NEED_TREE);
}
