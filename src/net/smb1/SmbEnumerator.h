#pragma once
// Lists one folder of a share page by page with FIND_FIRST2 and FIND_NEXT2, handing each entry to the
// listener as soon as its page is read; the end is posted, failures are answered at once. The server's
// pages are trusted for nothing: every page is parsed in full before its entries go out, names that are
// not one plain component are left out, and a page that does not move the listing on ends it with
// RES_BAD_RESPONSE. Other results: the mapped NT status, RES_DISCONNECTED when the session drops the
// request. Used on the user-interface thread only; the listener may delete the enumerator in OnGetEntry.

#include <set>
#include <string>

#include "app/LiveTarget.h"
#include "fs/IFsDirEnum.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/Trans2FindResponse.h"

class IFsDirEnumListener;

class SmbEnumerator : public IFsDirEnum, public ISmbRequestListener {
public:
    // path is the folder's, ending in '\'. An enumerator that outlives session (its folder was removed)
    // ends its listing with RES_DISCONNECTED.
    SmbEnumerator(SmbSession* session, const std::wstring& path) : session_(session), path_(path) {}

    void SetListener(IFsDirEnumListener* listener) override { listener_ = listener; }
    unsigned long StartEnumA(bool details) override;
    void StopEnumA() override { stop_ = true; }

    void OnSmbReceived(unsigned long, unsigned short, const Smb*) override {}
    void OnTransReceived(unsigned long, unsigned short, const Trans2Resp*) override {}
    void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) override;

private:
    unsigned long ReadPage(const Trans2Resp& response, SFindResponse* page);
    void End(unsigned long result);
    void PostEnd();

    LiveRef<SmbSession> session_;
    std::wstring path_;
    IFsDirEnumListener* listener_ = nullptr;
    unsigned short sid_ = 0;
    bool started_ = false;
    bool first_ = true;
    bool stop_ = false;
    // The names each page resumed after; a name coming round again means the server is going in circles.
    std::set<std::wstring> resumedAfter_;
};
