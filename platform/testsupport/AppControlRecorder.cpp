#include "testsupport/AppControlRecorder.h"

namespace testsupport {

AppControlRecorder::AppControlRecorder() {
    host::SetAppControlOpener([this](const host::AppControlLaunch& launch) { launches_.push_back(launch); });
}

AppControlRecorder::~AppControlRecorder() {
    host::SetAppControlOpener({});
}

}  // namespace testsupport
