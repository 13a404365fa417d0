#pragma once
// What the transfer benchmarks share: their test file, the state every timed transfer starts from, the
// private Samba's share as a network folder, and the end of a paste job.

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "net/RemoteFolder.h"
#include "testsupport/SambaServer.h"
#include "transfer/TransferPopup.h"

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

// Points folder at the share of the private Samba on this machine, as its test account, on protocol.
inline void PointAtTestShare(RemoteFolder& folder, TSmbProtocol protocol) {
    using testsupport::SambaServer;
    auto wide = [](const char* text) { return Osp::Base::String(std::wstring(text, text + std::strlen(text))); };
    folder.SetIpAddress(Osp::Base::String(L"127.0.0.1"));
    folder.SetNodeName(wide(SambaServer::kNetbiosName));
    folder.SetShareName(wide(SambaServer::kShare));
    folder.SetUserName(wide(SambaServer::kUser));
    folder.SetPassword(wide(SambaServer::kPassword));
    folder.SetProtocol(protocol);
}

// The end of a paste job, and the answer it gives to every overwrite question.
class EndRecorder : public ITpListener {
public:
    explicit EndRecorder(TransferPopup::TOverwrite answer) : answer_(answer) {}
    void OnTransferEnded(TransferPopup*, unsigned long r, const std::wstring&) override {
        result = r;
        ended = true;
    }
    void OnOverwriteFileA(TransferPopup* popup, const std::wstring&, const std::wstring&) override {
        popup->OverwriteFile(answer_);
    }
    bool ended = false;
    unsigned long result = 0;

private:
    TransferPopup::TOverwrite answer_;
};
