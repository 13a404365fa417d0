#include "app/Wipe.h"

#include <atomic>

void WipeBytes(void* data, std::size_t size) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        p[i] = 0;
    }
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

namespace {

template <typename S>
void WipeString(S& text) {
    // A short string lives inside the object; a long one on the heap. Both hold capacity() characters.
    text.resize(text.capacity());
    WipeBytes(text.data(), text.size() * sizeof(typename S::value_type));
    text.clear();
}

}  // namespace

void Wipe(std::wstring& text) {
    WipeString(text);
}

void Wipe(std::vector<unsigned char>& bytes) {
    bytes.resize(bytes.capacity());
    WipeBytes(bytes.data(), bytes.size());
    bytes.clear();
}
