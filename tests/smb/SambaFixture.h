#pragma once
// A real Samba for the tests of one test binary process: started once per process (CTest runs each test
// in a process of its own, so tests never share a server's state) and stopped when the process's tests
// are done, even when they fail. ServerOn starts one of a chosen kind for a single test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "SmbTestSupport.h"
#include "testsupport/SambaServer.h"

class SambaFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new testsupport::SambaServer;
        if (!server_->Start(&startError_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(server_, nullptr) << startError_;
        SmbSession::SetServerPort(server_->Port());
        PointFolderAt(folder_, L"corvshare", L"corvtest", L"Corv-pass1");
    }
    void TearDown() override { SmbSession::SetServerPort(445); }

    static testsupport::SambaServer& Server() { return *server_; }
    // Writes a file into the share, by host path relative to the share's folder.
    static void PutFile(const std::string& relative, const std::string& bytes) {
        std::filesystem::path file(server_->ShareDir() + "/" + relative);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string HostPath(const std::string& relative) { return server_->ShareDir() + "/" + relative; }

    RemoteFolder folder_;

private:
    static inline testsupport::SambaServer* server_ = nullptr;
    static inline std::string startError_;
};

// A private Samba of the given kind for one test, which the folders of the test reach.
struct ServerOn {
    explicit ServerOn(
        testsupport::SambaServer::TSecurity security,
        testsupport::SambaServer::TAccount account = testsupport::SambaServer::ACCOUNT_ENABLED) {
        server.SetSecurity(security);
        server.SetAccount(account);
        started = server.Start(&error);
        SmbSession::SetServerPort(server.Port());
    }
    ~ServerOn() { SmbSession::SetServerPort(445); }
    testsupport::SambaServer server;
    std::string error;
    bool started = false;
};
