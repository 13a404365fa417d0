#pragma once
// What the transfer benchmarks share: their test file and the state every timed transfer starts from.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

// A file of bytes random-like enough that nothing on the way can compress them, the same in every run.
inline void WriteRandomFile(const std::string& path, size_t bytes) {
    std::mt19937_64 generator(42);
    std::vector<unsigned long long> block(1 << 17);
    std::ofstream out(path, std::ios::binary);
    for (size_t written = 0; written < bytes;) {
        for (auto& v : block) {
            v = generator();
        }
        const size_t n = std::min(bytes - written, block.size() * sizeof(block[0]));
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
        written += n;
    }
}

// Every timed transfer starts alike: its target does not exist (so that no transfer pays for cutting off
// the last round's copy) and nothing written before is still on its way to a disk.
inline void Settle(const std::string& target) {
    std::filesystem::remove(target);
    ::sync();
}
