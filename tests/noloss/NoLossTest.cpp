// The randomized no-loss test: a user plays copy, cut, paste, rename, new folder and delete over the
// private files, the phone memory, the memory card, a Samba share through both clients and an archive,
// restores from the trash and deletes there for good, and after every step no byte the user did not
// delete may be gone (a delete into the trash deletes nothing yet).
//
// Fixed seeds run with the other tests. From the environment:
//   CORVANE_SOAK_MINUTES=n   new seeds, one after the other, for n minutes (`make soak MINUTES=n`);
//   CORVANE_SOAK_SEED=s      that seed alone (with CORVANE_SOAK_STEPS=k steps, 40 by default);
//   CORVANE_SOAK_SCRIPT=f    the steps of a script a failing run wrote, on the trees of CORVANE_SOAK_SEED;
//   CORVANE_SOAK_ENABLE=no-mounts  no full card and no read-only folder (they need a mount);
// The run in a namespace of its own also gives up root's right to read every file, so that a file without
// read permission refuses the program and the server as it would refuse a user.
//   CORVANE_SOAK_VERBOSE=1   every seed's steps and how they went, also when nothing was found.

#include <execinfo.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "SoakFaults.h"
#include "SoakPermissions.h"
#include "SoakSession.h"

namespace {

using soak::Figures;
using soak::SeedResult;
using soak::Session;
using soak::Step;
using soak::Switches;

constexpr int kFixedSteps = 50;
constexpr int kStepDeadlineMs = 120000;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? "" : value;
}

// A crash is a finding too: its stack goes to the output before the process ends, beside the script.
void PrintStackAndDie(int signal) {
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, count, STDERR_FILENO);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

class NoLossTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE}) {
            ::signal(signal, PrintStackAndDie);
        }
    }

    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    // The server, started on first use: a test that runs itself in a namespace of its own needs none.
    static testsupport::SambaServer* Server() {
        if (server_ == nullptr) {
            server_ = new testsupport::SambaServer;
            if (!server_->Start(&startError_)) {
                delete server_;
                server_ = nullptr;
            }
        }
        return server_;
    }

    // Runs the current test again in a private mount namespace, where the full card and the read-only
    // folders can be real mounts; true when it did so (and its result is this test's).
    static bool RerunInPrivateNamespace() {
        if (soak::InPrivateMountNamespace()) {
            if (!soak::ObeyPermissions()) {
                std::cout << "the refused read is skipped: this process may not give up root's right to read "
                             "every file"
                          << std::endl;
            }
            return false;
        }
        if (testsupport::RunCommand("unshare -m --propagation private true") != 0) {
            std::cout << "the full card and read-only faults are skipped: this process may not make a mount "
                         "namespace of its own (unshare -m failed)"
                      << std::endl;
            return false;
        }
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string command = std::string(soak::kPrivateNamespaceMark) +
                                    "=1 unshare -m --propagation private '" +
                                    std::filesystem::read_symlink("/proc/self/exe").string() +
                                    "' --gtest_filter='" + test->test_suite_name() + "." + test->name() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return true;
    }

    // Plays the seed and reports its findings with the script that replays it.
    static void PlaySeed(uint64_t seed, int steps, const std::vector<Step>& script, Figures* figures) {
        testsupport::SambaServer* server = Server();
        ASSERT_NE(server, nullptr) << startError_;
        Session session(*server, Switches::FromText(Env("CORVANE_SOAK_ENABLE")), kStepDeadlineMs);
        const SeedResult result = session.Play(seed, steps, script, figures);
        if (!Env("CORVANE_SOAK_VERBOSE").empty()) {
            for (const std::string& line : result.script) {
                std::cout << seed << ": " << line << "\n";
            }
        }
        if (!result.findings.empty()) {
            const std::string file = soak::WriteScript(seed, result.script);
            std::string report = "seed " + std::to_string(seed) + " failed after " +
                                 std::to_string(result.script.size()) + " steps:\n";
            for (const std::string& finding : result.findings) {
                report += "  " + finding + "\n";
            }
            report += "steps:\n";
            for (const std::string& line : result.script) {
                report += "  " + line + "\n";
            }
            report += "replay: CORVANE_SOAK_SEED=" + std::to_string(seed) + " CORVANE_SOAK_SCRIPT=" + file +
                      " build/tests/test_noloss --gtest_filter='NoLossTest.Replay'\n";
            ADD_FAILURE() << report;
        }
    }

    static void PrintFigures(const Figures& figures, double minutes) {
        std::cout << "no-loss figures: " << figures.seeds << " seeds, " << figures.steps << " steps, "
                  << figures.faults << " faults injected, " << figures.cancels << " jobs cancelled, "
                  << figures.filesChecked << " files checked, " << figures.findings << " findings in "
                  << minutes << " minutes" << std::endl;
    }

private:
    static inline testsupport::SambaServer* server_ = nullptr;
    static inline std::string startError_;
};

TEST_F(NoLossTest, FixedSeedsLoseNothing) {
    if (RerunInPrivateNamespace()) {
        return;
    }
    Figures figures;
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t seed : {11u, 23u, 37u}) {
        SCOPED_TRACE(seed);
        PlaySeed(seed, kFixedSteps, {}, &figures);
    }
    PrintFigures(figures,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60);
}

TEST_F(NoLossTest, NewSeedsForTheMinutesAsked) {
    const std::string minutesText = Env("CORVANE_SOAK_MINUTES");
    const std::string seedText = Env("CORVANE_SOAK_SEED");
    if (minutesText.empty() && (seedText.empty() || !Env("CORVANE_SOAK_SCRIPT").empty())) {
        GTEST_SKIP() << "set CORVANE_SOAK_MINUTES or CORVANE_SOAK_SEED (make soak MINUTES=n)";
    }
    if (RerunInPrivateNamespace()) {
        return;
    }
    const std::string stepsText = Env("CORVANE_SOAK_STEPS");
    const int steps = stepsText.empty() ? 40 : std::stoi(stepsText);
    Figures figures;
    const auto start = std::chrono::steady_clock::now();
    auto minutes = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60;
    };
    if (!seedText.empty()) {
        PlaySeed(std::stoull(seedText), steps, {}, &figures);
    } else {
        const double budget = std::stod(minutesText);
        uint64_t seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        while (minutes() < budget && figures.findings == 0) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            std::cout << "seed " << seed << ", its steps in " << soak::ScriptPath(seed) << std::endl;
            PlaySeed(seed, steps, {}, &figures);
        }
    }
    PrintFigures(figures, minutes());
}

TEST_F(NoLossTest, Replay) {
    const std::string path = Env("CORVANE_SOAK_SCRIPT");
    if (path.empty()) {
        GTEST_SKIP() << "set CORVANE_SOAK_SCRIPT and CORVANE_SOAK_SEED to replay a failing run";
    }
    if (RerunInPrivateNamespace()) {
        return;
    }
    std::vector<Step> script;
    ASSERT_TRUE(soak::ReadScript(path, &script)) << path;
    ASSERT_FALSE(script.empty()) << path;
    Figures figures;
    PlaySeed(std::stoull(Env("CORVANE_SOAK_SEED")), 0, script, &figures);
    PrintFigures(figures, 0);
}

}  // namespace
