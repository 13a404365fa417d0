#include "SoakSession.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "SoakFaults.h"
#include "SoakOracle.h"
#include "SoakPermissions.h"
#include "SoakPlayer.h"
#include "SoakTrees.h"
#include "net/RemoteFolder.h"
#include "net/smb1/SmbSession.h"
#include "testsupport/UiDriver.h"

namespace soak {

namespace fs = std::filesystem;

namespace {

// A network folder of the application for the share, through one client.
unsigned int AddRemoteFolder(TSmbProtocol protocol) {
    auto* folder = new RemoteFolder;
    folder->SetNewId();
    folder->SetNodeName(Osp::Base::String(Wide(testsupport::SambaServer::kNetbiosName)));
    folder->SetIpAddress(Osp::Base::String(L"127.0.0.1"));
    folder->SetShareName(Osp::Base::String(Wide(testsupport::SambaServer::kShare)));
    folder->SetUserName(Osp::Base::String(Wide(testsupport::SambaServer::kUser)));
    folder->SetPassword(Osp::Base::String(Wide(testsupport::SambaServer::kPassword)));
    folder->SetProtocol(protocol);
    Corvane::GetMyInstance()->OnNewFolderAdded(folder);
    return folder->GetId();
}

std::string Describe(const Outcome& outcome) {
    std::string text = outcome.reached ? "done" : "not reached";
    text += outcome.cancelled ? ", cancelled" : "";
    text += outcome.faulted ? ", fault injected" : "";
    text += outcome.questions > 0 ? ", " + std::to_string(outcome.questions) + " questions" : "";
    for (const std::wstring& box : outcome.boxes) {
        // A script keeps a step to a line: the box's line breaks are written as " / ".
        std::string line = Utf8(box);
        for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at)) {
            line.replace(at, 1, " / ");
        }
        text += "; box: " + line;
    }
    return text;
}

// Gives the program a data home of its own while it lives, and puts the one before back.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const std::string& folder) {
        const char* old = ::getenv("XDG_DATA_HOME");
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~ScopedDataHome() {
        if (had_) {
            ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

}  // namespace

SeedResult Session::Play(uint64_t seed, int steps, const std::vector<Step>& script, Figures* figures) {
    SeedResult result;
    PhoneRoot root;
    root.KeyringAbsenceAlreadyTold();
    const std::string dataRoot = root.Host("").substr(0, root.Host("").size() - 1);
    const HostPlaces places(dataRoot, server_.ShareDir());
    // The home trash lies in this seed's data root, on its file system, where the oracle reads it.
    const ScopedDataHome dataHome(places.DataHome());
    char pattern[] = "/tmp/corvane-sentinel-XXXXXX";
    const std::string sentinel = std::string(::mkdtemp(pattern)) + "/sentinel";
    fs::remove_all(places.Root(Storage::kShare));
    Faults faults(server_, places, InPrivateMountNamespace());
    Switches switches = switches_;
    if (!faults.CanMount() || (switches.cardFull && !faults.MountCard(root.Host("Storagecard/Media")))) {
        switches.cardFull = false;
        switches.readOnly = false;
    }
    switches.unreadable = switches.unreadable && PermissionsObeyed();
    TreeFacts facts;
    std::string error;
    if (!MakeTrees(seed, places, sentinel, &facts, &error)) {
        result.findings.push_back(error);
        return result;
    }
    Oracle oracle(places, sentinel, facts);
    oracle.Start();
    Planner planner(seed, facts, switches);
    std::ofstream(ScriptPath(seed)) << "# seed " << seed << "\n";
    const int count = script.empty() ? steps : static_cast<int>(script.size());
    ++figures->seeds;
    const uint64_t checkedBefore = oracle.FilesChecked();

    const bool ran = CorvaneLoop::Run(
        [&] {
            {
                testsupport::UiDriver ui;
                SmbSession::SetServerPort(server_.Port());
                const std::map<Place, unsigned int> remotes = {
                    {Place::kSmb1, AddRemoteFolder(SMB_PROTOCOL_SMB1)},
                    {Place::kSmb3, AddRemoteFolder(SMB_PROTOCOL_SMB2)}};
                Player player(ui, remotes, deadlineMs_);
                for (int i = 0; i < count && result.findings.empty(); ++i) {
                    const Step step =
                        script.empty() ? planner.Next(oracle.Last()) : script[static_cast<size_t>(i)];
                    result.script.push_back(step.ToLine());
                    // Written before the step is taken, so that a run that crashes leaves its script.
                    std::ofstream(ScriptPath(seed), std::ios::app) << step.ToLine() << "\n";
                    TakeStep(step, player, planner, oracle, faults, figures, &result);
                }
                // The network folders go as the user removes them, while the screens they report to are
                // still there: the driver takes every form away when it ends.
                for (const auto& [place, id] : remotes) {
                    Corvane& app = *Corvane::GetMyInstance();
                    app.OnFolderDeleted(app.GetFolderById(static_cast<int>(id)));
                }
            }
            CorvaneLoop::Quit();
        },
        (count + 2) * deadlineMs_);
    if (!ran) {
        result.findings.push_back("the run did not end in time");
    }
    figures->filesChecked += oracle.FilesChecked() - checkedBefore;
    figures->findings += result.findings.size();
    // The read-only mounts go before the trees they cover.
    faults.Inject(Fault::kWritable, "", &error);
    faults.Inject(Fault::kReadable, "", &error);
    std::error_code ignored;
    fs::remove_all(fs::path(sentinel).parent_path(), ignored);
    fs::remove_all(places.Root(Storage::kShare), ignored);
    return result;
}

void Session::TakeStep(const Step& step, Player& player, Planner& planner, Oracle& oracle, Faults& faults,
                       Figures* figures, SeedResult* result) {
    // What the step may remove by the user's will, read before it runs.
    const Snapshot& before = oracle.Last();
    const std::string destination = FolderKey(step.place, step.folder);
    const bool foldCase = StorageOf(step.place) == Storage::kShare;
    std::map<std::string, uint64_t> delivered;
    // A delete in the phone's places moves into the trash, where the oracle still finds every byte; only
    // what the user then agreed to delete for good may go. On the share a delete is for good.
    const bool toTrash = step.kind == Step::DELETE && StorageOf(step.place) != Storage::kShare;
    if (step.kind == Step::DELETE && !toTrash) {
        for (const std::string& item : step.items) {
            oracle.MayRemove(Join(destination, item));
        }
    }
    if (step.kind == Step::ERASE && !step.items.empty()) {
        for (const std::string& key : TrashKeys(before, step.items[0])) {
            oracle.MayRemove(key);
        }
    }
    if (step.kind == Step::PASTE && planner.GetClip().filled) {
        delivered = planner.ClipFiles(before);
        for (Answer answer : step.answers) {
            if (answer == Answer::kYes || answer == Answer::kYesToAll) {
                for (const std::string& key : planner.Replaceable(before, destination, foldCase)) {
                    oracle.MayRemove(key);
                }
                break;
            }
        }
    }
    Outcome outcome;
    std::string error;
    if (step.kind == Step::FAULT) {
        const bool ofFile = step.fault == Fault::kUnreadable && !step.items.empty();
        outcome.reached =
            faults.Inject(step.fault, ofFile ? Join(destination, step.items[0]) : destination, &error);
        outcome.faulted = outcome.reached;
        if (!outcome.reached) {
            outcome.boxes.push_back(L"fault not injected|" + Wide(error));
        }
    } else {
        outcome = player.Take(step, [&] { faults.ServerDown(); });
    }
    if (toTrash) {
        for (const std::wstring& box : outcome.boxes) {
            if (box.find(L"Delete it permanently?") != std::wstring::npos ||
                box.find(L"Delete them permanently?") != std::wstring::npos) {
                for (const std::string& item : step.items) {
                    oracle.MayRemove(Join(destination, item));
                }
            }
        }
    }
    ++figures->steps;
    figures->faults += outcome.faulted ? 1 : 0;
    figures->cancels += outcome.cancelled ? 1 : 0;
    planner.Taken(step, outcome.reached, outcome.PasteSucceeded());
    result->script.back() += "    # " + Describe(outcome);
    if (outcome.hung) {
        result->findings.push_back("the step did not end within " + std::to_string(deadlineMs_ / 1000) +
                                   " s: " + step.ToLine());
    }
    for (const std::string& finding : oracle.Check(faults.ShareReachable())) {
        result->findings.push_back(finding);
    }
    if (step.kind == Step::PASTE && outcome.PasteSucceeded()) {
        for (const std::string& finding : oracle.CheckArrived(delivered, destination, foldCase)) {
            result->findings.push_back(finding);
        }
    }
    if (!faults.ShareReachable()) {
        oracle.ForgiveShareTemporaries();
        if (!faults.ServerBack(&error)) {
            result->findings.push_back("the server did not start again: " + error);
        }
    }
}

bool ReadScript(const std::string& path, std::vector<Step>* steps) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        // What follows the step is how it went when the script was written.
        const size_t note = line.find("    # ");
        if (note != std::string::npos) {
            line.erase(note);
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        Step step;
        if (!Step::Parse(line, &step)) {
            return false;
        }
        steps->push_back(step);
    }
    return true;
}

std::string ScriptPath(uint64_t seed) {
    return (fs::temp_directory_path() / ("corvane-soak-" + std::to_string(seed) + ".script")).string();
}

std::string WriteScript(uint64_t seed, const std::vector<std::string>& script) {
    const std::string path = ScriptPath(seed);
    std::ofstream out(path);
    out << "# seed " << seed << "\n";
    for (const std::string& line : script) {
        out << line << "\n";
    }
    return path;
}

}  // namespace soak
