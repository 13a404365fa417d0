#pragma once
// One file copied or moved from one browser to another, asynchronously on the user-interface thread.
//
// Contract:
// - CopyFileA or MoveFileA is called once; the listener then gets progress and exactly one
//   OnTransferEnded, as the last thing the transfer does: the listener may not delete the transfer inside
//   that call (it deletes it after the call has returned).
// - Nothing counts as done until the destination has confirmed it stored every byte; a move deletes its
//   source only after that. A transfer that fails or is stopped removes the file it created and touches
//   no file it did not create; the source of a failed move stays, or goes back to its name when the
//   platform had already moved it (GetStrandedPath tells where it lies when even that failed).
// - RES_ALREADY_EXISTS means the destination exists and nothing was changed; the caller may ask the user
//   and start a transfer that replaces it.
// - A stopped transfer ends with RES_CANCELLED.

#include <string>

#include "Osp/Base/DateTime.h"

class IFsTransferListener {
public:
    // bytesDone of this file so far; busy while the platform copies the whole file in one call and no
    // count will follow until it is done.
    virtual void OnTransferProgress(unsigned long long bytesDone, bool busy) = 0;
    virtual void OnTransferEnded(unsigned long result) = 0;

protected:
    ~IFsTransferListener() = default;
};

class IFsTransfer {
public:
    virtual ~IFsTransfer() = default;

    // size is what the source was listed with; the whole file is copied whatever it has become.
    virtual void CopyFileA(const std::wstring& srcPath, unsigned long long size,
                           const Osp::Base::DateTime& date, const std::wstring& dstPath) = 0;
    virtual void MoveFileA(const std::wstring& srcPath, unsigned long long size,
                           const Osp::Base::DateTime& date, const std::wstring& dstPath) = 0;
    // The transfer ends with RES_CANCELLED at its next answer.
    virtual void StopA() = 0;
    // After a failed move: where its file was left when it could not be put back at its source name;
    // empty when the file is at its source.
    virtual std::wstring GetStrandedPath() const = 0;
};

class IFsBrowser;

// What a transfer does with the destination path.
enum TDestination {
    DEST_NEW,      // it must not exist: RES_ALREADY_EXISTS and nothing changed when it does
    DEST_OWN,      // a file of the caller's own (a cache copy): created or truncated
    DEST_REPLACE,  // an existing file is replaced, once the new copy is stored under a temporary name
};

// A new transfer: a block copy when the source has files, a stream when it can only extract, else null.
IFsTransfer* CreateFsTransferN(IFsTransferListener* listener, TDestination destination, IFsBrowser* src,
                               IFsBrowser* dst);
