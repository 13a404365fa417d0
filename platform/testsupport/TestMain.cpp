// The main of every test binary: Qt's application object exists before any test runs, so that timers,
// widgets and the platform's event loop work in every test.

#include <signal.h>

#include <gtest/gtest.h>

#include "host/EventLoop.h"

// Fontconfig keeps its pattern and character-set caches for the life of the process, and Qt's font
// database never frees them; the leak checker of sanitizer builds would report them at exit. Only that
// library's allocations are suppressed, so a leak in our own code still fails the run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    host::SetArguments(argc, argv);
    // The tests' own servers write to sockets that the client under test may have closed: that is a
    // failed write for them to see, never a signal that ends the whole run.
    ::signal(SIGPIPE, SIG_IGN);
    host::EnsureQtApplication();
    return RUN_ALL_TESTS();
}
