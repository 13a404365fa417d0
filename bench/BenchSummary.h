// One table for the whole benchmark run: each benchmark records its headline rows here, and
// scripts/bench.sh prints every recorded row at the end of `make bench`.
//
// A row names the work, gives our figure against the peer's as a ratio (ours / theirs for times,
// ours / theirs for throughputs too, with the direction saying which way is better) and the target. Rows
// are appended, one tab-separated line each, to the file named by CORVANE_BENCH_SUMMARY; without that
// variable nothing is written and the benchmark still prints its own detailed report.
#pragma once

#include <string>

namespace bench {

enum class Better { Lower, Higher };

// Records one row and returns whether the target was met.
bool RecordRow(const std::string& work, double ratio, Better better, double target);

// Records a figure that must lie between two bounds (a cost that is deliberate, like a password hash's).
bool RecordRange(const std::string& work, double figure, double lowest, double highest);

}  // namespace bench
