#pragma once
// A view of the 32-byte SMB header inside a message's buffer. It owns nothing; the message must outlive
// it. Requests are written through it; the getters read a received header, whose 32 bytes the message's
// framing check has already found present.

inline constexpr unsigned int kSmbHeaderLength = 32;
inline constexpr unsigned char SMB_FLAGS_REQUEST = 0x18;
inline constexpr unsigned short SMB_FLAGS2_REQUEST = 0xC043;
inline constexpr unsigned short SMB_FLAGS2_NT_STATUS = 0x4000;

class SmbHeader {
public:
    explicit SmbHeader(unsigned char* bytes) : bytes_(bytes) {}

    // Zero-fills the header and writes the protocol mark, the command and the request flags.
    void ConstructRequest(unsigned char command);
    void SetTid(unsigned short tid);
    void SetPid(unsigned short pid);
    void SetUid(unsigned short uid);
    void SetMid(unsigned short mid);
    void SetFlags2(unsigned short flags2);

    unsigned char GetCommand() const;
    unsigned short GetFlags2() const;
    // The NT status; failures have the top bit set. A server that does not speak NT status (flags2 without
    // SMB_FLAGS2_NT_STATUS) answers with an error class and code, which are given as the NT status they
    // stand for; every error class but 0 is a failure.
    unsigned int GetStatus() const;
    bool IsFailure() const { return (GetStatus() & 0x80000000u) != 0; }
    unsigned short GetTid() const;
    unsigned short GetPid() const;
    unsigned short GetUid() const;
    unsigned short GetMid() const;

private:
    unsigned char* bytes_;
};
