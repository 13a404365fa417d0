#pragma once
// Plays one seed of the no-loss test: makes its trees on a fresh phone and in the share, starts the
// application, registers the share as two network folders (one per client), and takes the steps (chosen
// from the seed, or read from a script) through the player, asking the oracle after each one. Stops at
// the first step with findings. Needs a running Samba; one thread.

#include <cstdint>
#include <string>
#include <vector>

#include "SoakPlan.h"
#include "SoakStep.h"
#include "testsupport/SambaServer.h"

namespace soak {

class Faults;
class Oracle;
class Player;

// What a run did, for the figures printed at its end.
struct Figures {
    uint64_t seeds = 0;
    uint64_t steps = 0;
    uint64_t faults = 0;
    uint64_t cancels = 0;
    uint64_t filesChecked = 0;
    uint64_t findings = 0;
};

struct SeedResult {
    std::vector<std::string> findings;
    // The steps taken, one line each; with the seed they replay the run.
    std::vector<std::string> script;
};

class Session {
public:
    // deadlineMs bounds each step.
    Session(testsupport::SambaServer& server, Switches switches, int deadlineMs)
        : server_(server), switches_(switches), deadlineMs_(deadlineMs) {}

    // Takes `steps` steps chosen from the seed, or the script's steps when script is not empty.
    SeedResult Play(uint64_t seed, int steps, const std::vector<Step>& script, Figures* figures);

private:
    // Takes one step and asks the oracle; findings and the step's outcome go into result.
    void TakeStep(const Step& step, Player& player, Planner& planner, Oracle& oracle, Faults& faults,
                  Figures* figures, SeedResult* result);

    testsupport::SambaServer& server_;
    Switches switches_;
    int deadlineMs_;
};

// Reads a script file written by WriteScript; false when a line is not a step.
bool ReadScript(const std::string& path, std::vector<Step>* steps);
// The script file of a seed, in the temporary folder; a seed's steps go there as they are taken.
std::string ScriptPath(uint64_t seed);
// Writes the script to a file named after the seed in the temporary folder and returns its path.
std::string WriteScript(uint64_t seed, const std::vector<std::string>& script);

}  // namespace soak
