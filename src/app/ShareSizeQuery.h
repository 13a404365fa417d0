#pragma once
// One question about the disk size of a connected network folder's share, asked of its server over the
// client the folder uses: the SMB 2/3 wrapper, or a QUERY_FS_INFORMATION of the classic client. The answer
// reaches the callback only while this object lives, so whoever replaces or drops it has given up its
// answer: a slow answer never shows for a later question.
//
// User-interface thread only. The owner keeps the object until the answer; the callback runs on the
// user-interface thread, at most once, and only for a good answer about a folder that still exists.

#include <functional>
#include <string>

#include "net/NetBrowser.h"
#include "net/smb1/ISmbRequestListener.h"

class RemoteFolder;

class ShareSizeQuery : private ISmbRequestListener, private IDiskSizeListener {
public:
    struct SAnswer {
        std::wstring title;  // the share's name as the details show it
        unsigned long long capacity = 0;
        unsigned long long free = 0;
        std::wstring connection;  // how the share is reached
    };
    using Callback = std::function<void(const SAnswer& answer)>;

    explicit ShareSizeQuery(Callback callback);

    // Sends the question; false when the folder is not connected in a way that can be asked.
    bool Ask(RemoteFolder* folder);

private:
    void OnSmbReceived(unsigned long, unsigned short, const Smb*) override {}
    void OnTransReceived(unsigned long, unsigned short, const Trans2Resp*) override {}
    void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) override;
    void OnDiskSize(unsigned long result, unsigned long long capacity, unsigned long long free) override;
    // The folder asked about, or null when it has been removed since.
    const RemoteFolder* Folder() const;

    Callback callback_;
    int folderId_ = -1;
    // The share the classic client's session was connected to when asked: the title of a folder that
    // names no share of its own.
    std::wstring share_;
};
