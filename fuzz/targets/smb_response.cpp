// A received SMB message: framing, then the reading the session and the browser do by command. Every
// pointer a reader hands back must lie inside the received bytes, and every count must fit what was asked.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "app/Results.h"
#include "net/smb1/Smb.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbOplockBreak.h"
#include "net/smb1/SmbRead.h"
#include "net/smb1/SmbWrite.h"
#include "net/smb1/Trans2Resp.h"

namespace {

const unsigned int kAskedCount = 61440;

void CheckTransaction(const Smb& received, const unsigned char* start, std::size_t length) {
    Smb* copy = new Smb;
    copy->ReceiveFrom(start, static_cast<unsigned int>(length), false);
    Trans2Resp resp;
    if (resp.FromSmb(copy) != RES_OK) {
        FUZZ_CHECK(resp.GetParams() == nullptr && resp.GetData() == nullptr);
        return;
    }
    if (resp.GetParams()) {
        FUZZ_CHECK(Inside(resp.GetParams(), resp.GetParamCount(), received.header, received.GetSize()));
    }
    if (resp.GetData()) {
        FUZZ_CHECK(Inside(resp.GetData(), resp.GetDataCount(), received.header, received.GetSize()));
    }
    if (resp.GetSetup()) {
        FUZZ_CHECK(
            Inside(resp.GetSetup(), 2u * resp.GetSetupCount(), received.words, 2u * received.wordCount));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Smb smb;
    if (!smb.ReceiveFrom(data, static_cast<unsigned int>(size), false)) {
        return 0;
    }
    FUZZ_CHECK(smb.GetSize() + 4 <= size);
    if (smb.words) {
        FUZZ_CHECK(Inside(smb.words, 2u * smb.wordCount, data, size));
    }
    if (smb.bytes) {
        FUZZ_CHECK(Inside(smb.bytes, smb.byteCount, data, size));
    }
    switch (smb.Header().GetCommand()) {
        case SMB_COM_NEGOTIATE: {
            SNegotiateInfo info;
            if (ParseNegotiateResponse(smb, &info) == RES_OK) {
                FUZZ_CHECK(info.challenge.size() + 2 * info.domain.size() <= smb.byteCount);
            }
            break;
        }
        case SMB_COM_READ_ANDX: {
            const unsigned char* at = nullptr;
            unsigned int count = 0;
            if (ParseReadResponse(smb, kAskedCount, &at, &count) == RES_OK && count > 0) {
                FUZZ_CHECK(count <= kAskedCount);
                FUZZ_CHECK(Inside(at, count, smb.header, smb.GetSize()));
            }
            break;
        }
        case SMB_COM_WRITE_ANDX: {
            unsigned int count = 0;
            if (ParseWriteResponse(smb, kAskedCount, &count) == RES_OK) {
                FUZZ_CHECK(count <= kAskedCount);
            }
            break;
        }
        case SMB_COM_NT_CREATE_ANDX: {
            unsigned short fid = 0;
            unsigned long long endOfFile = 0;
            if (ParseNtCreateResponse(smb, &fid, &endOfFile) == RES_OK) {
                FUZZ_CHECK(smb.wordCount >= 32);
            }
            break;
        }
        case SMB_COM_LOCKING_ANDX: {
            unsigned short fid = 0;
            if (ParseOplockBreakRequest(smb, &fid)) {
                FUZZ_CHECK(smb.wordCount >= 8 && smb.Header().GetMid() == 0xFFFF);
            }
            break;
        }
        default:
            // Transactions are tried whatever the command, so the fuzzer need not find 0x25 or 0x32 first.
            CheckTransaction(smb, data, size);
            break;
    }
    return 0;
}
