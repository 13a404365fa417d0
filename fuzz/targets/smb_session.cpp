// The session's receiving side: a byte stream cut in pieces of a size the input chooses, framed into
// messages and routed as a session in a state the input also chooses would route them (a step of the
// logon awaited, requests of assorted commands on their way). Each message the session would act on is
// read as the session and its files read it. The stream must never yield a message longer than the
// client takes, a route the state does not allow, or a reader's pointer outside its message; once it is
// out of step, the session stops reading it.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

#include "../FuzzSupport.h"
#include "app/Results.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbRead.h"
#include "net/smb1/SmbReceiver.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbWrite.h"
#include "net/smb1/Trans2Resp.h"

namespace {

const unsigned int kAskedCount = 130048;
const unsigned int kMaxMessage = 131200;
// The commands a request on its way may have.
const unsigned char kCommands[] = {0x04, 0x06, 0x2E, 0x2F, 0xA2, 0x25, 0x32, 0x2B};

void ReadAnswer(const Smb& smb) {
    switch (smb.Header().GetCommand()) {
        case 0x2E: {
            const unsigned char* at = nullptr;
            unsigned int count = 0;
            if (ParseReadResponse(smb, kAskedCount, &at, &count) == RES_OK && count > 0) {
                FUZZ_CHECK(Inside(at, count, smb.header, smb.GetSize()));
            }
            break;
        }
        case 0x2F: {
            unsigned int count = 0;
            if (ParseWriteResponse(smb, kAskedCount, &count) == RES_OK) {
                FUZZ_CHECK(count <= kAskedCount);
            }
            break;
        }
        case 0xA2: {
            unsigned short fid = 0;
            unsigned long long size = 0;
            ParseNtCreateResponse(smb, &fid, &size);
            break;
        }
        case 0x25:
        case 0x32: {
            unsigned int length = 0;
            const unsigned char* bytes = smb.GetBuffer(&length);
            Smb* copy = new Smb;
            copy->ReceiveFrom(bytes, length, false);
            Trans2Resp resp;
            if (resp.FromSmb(copy) == RES_OK && resp.GetData() != nullptr) {
                FUZZ_CHECK(Inside(resp.GetData(), resp.GetDataCount(), smb.header, smb.GetSize()));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    // The input's first bytes: the pieces' size (0: all at once), the logon step awaited, and which
    // commands the requests under multiplex ids 1 to 8 have.
    std::size_t piece = data[0] == 0 ? size : data[0];
    SSmbAwaited awaited;
    awaited.negotiate = (data[1] & 1) != 0;
    awaited.sessionSetup = (data[1] & 2) != 0;
    awaited.treeConnect = (data[1] & 4) != 0;
    std::map<unsigned short, unsigned char> inFlight;
    for (unsigned short mid = 1; mid <= 8; ++mid) {
        if ((data[2] >> (mid - 1)) & 1) {
            inFlight[mid] = kCommands[(mid + data[1]) % sizeof kCommands];
        }
    }
    data += 3;
    size -= 3;

    SmbReceiver receiver;
    receiver.Reset(kMaxMessage);
    std::size_t at = 0;
    while (at < size) {
        unsigned int room = 0;
        unsigned char* space = receiver.Space(&room);
        FUZZ_CHECK(room > 0);
        std::size_t n = std::min<std::size_t>({room, piece, size - at});
        std::memcpy(space, data + at, n);
        at += n;
        SmbReceiver::TResult result = receiver.Received(static_cast<unsigned int>(n));
        if (result == SmbReceiver::RESULT_BAD) {
            return 0;  // the connection fails; nothing more is read
        }
        if (result == SmbReceiver::RESULT_MORE) {
            continue;
        }
        std::unique_ptr<Smb> message = receiver.TakeMessage();
        FUZZ_CHECK(message != nullptr && message->GetSize() <= kMaxMessage);
        auto request = inFlight.find(message->Header().GetMid());
        awaited.requestCommand = request != inFlight.end() ? request->second : -1;
        unsigned short fid = 0;
        switch (RouteSmb(*message, awaited, &fid)) {
            case ROUTE_NEGOTIATE: {
                FUZZ_CHECK(awaited.negotiate);
                SNegotiateInfo info;
                ParseNegotiateResponse(*message, &info);
                awaited.negotiate = false;
                break;
            }
            case ROUTE_SESSION_SETUP:
                FUZZ_CHECK(awaited.sessionSetup);
                IsGuestLogon(*message);
                awaited.sessionSetup = false;
                break;
            case ROUTE_TREE_CONNECT:
                FUZZ_CHECK(awaited.treeConnect);
                awaited.treeConnect = false;
                break;
            case ROUTE_OPLOCK_BREAK:
                FUZZ_CHECK(message->Header().GetMid() == 0xFFFF);
                break;
            case ROUTE_ANSWER:
                FUZZ_CHECK(request != inFlight.end() && request->second == message->Header().GetCommand());
                ReadAnswer(*message);
                inFlight.erase(request);
                break;
            case ROUTE_OUT_OF_STEP:
                return 0;
        }
    }
    return 0;
}
