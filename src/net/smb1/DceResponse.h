#pragma once
// Collects one DCE/RPC answer read off a named pipe: the server may split it into several fragments, and
// hands each fragment over in as many pieces as the reads ask for. The pieces go in as they come; once the
// fragment marked last is whole, the answer is one packet laid out as if it had come in one fragment (the
// first fragment's header, then every fragment's body in order). The bytes come from the server: fragment
// lengths are checked, and an answer may not grow past a bound. Used on one thread.

#include <vector>

class DceResponse {
public:
    enum TState { STATE_MORE, STATE_DONE, STATE_BAD };

    // The largest answer taken whole.
    static constexpr unsigned int kMaxLength = 1u << 20;

    // Takes the next `count` bytes of the pipe; STATE_MORE while the last fragment is not whole yet.
    TState Add(const unsigned char* bytes, unsigned int count);
    // The answer as one fragment, once Add said STATE_DONE.
    const std::vector<unsigned char>& Packet() const { return packet_; }

private:
    TState state_ = STATE_MORE;
    std::vector<unsigned char> fragment_;  // the fragment being read
    std::vector<unsigned char> packet_;
};
