#pragma once
// The one listener of an SmbSession (the SMB browser), called on the user-interface thread. It is not
// owned by the session and must be cleared before it dies.

class Smb;

class ISmbSessionListener {
public:
    virtual ~ISmbSessionListener() = default;
    // The end of a connection attempt: 0 once logged on, else the failure.
    virtual void OnConnected(unsigned long result) = 0;
    // The end of a tree connect: 0 with a tree, else the failure.
    virtual void OnTreeConnected(unsigned long result) = 0;
    // A received message offered before dispatch; true when the listener consumed it.
    virtual bool OnSmbReceived(const Smb* message) = 0;
    // The connection is gone; every request still waiting has already been answered.
    virtual void OnDisconnected() = 0;
};
