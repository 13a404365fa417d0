#include "net/smb1/Des.h"

#include <nettle/des.h>

struct Des::State {
    des_ctx context;
};

Des::Des() : state_(std::make_unique<State>()) {}

Des::~Des() = default;

void Des::SpreadKey(const unsigned char* key7, unsigned char* key8) {
    key8[0] = key7[0] & 0xFE;
    for (int i = 1; i < 7; ++i) {
        key8[i] = static_cast<unsigned char>(((key7[i - 1] << (8 - i)) | (key7[i] >> i)) & 0xFE);
    }
    key8[7] = static_cast<unsigned char>(key7[6] << 1);
}

void Des::Construct(const unsigned char* key, TKeyForm form) {
    unsigned char key8[DES_KEY_SIZE];
    if (form == KEY_7_BYTES) {
        SpreadKey(key, key8);
    } else {
        for (int i = 0; i < DES_KEY_SIZE; ++i) {
            key8[i] = key[i];
        }
    }
    // The library reports weak keys by its return value but builds their round keys all the same; a
    // password hash may well produce one, and the response must still be computed from it.
    des_set_key(&state_->context, key8);
}

void Des::Encrypt(unsigned char* block) const {
    des_encrypt(&state_->context, DES_BLOCK_SIZE, block, block);
}

void Des::Decrypt(unsigned char* block) const {
    des_decrypt(&state_->context, DES_BLOCK_SIZE, block, block);
}
