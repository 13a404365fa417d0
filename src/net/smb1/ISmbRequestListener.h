#pragma once
// Receives the answer of one request handed to SmbSession::SendSmbA, on the user-interface thread. The
// response is valid during the call only and is null whenever result is not 0; with result 0 the status in
// its header is still the listener's to check. An answer to a listener that has been destroyed meanwhile
// is dropped.

#include <memory>

#include "app/LiveTarget.h"
#include "net/smb1/Smb.h"

class Trans2Resp;

class ISmbRequestListener : public LiveTarget {
public:
    // Any command but the transactions.
    virtual void OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) = 0;
    // The same answer handed over, for a listener that keeps it past the call; the session delivers
    // answers of the server through this. By default it goes to OnSmbReceived.
    virtual void OnSmbReceivedN(unsigned long result, unsigned short mid, std::unique_ptr<Smb> response) {
        OnSmbReceived(result, mid, response.get());
    }
    // TRANSACTION (named pipes).
    virtual void OnTransReceived(unsigned long result, unsigned short mid, const Trans2Resp* response) = 0;
    // TRANSACTION2.
    virtual void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) = 0;

protected:
    ~ISmbRequestListener() = default;
};
