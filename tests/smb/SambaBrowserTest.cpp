// The SMB browser against a real Samba: logon, listing, file input and output, folder operations, file
// information, share enumeration, a server that dies in the middle, and the disk size query.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "CountingRelay.h"
#include "SambaFixture.h"
#include "app/Results.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/Trans2FindFirst2.h"
#include "net/smb1/Trans2QueryFsInfo.h"
#include "net/smb1/Trans2Request.h"
#include "net/smb1/Trans2Resp.h"

namespace {

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SambaBrowserTest : public SambaFixture {};

// The answer with the request identifier id. Answers come in the server's order, which need not be that
// of the requests: an open that waits for a close is answered after the requests behind it.
OpAnswer& Done(OpRecorder& ops, int id) {
    for (OpAnswer& a : ops.answers) {
        if (a.id == id) {
            return a;
        }
    }
    static OpAnswer none{0, 0, 0xFFFFFFFF};
    ADD_FAILURE() << "no answer with id " << id;
    return none;
}

TEST_F(SambaBrowserTest, LogsOnAndListsAFolderOfManyEntriesPageByPage) {
    for (int i = 0; i < 150; ++i) {
        PutFile("many/file" + std::to_string(1000 + i) + ".txt", std::string(static_cast<size_t>(i), 'x'));
    }
    CountingRelay relay(Server().Port());
    SmbSession::SetServerPort(relay.Port());
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(*browser, root), RES_OK);
        EXPECT_EQ(root.popupText, L"Connecting...");
        EXPECT_FALSE(root.popupShown);
        ASSERT_NE(root.dir, nullptr);
        EXPECT_EQ(root.dir->GetName(false), L"\\");
        EXPECT_EQ(root.dir->GetName(true), L"\\\\CORVTEST\\corvshare\\");

        DirRecorder opened;
        root.dir->SetListener(&opened);
        root.dir->OpenSubDirA(L"many");
        ASSERT_NE(opened.subDir, nullptr);
        EnumRecorder listed = ListDir(*opened.subDir);
        EXPECT_EQ(listed.endResult, RES_OK);
        ASSERT_EQ(listed.entries.size(), 150u);
        const SeenEntry* last = listed.Find(L"file1149.txt");
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->size, 149u);
        EXPECT_EQ(last->type & ENTRY_DIRECTORY, 0);
        EXPECT_GT(last->modified.GetYear(), 2000);

        // With the tree there, the root opens inside the call and nothing goes to the server.
        int answers = root.answers;
        browser->OpenRootDirA();
        EXPECT_EQ(root.answers, answers + 1);
        EXPECT_EQ(root.result, RES_OK);
        browser->RemoveListener(&root);
    }));
    EXPECT_EQ(relay.Commands(0x75), 1);
    EXPECT_EQ(relay.Trans2(TRANS2_FIND_FIRST2), 1);
    EXPECT_GE(relay.Trans2(TRANS2_FIND_NEXT2), 2);
}

TEST_F(SambaBrowserTest, RefusedLogonsAndSharesEndTheOpenWithTheirResult) {
    struct Case {
        const wchar_t* share;
        const wchar_t* user;
        const wchar_t* password;
        unsigned long expected;
    } cases[] = {
        {L"corvshare", L"corvtest", L"wrong-password", RES_BAD_LOGON},
        {L"corvshare", L"nobody-here", L"Corv-pass1", RES_BAD_LOGON},
        {L"no-such-share", L"corvtest", L"Corv-pass1", RES_BAD_SHARE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "share " << c.share << " user " << c.user);
        RemoteFolder folder;
        PointFolderAt(folder, c.share, c.user, c.password);
        ASSERT_TRUE(RunInApp([&] {
            RootRecorder root;
            EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root), c.expected);
            EXPECT_EQ(root.dir, nullptr);
            EXPECT_FALSE(root.popupShown);
            EXPECT_FALSE(folder.IsConnected());
            Smb1Browser(folder)->RemoveListener(&root);
        }));
    }
}

TEST_F(SambaBrowserTest, WritesAndReadsFilesLargerThanABlock) {
    const std::string content = RandomBytes(200000, 7);
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        FileRecorder writer;
        browser->CreateFileA(&writer, L"\\upload.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
        const FileAnswer* created = WaitForFile(writer, 1);
        ASSERT_NE(created, nullptr);
        ASSERT_EQ(created->result, RES_OK);
        // Samba offers large reads and writes: the blocks are larger than the plain 61,440 bytes.
        unsigned int writeBlock = 0;
        unsigned int readBlock = 0;
        ASSERT_EQ(browser->GetProperty(IFsBrowser::PROP_WRITE_BLOCK, &writeBlock), RES_OK);
        ASSERT_EQ(browser->GetProperty(IFsBrowser::PROP_READ_BLOCK, &readBlock), RES_OK);
        EXPECT_EQ(writeBlock, SmbFile::kLargeBlockSize);
        EXPECT_EQ(readBlock, SmbFile::kLargeBlockSize);
        size_t offset = 0;
        while (offset < content.size()) {
            size_t before = writer.answers.size();
            writer.file->WriteA(content.data() + offset, static_cast<unsigned int>(content.size() - offset));
            const FileAnswer* wrote = WaitForFile(writer, before + 1);
            ASSERT_NE(wrote, nullptr);
            ASSERT_EQ(wrote->result, RES_OK);
            ASSERT_EQ(wrote->what, FileAnswer::WRITE);
            ASSERT_EQ(wrote->count, std::min<size_t>(writeBlock, content.size() - offset));
            offset += wrote->count;
        }
        EXPECT_EQ(writer.file->Tell64(), content.size());
        // A read waits for the blocks still on their way: it sees what was written.
        std::vector<char> first(SmbFile::kBlockSize);
        writer.file->SeekA(POS_BEGIN, 0);
        ASSERT_NE(WaitForFile(writer, writer.answers.size() + 1), nullptr);
        writer.file->ReadA(first.data(), static_cast<unsigned int>(first.size()));
        const FileAnswer* readBack = WaitForFile(writer, writer.answers.size() + 1);
        ASSERT_NE(readBack, nullptr);
        ASSERT_EQ(readBack->result, RES_OK);
        ASSERT_EQ(readBack->count, first.size());
        EXPECT_TRUE(std::string(first.data(), first.size()) == content.substr(0, first.size()));
        // The empty write answers once the server has confirmed every block.
        writer.file->WriteA(content.data(), 0);
        const FileAnswer* flushed = WaitForFile(writer, writer.answers.size() + 1);
        ASSERT_NE(flushed, nullptr);
        EXPECT_EQ(flushed->result, RES_OK);
        EXPECT_EQ(flushed->count, 0u);
        writer.file.reset();  // closes

        FileRecorder reader;
        browser->CreateFileA(&reader, L"\\upload.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        ASSERT_NE(WaitForFile(reader, 1), nullptr);
        ASSERT_EQ(reader.answers[0].result, RES_OK);
        std::string back;
        std::vector<char> buffer(100000);
        for (;;) {
            size_t before = reader.answers.size();
            reader.file->ReadA(buffer.data(), static_cast<unsigned int>(buffer.size()));
            const FileAnswer* read = WaitForFile(reader, before + 1);
            ASSERT_NE(read, nullptr);
            ASSERT_EQ(read->result, RES_OK);
            if (read->count == 0) {
                break;
            }
            EXPECT_LE(read->count, readBlock);
            back.append(buffer.data(), read->count);
        }
        EXPECT_EQ(back.size(), content.size());
        EXPECT_TRUE(back == content);

        // Reads that do not follow on from the last one: after a seek, a small one, then a block again.
        reader.file->SeekA(POS_BEGIN, 70000);
        ASSERT_NE(WaitForFile(reader, reader.answers.size() + 1), nullptr);
        for (unsigned int size : {1000u, 100000u}) {
            size_t at = reader.file->Tell64();
            size_t count = reader.answers.size();
            reader.file->ReadA(buffer.data(), size);
            const FileAnswer* read = WaitForFile(reader, count + 1);
            ASSERT_NE(read, nullptr);
            ASSERT_EQ(read->result, RES_OK);
            ASSERT_EQ(read->count, std::min(size, readBlock));
            EXPECT_TRUE(std::string(buffer.data(), read->count) == content.substr(at, read->count));
        }

        size_t before = reader.answers.size();
        reader.file->SeekA(POS_END, 10);
        ASSERT_NE(WaitForFile(reader, before + 1), nullptr);
        EXPECT_EQ(reader.answers.back().what, FileAnswer::SEEK);
        EXPECT_EQ(reader.file->Tell64(), content.size());
        reader.file->SeekA(POS_CURRENT, -300000);
        EXPECT_EQ(reader.file->Tell64(), 0u);
    }));
    EXPECT_TRUE(ReadHostFile(HostPath("upload.bin")) == content);
}

TEST_F(SambaBrowserTest, AnotherClientOpeningAFileHeldOpenHereIsNotKeptWaiting) {
    const std::string content = RandomBytes(5000, 11);
    PutFile("held.bin", content);
    ASSERT_TRUE(RunInApp([&] {
        FileRecorder files;
        Smb1Browser(folder_)->CreateFileA(&files, L"\\held.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        ASSERT_NE(WaitForFile(files, 1), nullptr);
        ASSERT_EQ(files.answers[0].result, RES_OK);
        // The other client runs beside the loop, which must go on to hear the server's oplock break.
        // Samba keeps it waiting 20 seconds for a holder that does not answer.
        std::atomic<bool> done{false};
        double seconds = 0;
        int status = -1;
        std::string copy = Server().ShareDir() + "/../held-copy.bin";
        std::thread other([&] {
            auto start = std::chrono::steady_clock::now();
            status = Server().SmbClient("get held.bin " + copy);
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            done = true;
        });
        LoopUntil([&] { return done.load(); }, 60000);
        other.join();
        EXPECT_EQ(status, 0);
        EXPECT_LT(seconds, 10.0);
        EXPECT_TRUE(ReadHostFile(copy) == content);
        // The file stays open here and reads on.
        std::vector<char> buffer(content.size());
        files.file->ReadA(buffer.data(), static_cast<unsigned int>(buffer.size()));
        const FileAnswer* read = WaitForFile(files, 2);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->result, RES_OK);
        EXPECT_TRUE(std::string(buffer.data(), read->count) == content);
    }));
}

TEST_F(SambaBrowserTest, CopiesAFileWithinTheShareWithBlocksOfBothFilesOnTheirWay) {
    // As a copy between two folders of one share does it: read a block, write it, read the next; blocks
    // read ahead and blocks written behind share the session.
    const std::string content = RandomBytes(1000000, 13);
    PutFile("source.bin", content);
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        FileRecorder source;
        FileRecorder target;
        browser->CreateFileA(&source, L"\\source.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        browser->CreateFileA(&target, L"\\copy.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
        ASSERT_NE(WaitForFile(source, 1), nullptr);
        ASSERT_NE(WaitForFile(target, 1), nullptr);
        ASSERT_EQ(source.answers[0].result, RES_OK);
        ASSERT_EQ(target.answers[0].result, RES_OK);
        std::vector<char> buffer(SmbFile::kBlockSize);
        for (;;) {
            source.file->ReadA(buffer.data(), static_cast<unsigned int>(buffer.size()));
            const FileAnswer* read = WaitForFile(source, source.answers.size() + 1);
            ASSERT_NE(read, nullptr);
            ASSERT_EQ(read->result, RES_OK);
            // The empty write at the end waits for every block.
            target.file->WriteA(buffer.data(), read->count);
            const FileAnswer* wrote = WaitForFile(target, target.answers.size() + 1);
            ASSERT_NE(wrote, nullptr);
            ASSERT_EQ(wrote->result, RES_OK);
            ASSERT_EQ(wrote->count, read->count);
            if (read->count == 0) {
                break;
            }
        }
        target.file.reset();
        source.file.reset();
    }));
    EXPECT_TRUE(ReadHostFile(HostPath("copy.bin")) == content);
}

TEST_F(SambaBrowserTest, OpeningAMissingFileAnswersNotFound) {
    ASSERT_TRUE(RunInApp([&] {
        FileRecorder files;
        Smb1Browser(folder_)->CreateFileA(&files, L"\\absent.txt", FILE_MODE_READ,
                                             FILE_DISP_OPEN_EXISTING);
        const FileAnswer* created = WaitForFile(files, 1);
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(created->result, RES_NOT_FOUND);
        EXPECT_EQ(files.file, nullptr);
    }));
}

TEST_F(SambaBrowserTest, CreatesRenamesDeletesAndDescribesEntries) {
    PutFile("docs/old.txt", "twelve bytes");
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        OpRecorder ops;
        browser->CreateFolderA(1, &ops, L"\\made", true);
        browser->CreateFolderA(2, &ops, L"\\made", true);
        browser->CreateFolderA(3, &ops, L"\\made", false);
        browser->RenameFileA(4, &ops, L"\\docs\\old.txt", L"\\docs\\new.txt");
        browser->GetFileInfoA(5, &ops, L"\\docs\\new.txt");
        ASSERT_NE(WaitForOp(ops, 5), nullptr);
        for (auto& a : ops.answers)
            fprintf(stderr, "id %d obj %ld res %lx\n", a.id, (long)a.object, a.result);
        EXPECT_EQ(Done(ops, 1).result, RES_OK);
        EXPECT_EQ(Done(ops, 2).result, RES_ALREADY_EXISTS);
        EXPECT_EQ(Done(ops, 3).result, RES_OK);
        EXPECT_EQ(Done(ops, 4).result, RES_OK);
        ASSERT_EQ(Done(ops, 5).result, RES_OK);
        const auto* entry = reinterpret_cast<const IFsDirEntry*>(Done(ops, 5).object);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->GetName(), L"new.txt");
        EXPECT_EQ(entry->GetSize(), 12u);
        EXPECT_EQ(entry->GetType() & ENTRY_DIRECTORY, 0);

        Osp::Base::DateTime stamp;
        stamp.SetValue(2011, 3, 14, 15, 9, 26);
        browser->SetFileTimeModifiedA(L"\\docs\\new.txt", stamp);
        browser->GetFileInfoA(6, &ops, L"\\docs\\new.txt");
        browser->GetFileInfoA(7, &ops, L"\\made");
        browser->OpenDirA(8, &ops, L"\\made");
        ASSERT_NE(WaitForOp(ops, 8), nullptr);
        const auto* stamped = reinterpret_cast<const IFsDirEntry*>(Done(ops, 6).object);
        ASSERT_NE(stamped, nullptr);
        Osp::Base::DateTime back = stamped->GetTimeModified();
        EXPECT_EQ(back.GetYear(), 2011);
        EXPECT_EQ(back.GetMonth(), 3);
        EXPECT_EQ(back.GetDay(), 14);
        EXPECT_EQ(back.GetHour(), 15);
        EXPECT_EQ(back.GetMinute(), 9);
        EXPECT_NEAR(back.GetSecond(), 26, 1);
        const auto* made = reinterpret_cast<const IFsDirEntry*>(Done(ops, 7).object);
        ASSERT_NE(made, nullptr);
        EXPECT_NE(made->GetType() & ENTRY_DIRECTORY, 0);
        ASSERT_EQ(Done(ops, 8).result, RES_OK);
        auto* dir = reinterpret_cast<IFsDir*>(Done(ops, 8).object);
        EXPECT_EQ(dir->GetName(false), L"\\made\\");
        // Names that would reach past the folder are refused without asking the server.
        dir->DeleteSubDirA(20, &ops, L"..");
        dir->DeleteFileA(21, &ops, L"a\\b");
        dir->RenameFileA(22, &ops, L"x", L"../x");
        ASSERT_NE(WaitForOp(ops, 11), nullptr);
        for (int id : {20, 21, 22}) {
            EXPECT_EQ(Done(ops, id).result, Osp::Base::E_INVALID_ARG);
        }
        delete dir;
        Done(ops, 8).object = 0;

        browser->DeleteFileA(9, &ops, L"\\docs\\new.txt");
        browser->DeleteFolderA(10, &ops, L"\\docs");
        browser->DeleteFolderA(11, &ops, L"\\made");
        browser->DeleteFileA(12, &ops, L"\\absent.txt");
        ASSERT_NE(WaitForOp(ops, 15), nullptr);
        EXPECT_EQ(Done(ops, 9).result, RES_OK);
        EXPECT_EQ(Done(ops, 10).result, RES_OK);
        EXPECT_EQ(Done(ops, 11).result, RES_OK);
        EXPECT_EQ(Done(ops, 12).result, RES_NOT_FOUND);
    }));
    EXPECT_FALSE(std::filesystem::exists(HostPath("docs")));
    EXPECT_FALSE(std::filesystem::exists(HostPath("made")));
}

}  // namespace

namespace {

// Answers one request of the test's own straight through the session, as the disk details do.
class RequestRecorder : public ISmbRequestListener {
public:
    void OnSmbReceived(unsigned long r, unsigned short, const Smb*) override { Done(r); }
    void OnTransReceived(unsigned long r, unsigned short, const Trans2Resp*) override { Done(r); }
    void OnTrans2Received(unsigned long r, unsigned short, const Trans2Resp* response) override {
        if (r == RES_OK && !response->GetSmb()->Header().IsFailure()) {
            r = ParseFsSizeResponse(*response, &size);
        }
        Done(r);
    }
    int answers = 0;
    unsigned long result = 1;
    SFsSizeInfo size;

private:
    void Done(unsigned long r) {
        ++answers;
        result = r;
    }
};

TEST_F(SambaBrowserTest, TheDiskSizeQueryAnswersTheShareSize) {
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(*browser, root), RES_OK);
        browser->RemoveListener(&root);
        Trans2Req request;
        ASSERT_TRUE(ConstructTrans2QueryFsRequest(request, kQueryFsSizeLevel));
        RequestRecorder answer;
        browser->GetSession()->SendSmbA(request.ReleaseSmbN(), &answer, SmbSession::SEND_WHEN_CONNECTED);
        LoopUntil([&] { return answer.answers > 0; });
        ASSERT_EQ(answer.result, RES_OK);
        EXPECT_GT(answer.size.totalUnits, 0u);
        EXPECT_LE(answer.size.freeUnits, answer.size.totalUnits);
        EXPECT_GT(answer.size.bytesPerSector, 0u);
    }));
}

TEST_F(SambaBrowserTest, AFolderWithoutAShareOffersTheServersDiskShares) {
    folder_.SetShareName(Osp::Base::String(L""));
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        RootRecorder root;
        root.onSelectShare = [&] {
            EXPECT_FALSE(root.popupShown);
            browser->SelectShare(L"corvshare");
        };
        ASSERT_EQ(OpenRoot(*browser, root), RES_OK);
        EXPECT_EQ(root.shares, (std::set<std::wstring>{L"corvdocs", L"corvshare"}));
        ASSERT_NE(root.dir, nullptr);
        EXPECT_EQ(root.dir->GetName(true), L"\\\\CORVTEST\\corvshare\\");
        EXPECT_TRUE(folder_.IsConnected());

        // A request after a drop reconnects to the share the user picked.
        folder_.SmbDisconnect();
        OpRecorder ops;
        browser->GetFileInfoA(1, &ops, L"\\");
        ASSERT_NE(WaitForOp(ops, 1), nullptr);
        EXPECT_EQ(ops.answers[0].result, RES_OK);
        EXPECT_TRUE(folder_.IsConnected());

        // Declining the choice ends the open and the session.
        folder_.SmbDisconnect();
        root.onSelectShare = [&] { browser->SelectShare(L""); };
        EXPECT_EQ(OpenRoot(*browser, root), RES_CANCELLED);
        EXPECT_EQ(root.shareQuestions, 2);
        EXPECT_FALSE(folder_.GetSmbSession()->IsConnected());
        browser->RemoveListener(&root);
    }));
}

TEST_F(SambaBrowserTest, KillingTheServerMidListingAnswersDisconnectedAndTheNextRequestReconnects) {
    for (int i = 0; i < 3000; ++i) {
        PutFile("big/entry-with-a-long-name-" + std::to_string(100000 + i), "");
    }
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(*browser, root), RES_OK);
        browser->RemoveListener(&root);
        DirRecorder opened;
        root.dir->SetListener(&opened);
        root.dir->OpenSubDirA(L"big");
        ASSERT_NE(opened.subDir, nullptr);
        EnumRecorder listed;
        listed.hook = [&] {
            if (listed.entries.size() == 100 && listed.ends == 0) {
                Server().Stop();
            }
        };
        opened.subDir->SetListener(&opened);
        opened.subDir->OpenEnumeratorA();
        opened.enumerator->SetListener(&listed);
        opened.enumerator->StartEnumA(true);
        LoopUntil([&] { return listed.ends > 0; }, 20000);
        EXPECT_EQ(listed.ends, 1);
        EXPECT_EQ(listed.endResult, RES_DISCONNECTED);
        EXPECT_LT(listed.entries.size(), 3000u);
        EXPECT_FALSE(folder_.IsConnected());

        std::string error;
        ASSERT_TRUE(Server().Restart(&error)) << error;
        OpRecorder ops;
        browser->GetFileInfoA(1, &ops, L"\\big");
        ASSERT_NE(WaitForOp(ops, 1), nullptr);
        EXPECT_EQ(ops.answers[0].result, RES_OK);
        EXPECT_TRUE(folder_.IsConnected());
    }));
}

}  // namespace
