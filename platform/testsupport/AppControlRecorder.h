#pragma once
// Catches the application controls that the code under test starts, instead of opening anything on the
// desktop, for as long as the recorder exists. One recorder at a time; user-interface thread.

#include <vector>

#include "host/AppControlOpener.h"

namespace testsupport {

class AppControlRecorder {
public:
    AppControlRecorder();
    ~AppControlRecorder();
    AppControlRecorder(const AppControlRecorder&) = delete;
    AppControlRecorder& operator=(const AppControlRecorder&) = delete;

    // Every start, oldest first: the control, the operation, the arguments and the address opened.
    const std::vector<host::AppControlLaunch>& Launches() const { return launches_; }

private:
    std::vector<host::AppControlLaunch> launches_;
};

}  // namespace testsupport
