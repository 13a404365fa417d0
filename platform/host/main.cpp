// The process entry: reads the platform's own options, then runs the system's start routine with the
// remaining arguments.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/EventLoop.h"
#include "host/HostPaths.h"
#include "host/SamplePhone.h"

extern int OspMain(int argc, char* argv[]);

int main(int argc, char* argv[]) {
    std::vector<char*> rest{argv[0]};
    host::SampleOptions sample;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc) {
            host::SetDataRoot(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-card") == 0) {
            sample.card = false;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(
                "usage: corvane [--root DIR] [--no-card]\n"
                "  --root DIR   the phone's storage (default $XDG_DATA_HOME/corvane)\n"
                "  --no-card    on a new root, lay out the sample phone without a memory card\n");
            return 0;
        } else {
            rest.push_back(argv[i]);
        }
    }
    host::PrepareDataRoot(sample);
    rest.push_back(nullptr);
    int count = static_cast<int>(rest.size()) - 1;
    host::SetArguments(count, rest.data());
    return OspMain(count, rest.data());
}
