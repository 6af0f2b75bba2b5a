#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <iostream>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "support/ChildProcess.h"
#include "support/FailingFileCalls.h"
#include "support/FatFolder.h"
#include "support/TempDir.h"

namespace {
std::span<const unsigned char> Bytes(const std::string& text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

FileReplacement OnlyNew(const FileSystemCalls& calls)
{
    FileReplacement how({}, calls);
    how.replaceExisting = false;
    return how;
}

// Where the new content is written: on a file system that makes files without a name the content has none until it
// is complete; elsewhere it has a temporary name, which SIGINT, SIGTERM and SIGHUP remove.
struct Place
{
    std::string name;
    std::filesystem::path folder;
    const FileSystemCalls* calls;
    bool namedWhileWritten;
};

class AtomicFileNamingTest : public testing::Test
{
protected:
    std::vector<Place> Places()
    {
        std::vector<Place> places{
            {"a file system with unnamed files", unnamed.Path(), &FileSystemCalls::System(), false},
            {"one that refuses them", refusing.Path(), &noUnnamedFiles, true}};
        if (fat.Mounted()) {
            places.push_back({"FAT (" + fat.Kind() + ")", fat.Path(), &FileSystemCalls::System(), true});
        } else {
            std::cout << "[  NOTE    ] not tested on FAT: " << fat.Reason() << '\n';
        }
        return places;
    }

    // Starts writing `target` in a child that stops after the first piece, and waits until it has written it.
    pid_t StartWritingAndStop(const std::filesystem::path& target, const FileSystemCalls& calls)
    {
        int ready[2];
        if (::pipe(ready) != 0) {
            return -1;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            try {
                WriteFileAtomicallyInPieces(target,
                                            [&](const ContentSink& sink) {
                                                sink(Bytes(SecretPiece));
                                                [[maybe_unused]] const ssize_t told = ::write(ready[1], "x", 1);
                                                for (;;) {
                                                    ::pause();
                                                }
                                            },
                                            {{}, calls});
            } catch (...) {
            }
            ::_exit(3);
        }
        ::close(ready[1]);
        char told = 0;
        [[maybe_unused]] const ssize_t heard = ::read(ready[0], &told, 1);
        ::close(ready[0]);
        return child;
    }

    static constexpr const char* SecretPiece = "Web,Bank,ann,correct horse battery staple\n";
    TempDir unnamed;
    TempDir refusing;
    NoUnnamedFileCalls noUnnamedFiles;
    FatFolder fat;
};

TEST_F(AtomicFileNamingTest, EveryPlaceCreatesReplacesAndMakesOnlyNewFiles)
{
    for (const Place& place : Places()) {
        SCOPED_TRACE(place.name);
        const auto file = place.folder / "file.txt";
        WriteFileAtomically(file, Bytes("first, longer"), {{}, *place.calls});
        WriteFileAtomically(file, Bytes("second"), {{}, *place.calls});
        EXPECT_EQ(ReadFileBytes(file), "second");
        EXPECT_THROW(WriteFileAtomically(file, Bytes("third"), OnlyNew(*place.calls)), FileWriteError);
        EXPECT_EQ(ReadFileBytes(file), "second");
        WriteFileAtomically(place.folder / "new.txt", Bytes("new"), OnlyNew(*place.calls));
        EXPECT_EQ(ReadFileBytes(place.folder / "new.txt"), "new");
        EXPECT_EQ(NamesIn(place.folder), (std::vector<std::string>{"file.txt", "new.txt"}));
    }
}

TEST_F(AtomicFileNamingTest, AFailedStepLeavesNothingOfTheNewContentAnywhere)
{
    for (const Place& place : Places()) {
        SCOPED_TRACE(place.name);
        const auto file = place.folder / "failing.txt";
        WriteFileBytes(file, "old");
        for (WriteStep step : {WriteStep::Write, WriteStep::Sync, WriteStep::Close, WriteStep::Rename}) {
            // The refusal of unnamed files, and the fault, where the test asks for both.
            struct : FailingFileCalls
            {
                using FailingFileCalls::FailingFileCalls;
                bool refuseUnnamed = false;
                int CreateUnnamed(const char* folder, mode_t mode) const override
                {
                    return refuseUnnamed ? NoUnnamedFileCalls().CreateUnnamed(folder, mode)
                                         : FailingFileCalls::CreateUnnamed(folder, mode);
                }
            } failing{step};
            failing.refuseUnnamed = place.calls == &noUnnamedFiles;
            EXPECT_THROW(WriteFileAtomically(file, Bytes("new"), {{}, failing}), FileWriteError);
            EXPECT_EQ(ReadFileBytes(file), "old");
            EXPECT_EQ(NamesIn(place.folder), std::vector<std::string>{"failing.txt"});
        }
        std::filesystem::remove(file);
    }
}

TEST_F(AtomicFileNamingTest, NoPartOfTheContentHasANameWhileItIsWrittenOrAfterAnInterruption)
{
    for (const Place& place : Places()) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(place.name + ", " + strsignal(signal));
            const auto file = place.folder / "export.csv";
            WriteFileBytes(file, "old");
            const pid_t child = StartWritingAndStop(file, *place.calls);
            ASSERT_GT(child, 0);

            const std::vector<std::string> whileWritten = NamesIn(place.folder);
            if (place.namedWhileWritten) {
                ASSERT_EQ(whileWritten.size(), 2u);
                EXPECT_EQ(ReadFileBytes(place.folder / whileWritten[1]), SecretPiece) << whileWritten[1];
            } else {
                EXPECT_EQ(whileWritten, std::vector<std::string>{"export.csv"});
            }
            ::kill(child, signal);
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
            // A FUSE file system keeps a file removed while open as ".fuse_hidden…" until the dead child's descriptor
            // is released, which it does after the child is reaped, not before.
            WaitUntil([&] { return NamesIn(place.folder).size() == 1; }, std::chrono::seconds(5));
            EXPECT_EQ(NamesIn(place.folder), std::vector<std::string>{"export.csv"});
            EXPECT_EQ(ReadFileBytes(file), "old");
        }
    }
}

TEST_F(AtomicFileNamingTest, AnIgnoredSignalDoesNotTakeTheFileFromAWriteThatGoesOn)
{
    const auto file = refusing / "kept.txt";
    const auto previous = std::signal(SIGHUP, SIG_IGN);
    WriteFileAtomicallyInPieces(file,
                                [](const ContentSink& sink) {
                                    sink(Bytes("first "));
                                    ::raise(SIGHUP);
                                    sink(Bytes("second"));
                                },
                                {{}, noUnnamedFiles});
    std::signal(SIGHUP, previous);
    EXPECT_EQ(ReadFileBytes(file), "first second");
}
} // namespace
