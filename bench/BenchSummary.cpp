#include "BenchSummary.h"

#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

void Append(const std::string& work, double figure, const std::string& target, bool met) {
    const char* path = std::getenv("CORVANE_BENCH_SUMMARY");
    if (path == nullptr || *path == '\0') {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\t%.2f\t%s\t%s\n", work.c_str(), figure, target.c_str(),
                     met ? "met" : "MISSED");
        std::fclose(file);
    }
}

std::string Figure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

bool RecordRow(const std::string& work, double ratio, Better better, double target) {
    const bool met = better == Better::Lower ? ratio <= target : ratio >= target;
    Append(work, ratio, (better == Better::Lower ? "<= " : ">= ") + Figure(target), met);
    return met;
}

bool RecordRange(const std::string& work, double figure, double lowest, double highest) {
    const bool met = figure >= lowest && figure <= highest;
    Append(work, figure, Figure(lowest) + "-" + Figure(highest), met);
    return met;
}

}  // namespace bench
