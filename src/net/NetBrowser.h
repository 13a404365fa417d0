#pragma once
// What every browser of a network folder adds to IFsBrowser: the folder it belongs to and how it is
// connected. Used on the user-interface thread only.

#include <string>

#include "app/LiveTarget.h"
#include "fs/IFsBrowser.h"

class RemoteFolder;

// Receives the size of a share, on the user-interface thread; an answer to a listener that died is dropped.
class IDiskSizeListener : public LiveTarget {
public:
    virtual void OnDiskSize(unsigned long result, unsigned long long capacity, unsigned long long free) = 0;

protected:
    ~IDiskSizeListener() = default;
};

class NetBrowser : public IFsBrowser {
public:
    virtual RemoteFolder* GetFolder() const = 0;
    // The server took the folder's account (and may not yet be connected to a share).
    virtual bool IsLoggedOn() const = 0;
    // Connected to a share.
    virtual bool IsShareConnected() const = 0;
    // The protocol in use, for the folder's details ("SMB 3.1.1, file data encrypted"); empty when not
    // connected.
    virtual std::wstring DescribeConnection() const = 0;
    // The folder's UNC name (completed with the connected share when the folder names none) and path.
    virtual std::wstring GetFullName(const std::wstring& path) const = 0;
    // Ends a connection attempt under way: the open that waits on it is answered with RES_CANCELLED.
    virtual void CancelConnecting() = 0;
    // Ends the connection; the next operation connects again.
    virtual void Disconnect() = 0;
    // Asks for the share's size, answered through listener; false when this browser leaves the question
    // to the folder's SMB1 session (or is not connected).
    virtual bool AskDiskSizeA(IDiskSizeListener* listener) = 0;
};
