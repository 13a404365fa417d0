#pragma once
// Told the end of a name query of NbtNsClient, on the user-interface thread. The listener may delete the
// client inside the call.

class INbtNsClientListener {
public:
    virtual ~INbtNsClientListener() = default;
    // result 0 with the server's IPv4 address in host byte order; otherwise the failure and address 0.
    virtual void OnNbtNsQueryFinished(unsigned long result, unsigned long address) = 0;
};
