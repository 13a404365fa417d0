// A throw-away Samba for trying a network folder by hand: the tests' server (SMB1, NTLMv1, the user
// corvtest) on 127.0.0.1, port 445, with a few sample files in its share, until Ctrl+C. Everything it
// made goes when it ends. Needs root, and port 445 free. With --address A (inside a network namespace of
// its own, as scripts/try-network.sh starts it) it serves on that address too, for the search of the
// network to find.

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "testsupport/SambaServer.h"

namespace {

void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

}  // namespace

int main(int argc, char** argv) {
    using testsupport::SambaServer;
    const std::string address = argc == 3 && std::string(argv[1]) == "--address" ? argv[2] : "127.0.0.1";
    SambaServer server(SambaServer::IO_DEFAULT, SambaServer::STORE_DISK, 445);
    if (address != "127.0.0.1") {
        // The announcers announce it; smbd would register with a service discovery daemon of its own.
        server.SetExtraConfig("interfaces = lo " + address + "/24\nmulticast dns register = no\n", "");
    }
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "try-samba: %s\n", error.c_str());
        return 1;
    }
    const std::string share = server.ShareDir();
    Write(share + "/Readme.txt", "A file on a throw-away Samba share.\n");
    Write(share + "/Documents/Notes.txt", "Notes\n\nOpened from the network folder.\n");
    Write(share + "/Documents/Old/List.txt", "one\ntwo\nthree\n");
    Write(share + "/Music/.hidden.txt", "Shown only with \"Show hidden files\".\n");

    std::printf(
        "Samba runs on 127.0.0.1 port 445, sharing %s.\n"
        "In Corvane press Add (left soft key) and type into \"New network folder\":\n"
        "  Computer name  %s\n"
        "  Share          %s   (leave it empty to choose among the server's shares)\n"
        "  IP address     %s\n"
        "  User name      %s\n"
        "  Password       %s   (leave it empty to be asked for it)\n"
        "then Save and tap the new folder. Ctrl+C stops the server and removes its files.\n",
        share.c_str(), SambaServer::kNetbiosName, SambaServer::kShare, address.c_str(), SambaServer::kUser,
        SambaServer::kPassword);
    std::fflush(stdout);

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    int signal = 0;
    sigwait(&stop, &signal);
    server.Stop();
    return 0;
}
