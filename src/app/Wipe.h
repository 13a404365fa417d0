#pragma once
// Overwriting secrets that our own buffers held (typed passwords, their encodings, derived keys) before
// the memory goes back to the allocator. The writes go through volatile pointers so that the compiler
// cannot drop them as dead stores. Any thread may call these on memory it owns.

#include <cstddef>
#include <string>
#include <vector>

void WipeBytes(void* data, std::size_t size);
// The whole capacity is overwritten, so that characters beyond a shortened string's end go too; the
// string is left empty.
void Wipe(std::wstring& text);
void Wipe(std::vector<unsigned char>& bytes);

// Holds a secret of type T and wipes it when it goes out of scope.
template <typename T>
class Wiped {
public:
    Wiped() = default;
    explicit Wiped(T value) : value_(std::move(value)) {}
    ~Wiped() { Wipe(value_); }
    Wiped(const Wiped&) = delete;
    Wiped& operator=(const Wiped&) = delete;

    T& operator*() { return value_; }
    const T& operator*() const { return value_; }
    T* operator->() { return &value_; }
    const T* operator->() const { return &value_; }

private:
    T value_;
};
