#include "net/smb1/Md4.h"

#include <nettle/md4.h>

struct Md4::State {
    md4_ctx context;
};

Md4::Md4() : state_(std::make_unique<State>()) {
    Initialize();
}

Md4::~Md4() = default;

void Md4::Initialize() {
    md4_init(&state_->context);
}

void Md4::Add(const unsigned char* data, unsigned int length) {
    md4_update(&state_->context, length, data);
}

void Md4::GetHash(unsigned char* out16) {
    md4_digest(&state_->context, MD4_DIGEST_SIZE, out16);
}
