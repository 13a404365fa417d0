// The process entry: reads the platform's own options, checks that the resource folder serves, then
// runs the system's start routine with the remaining arguments.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/EventLoop.h"
#include "host/HostPaths.h"
#include "host/ResourceDir.h"
#include "host/SamplePhone.h"
#include "host/StartScreenshot.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/SystemKeyboard.h"

extern int OspMain(int argc, char* argv[]);

namespace {

void PrintHelp() {
    std::printf(
        "usage: corvane [--root DIR] [--no-card] [--fullscreen] [--keypad own|system|auto]\n"
        "               [--screenshot FILE] [--version] [--help]\n"
        "  --root DIR          keep the phone's storage in DIR, a sample phone when DIR is new\n"
        "                      (default: your home folder and removable media)\n"
        "  --no-card           on a new root, lay out the sample phone without a memory card\n"
        "  --fullscreen        fill the screen\n"
        "  --keypad CHOICE     type on the program's own keypad (own), on the system's on-screen\n"
        "                      keyboard (system), or on the system's where one runs (auto, default)\n"
        "  --screenshot FILE   save a picture of the first screen to FILE (PNG) and quit\n"
        "  --version           print the version and quit\n"
        "  --help              print this help and quit\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<char*> rest{argv[0]};
    host::SampleOptions sample;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc) {
            host::SetDataRoot(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-card") == 0) {
            sample.card = false;
        } else if (std::strcmp(argv[i], "--keypad") == 0 && i + 1 < argc) {
            host::KeypadChoice choice;
            if (!host::ParseKeypadChoice(argv[++i], choice)) {
                std::fprintf(stderr, "corvane: --keypad takes own, system or auto\n");
                return 2;
            }
            host::SetKeypadChoice(choice);
        } else if (std::strcmp(argv[i], "--fullscreen") == 0) {
            host::AskFullScreen();
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            host::AskStartScreenshot(argv[++i]);
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("corvane %s\n", CORVANE_VERSION);
            return 0;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            PrintHelp();
            return 0;
        } else {
            rest.push_back(argv[i]);
        }
    }
    const std::string problem = host::ResourceProblem(host::ResDir());
    if (!problem.empty()) {
        std::fprintf(stderr, "corvane: cannot start: %s; the program cannot run without it\n",
                     problem.c_str());
        return 1;
    }
    host::PrepareDataRoot(sample);
    rest.push_back(nullptr);
    int count = static_cast<int>(rest.size()) - 1;
    host::SetArguments(count, rest.data());
    return OspMain(count, rest.data());
}
