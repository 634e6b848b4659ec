#include "platform/machine/fault_injection.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/fatal_error.h"
#include "platform/runtime/file_layer.h"
#include "tests/support/test_machine.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void WriteHostFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Runs `body` in a child process and gives its exit code and standard error.
struct ChildResult {
    int ExitCode = -1;
    std::string Errors;
};

template <typename Body> ChildResult RunInChild(Body body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDERR_FILENO);
        alarm(30); // a child that hangs dies instead of stalling the test
        body();
        _exit(0);
    }
    close(pipeEnds[1]);
    ChildResult result;
    char buffer[512];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        result.Errors.append(buffer, static_cast<std::size_t>(count));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

// The raised error's message, or "" when nothing was raised.
template <typename Body> std::string RaisedMessage(Body body) {
    try {
        body();
    } catch (const EInOutError& error) {
        return error.what();
    }
    return "";
}

class FileLayer : public ::testing::Test {
  protected:
    void SetUp() override { FileOpenMode = 2; }
    void TearDown() override { FileOpenMode = 2; }
    TestMachine Machine;
};

} // namespace

TEST_F(FileLayer, FileOpenModeSelectsTheAccessOfAnOpen) {
    WriteHostFile(Machine.DriveC() / "data" / "file.bin", "abcdef");
    struct Case {
        uint8_t Mode;
        bool Reads;
        bool Writes;
    };
    const Case cases[] = {{0, true, false}, {1, false, true}, {2, true, true}};
    for (const Case& c : cases) {
        FileOpenMode = c.Mode;
        BlockFile file;
        OpenBlockFile(file, "C:\\DATA\\FILE.BIN");
        char buffer[2] = {};
        const std::string readError = RaisedMessage([&] { ReadBlockFile(file, buffer, 2); });
        const std::string writeError = RaisedMessage([&] { WriteBlockFile(file, "zz", 2); });
        EXPECT_EQ(readError.empty(), c.Reads) << int{c.Mode} << ": " << readError;
        EXPECT_EQ(writeError.empty(), c.Writes) << int{c.Mode} << ": " << writeError;
        if (!c.Writes) {
            EXPECT_EQ(writeError, "Write failed for C:\\DATA\\FILE.BIN: Access is denied.");
        }
        CloseBlockFile(file);
    }
    EXPECT_EQ(ReadHostFile(Machine.DriveC() / "data" / "file.bin"), "zzzzef");
    FileOpenMode = 3;
    BlockFile file;
    EXPECT_NE(RaisedMessage([&] { OpenBlockFile(file, "C:\\DATA\\FILE.BIN"); }), "");
}

TEST_F(FileLayer, AWriteRefusedByTheOpenModeEndsTheProcessWithItsPath) {
    WriteHostFile(Machine.DriveC() / "Target" / "Locked.txt", "old");
    const ChildResult child = RunInChild([] {
        try {
            FileOpenMode = 0;
            BlockFile file;
            OpenBlockFile(file, "C:\\Target\\Locked.txt");
            WriteBlockFile(file, "new", 3);
        } catch (const Exception& error) {
            ReportFatalError("Rembrix", error.what());
        }
    });
    EXPECT_EQ(child.ExitCode, 1);
    EXPECT_NE(child.Errors.find("C:\\Target\\Locked.txt"), std::string::npos) << child.Errors;
    EXPECT_NE(child.Errors.find("Access is denied."), std::string::npos) << child.Errors;
    EXPECT_EQ(ReadHostFile(Machine.DriveC() / "Target" / "Locked.txt"), "old");
}

TEST_F(FileLayer, BlockOperationsAndTheirChecks) {
    BlockFile file;
    CreateBlockFile(file, "C:\\block.bin");
    WriteBlockFile(file, "0123456789", 10);
    EXPECT_EQ(BlockFileSize(file), 10);
    EXPECT_TRUE(AtEndOfBlockFile(file));
    SeekBlockFile(file, 4);
    EXPECT_FALSE(AtEndOfBlockFile(file));
    char buffer[16] = {};
    EXPECT_EQ(ReadBlockFile(file, buffer, 16), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(ReadBlockFile(file, buffer, 16), 0);
    SeekBlockFile(file, 7);
    TruncateBlockFile(file);
    EXPECT_EQ(BlockFileSize(file), 7);
    SeekBlockFile(file, 2);
    EXPECT_EQ(RaisedMessage([&] { ReadExactBlockFile(file, buffer, 6); }),
              "Read failed for C:\\block.bin: the file ends after 5 of 6 bytes");
    EXPECT_NE(RaisedMessage([&] { SeekBlockFile(file, -1); }), "");
    CloseBlockFile(file);
    EXPECT_EQ(RaisedMessage([&] { CloseBlockFile(file); }),
              "Close failed for C:\\block.bin: the file is not open");
    EXPECT_EQ(RaisedMessage([&] { OpenBlockFile(file, "C:\\missing.bin"); }),
              "Open failed for C:\\missing.bin: The system cannot find the file specified.");
    EXPECT_EQ(
        RaisedMessage([&] { CreateBlockFile(file, "C:\\no\\such\\folder.bin"); }),
        "Create failed for C:\\no\\such\\folder.bin: The system cannot find the path specified.");
    EXPECT_TRUE(FileExists("c:\\BLOCK.BIN"));
    EXPECT_FALSE(FileExists("C:\\WINDOWS"));
    EXPECT_FALSE(FileExists("C:\\*.bin"));
}

TEST_F(FileLayer, InjectedFaultsRaiseWithThePath) {
    BlockFile file;
    CreateBlockFile(file, "C:\\out.bin");
    FailWritesTo("c:\\OUT.BIN");
    EXPECT_EQ(RaisedMessage([&] { WriteBlockFile(file, "x", 1); }),
              "Write failed for C:\\out.bin: The system cannot write to the specified device.");
    ClearFileFaults();
    WriteBlockFile(file, "x", 1);

    FillDiskAfter("C:\\out.bin", 100);
    const std::string block(64, 'b');
    WriteBlockFile(file, block.data(), 64);
    EXPECT_EQ(RaisedMessage([&] { WriteBlockFile(file, block.data(), 64); }),
              "Write failed for C:\\out.bin: There is not enough space on the disk.");
    EXPECT_NE(RaisedMessage([&] { WriteBlockFile(file, "y", 1); }), "");
    CloseBlockFile(file);
    EXPECT_EQ(ReadHostFile(Machine.DriveC() / "out.bin").size(), 101u);

    FailReadsFrom("C:\\out.bin", 50);
    OpenBlockFile(file, "C:\\out.bin");
    char buffer[64];
    EXPECT_EQ(ReadBlockFile(file, buffer, 40), 40);
    EXPECT_EQ(RaisedMessage([&] { ReadBlockFile(file, buffer, 40); }),
              "Read failed for C:\\out.bin: The system cannot read from the specified device.");
    CloseBlockFile(file);

    // A restarted machine has no faults left.
    StartMachine(Machine.Config);
    OpenBlockFile(file, "C:\\out.bin");
    EXPECT_EQ(ReadBlockFile(file, buffer, 64), 64);
    CloseBlockFile(file);
}

TEST_F(FileLayer, HandleOperationsAnswerMinusOneAndRaiseNothing) {
    EXPECT_EQ(OpenHandleFileForReading("C:\\missing.bin"), -1);
    EXPECT_EQ(OpenHandleFileForWriting("C:\\missing.bin"), -1);
    EXPECT_EQ(CreateHandleFile("Q:\\bundle.exe"), -1);

    const int32_t bundle = CreateHandleFile("C:\\Rembrix.Exe");
    ASSERT_GT(bundle, 0);
    EXPECT_EQ(WriteHandleFile(bundle, "abcdef", 6), 6);
    // Created without sharing: nobody else may open it meanwhile.
    EXPECT_EQ(OpenHandleFileForReading("C:\\Rembrix.Exe"), -1);
    CloseHandleFile(bundle);

    const int32_t reader = OpenHandleFileForReading("C:\\REMBRIX.EXE");
    ASSERT_GT(reader, 0);
    EXPECT_NE(reader, bundle);
    char buffer[8] = {};
    EXPECT_EQ(ReadHandleFile(reader, buffer, 4), 4);
    EXPECT_EQ(WriteHandleFile(reader, "x", 1), -1);
    EXPECT_EQ(ReadHandleFile(reader, buffer, 8), 2);
    EXPECT_EQ(ReadHandleFile(reader, buffer, 8), 0);
    CloseHandleFile(reader);
    EXPECT_EQ(ReadHandleFile(reader, buffer, 1), -1);
    EXPECT_EQ(WriteHandleFile(12345, "x", 1), -1);

    const int32_t writer = OpenHandleFileForWriting("C:\\Rembrix.Exe");
    ASSERT_GT(writer, 0);
    FillDiskAfter("C:\\Rembrix.Exe", 3);
    EXPECT_EQ(WriteHandleFile(writer, "123456", 6), -1);
    CloseHandleFile(writer);
    EXPECT_EQ(ReadHostFile(Machine.DriveC() / "Rembrix.Exe"), "123def");

    FailReadsFrom("C:\\Rembrix.Exe");
    const int32_t failing = OpenHandleFileForReading("C:\\Rembrix.Exe");
    EXPECT_EQ(ReadHandleFile(failing, buffer, 1), -1);
    CloseHandleFile(failing);
}
