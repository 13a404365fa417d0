#pragma once
// The MD4 message digest, for the NTLM password hash. Feed the message in any number of pieces with Add,
// then GetHash; Initialize starts over. One object per computation, on one thread at a time.

#include <memory>

class Md4 {
public:
    Md4();
    ~Md4();
    Md4(const Md4&) = delete;
    Md4& operator=(const Md4&) = delete;

    void Initialize();
    void Add(const unsigned char* data, unsigned int length);
    // Writes the 16-byte digest of everything added since the last Initialize, then starts over.
    void GetHash(unsigned char* out16);

private:
    struct State;
    std::unique_ptr<State> state_;
};
