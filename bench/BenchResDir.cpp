// Benchmarks lie in their own folder, away from the resource folder beside the program: every benchmark
// binary links this file, which points "/Res/" at the build's resource folder before main runs.

#include "host/HostPaths.h"

namespace {

const bool kResDirSet = [] {
    host::SetResDir(CORVANE_RES_DIR);
    return true;
}();

}  // namespace
