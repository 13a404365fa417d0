#pragma once
// The receiving side of a session's connection, without its socket. The stream comes in whatever pieces
// the socket gives and is cut into messages by their transport headers: keep-alives are dropped, and a
// length outside what the client takes, counts that do not fit the message, or a message that is not SMB
// put the stream out of step. Each whole message is then routed by what the session waits for: a step of
// the logon, the server's own oplock break, the answer to a request on its way, or nothing at all, which
// is out of step again. Used on one thread: the session feeds it from its socket, the fuzz target from
// its input.

#include <memory>

#include "net/smb1/Smb.h"

class SmbReceiver {
public:
    enum TResult { RESULT_MORE, RESULT_MESSAGE, RESULT_BAD };

    // A new connection: nothing read yet; messages of at most maxMessageLength bytes are taken.
    void Reset(unsigned int maxMessageLength);
    void SetMaxMessageLength(unsigned int maxMessageLength) { maxMessageLength_ = maxMessageLength; }

    // Where the next bytes of the stream go; *room gets how many are wanted at most.
    unsigned char* Space(unsigned int* room);
    // count bytes were put at Space. RESULT_MESSAGE: a whole message waits in TakeMessage. RESULT_BAD: the
    // stream is out of step and nothing more read from it means anything.
    TResult Received(unsigned int count);
    // The message Received announced, framed and checked.
    std::unique_ptr<Smb> TakeMessage() { return std::move(message_); }

private:
    std::unique_ptr<unsigned char[]> buffer_;
    unsigned int expected_ = 0;
    unsigned int received_ = 0;
    unsigned int maxMessageLength_ = 0;
    std::unique_ptr<Smb> message_;
};

// What a received message is to the session.
enum TSmbRoute {
    ROUTE_NEGOTIATE,
    ROUTE_SESSION_SETUP,
    ROUTE_TREE_CONNECT,
    ROUTE_OPLOCK_BREAK,
    ROUTE_ANSWER,
    ROUTE_OUT_OF_STEP,
};

// What the session waits for when a message comes.
struct SSmbAwaited {
    bool negotiate = false;
    bool sessionSetup = false;
    bool treeConnect = false;
    // The command of the request on its way under the message's multiplex id; -1 when there is none.
    int requestCommand = -1;
};

// The message's route; for an oplock break, *fid gets the file's handle.
TSmbRoute RouteSmb(const Smb& message, const SSmbAwaited& awaited, unsigned short* fid);
