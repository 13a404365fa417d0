#include "net/smb1/SmbReceiver.h"

#include <cstring>

#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbOplockBreak.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbTreeConnect.h"

namespace {

// A transport header's 32 bits, type byte included, must reach this for a session message the client
// takes; a smaller one cannot hold an SMB header.
constexpr unsigned int kMinMessageLength = 20;
// A keep-alive of the session service: type 0x85, no body.
constexpr unsigned int kKeepAlive = 0x85000000;
constexpr unsigned char kSmbMark[4] = {0xFF, 'S', 'M', 'B'};

}  // namespace

void SmbReceiver::Reset(unsigned int maxMessageLength) {
    buffer_.reset();
    expected_ = 0;
    received_ = 0;
    maxMessageLength_ = maxMessageLength;
    message_.reset();
}

unsigned char* SmbReceiver::Space(unsigned int* room) {
    if (buffer_ == nullptr) {
        buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kTransportHeaderLength);
        expected_ = kTransportHeaderLength;
        received_ = 0;
    }
    *room = expected_ - received_;
    return buffer_.get() + received_;
}

SmbReceiver::TResult SmbReceiver::Received(unsigned int count) {
    received_ += count;
    if (received_ < expected_) {
        return RESULT_MORE;
    }
    if (expected_ == kTransportHeaderLength) {
        // The type byte is part of the length: anything but a session message is too long to take.
        unsigned int length = (static_cast<unsigned int>(buffer_[0]) << 24) |
                              (static_cast<unsigned int>(buffer_[1]) << 16) |
                              (static_cast<unsigned int>(buffer_[2]) << 8) | buffer_[3];
        buffer_.reset();
        if (length == kKeepAlive) {
            return RESULT_MORE;
        }
        if (length < kMinMessageLength || length > maxMessageLength_) {
            return RESULT_BAD;
        }
        // The message goes straight into a buffer of its size, behind its transport header.
        buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kTransportHeaderLength + length);
        buffer_[0] = 0;
        buffer_[1] = static_cast<unsigned char>(length >> 16);
        buffer_[2] = static_cast<unsigned char>(length >> 8);
        buffer_[3] = static_cast<unsigned char>(length);
        expected_ = kTransportHeaderLength + length;
        return RESULT_MORE;
    }
    message_ = std::make_unique<Smb>();
    bool framed = message_->ReceiveFrom(buffer_.release(), expected_, true);
    expected_ = received_ = 0;
    if (!framed || std::memcmp(message_->header, kSmbMark, sizeof kSmbMark) != 0) {
        message_.reset();
        return RESULT_BAD;
    }
    return RESULT_MESSAGE;
}

TSmbRoute RouteSmb(const Smb& message, const SSmbAwaited& awaited, unsigned short* fid) {
    unsigned char command = message.Header().GetCommand();
    // The logon's answers count only while the client waits for them.
    if (command == SMB_COM_NEGOTIATE && awaited.negotiate) {
        return ROUTE_NEGOTIATE;
    }
    if (command == SMB_COM_SESSION_SETUP_ANDX && awaited.sessionSetup) {
        return ROUTE_SESSION_SETUP;
    }
    if (command == SMB_COM_TREE_CONNECT_ANDX && awaited.treeConnect) {
        return ROUTE_TREE_CONNECT;
    }
    if (ParseOplockBreakRequest(message, fid)) {
        return ROUTE_OPLOCK_BREAK;
    }
    // An answer to nothing that was asked means the server and the client no longer agree on what is
    // waiting: every answer from here on could be taken for another's.
    return awaited.requestCommand == command ? ROUTE_ANSWER : ROUTE_OUT_OF_STEP;
}
