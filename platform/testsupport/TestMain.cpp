// The main of every test binary: Qt's application object exists before any test runs, so that timers,
// widgets and the platform's event loop work in every test.

#include <gtest/gtest.h>

#include "host/EventLoop.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    host::SetArguments(argc, argv);
    host::EnsureQtApplication();
    return RUN_ALL_TESTS();
}
