// The main of every test binary: Qt's application object exists before any test runs, so that timers,
// widgets and the platform's event loop work in every test.

#include <signal.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/EventLoop.h"
#include "host/HostPaths.h"

// Fontconfig keeps its pattern and character-set caches for the life of the process, and Qt's font
// database never frees them; Samba's client library sets its log file's name afresh for every new
// context without freeing the old one (116 bytes a connection, from its own allocator, whose frames the
// leak checker cannot follow further). The leak checker of sanitizer builds would report them at exit.
// Only those libraries' allocations are suppressed (nothing of ours allocates through Samba's
// allocator; a client context we forgot to free is plain heap and still reported), so a leak in our own
// code still fails the run. GLib keeps its type system and the keyring client's proxies for the life of the
// process, from its own allocator whose frames the checker cannot follow either; a GLib object we forgot
// to free is hidden with them, the price of a sanitizer run that the keyring tests can pass.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libtalloc.so\nleak:libglib-2.0.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    host::SetArguments(argc, argv);
    host::SetResDir(CORVANE_RES_DIR);
    // The tests' own servers write to sockets that the client under test may have closed: that is a
    // failed write for them to see, never a signal that ends the whole run.
    ::signal(SIGPIPE, SIG_IGN);
    // No test may store its passwords in the keyring of the desktop it runs on: the keyring tests start
    // a session bus of their own, and every other test runs as in a session without a keyring.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    // Deleting moves files to the trash of the data home: no test may fill the trash of the user who runs
    // it. Tests that need a data home of their own set one; the rest share this one, gone at the end.
    char dataHome[] = "/tmp/corvane-test-data-XXXXXX";
    const bool ownDataHome = ::mkdtemp(dataHome) != nullptr;
    if (ownDataHome) {
        ::setenv("XDG_DATA_HOME", dataHome, 1);
    }
    host::EnsureQtApplication();
    const int result = RUN_ALL_TESTS();
    if (ownDataHome) {
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }
    return result;
}
