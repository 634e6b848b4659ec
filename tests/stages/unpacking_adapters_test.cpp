// The unpacking stage's two adapters over real files of the machine: the
// 2048-byte buffering in both directions, the stop flag, the end of the
// archive, and failed reads and writes.
#include "app/install_state.h"
#include "app/run_installer.h"
#include "platform/machine/fault_injection.h"
#include "platform/runtime/file_layer.h"
#include "stages/stage_failure.h"
#include "stages/unpacking.h"
#include "tests/support/package_fixture.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

namespace {

const char* const ArchivePath = "C:\\Dest\\Rembrix._ZV";
const char* const BundlePath = "C:\\Dest\\Rembrix.Exe";

class UnpackingAdaptersTest : public ::testing::Test {
  protected:
    UnpackingAdaptersTest() {
        ResetRunState();
        DestinationDir = "C:\\Dest";
        std::filesystem::create_directories(HostPath(DestinationDir));
        InputBuffer = new uint8_t[UnpackBufferSize];
        OutputBuffer = new uint8_t[UnpackBufferSize];
        KeepGoing = 1;
    }
    ~UnpackingAdaptersTest() override {
        if (ArchiveHandle > 0) {
            CloseHandleFile(ArchiveHandle);
        }
        if (BundleHandle > 0) {
            CloseHandleFile(BundleHandle);
        }
        ResetRunState();
    }

    void OpenArchive(const std::vector<uint8_t>& bytes) {
        WriteHostFile(HostPath(ArchivePath), bytes);
        ArchiveHandle = OpenHandleFileForReading(ArchivePath);
        ASSERT_GT(ArchiveHandle, 0);
    }

    void CreateBundle(int32_t unpackedSize) {
        UnpackedSize = unpackedSize;
        BundleHandle = CreateHandleFile(BundlePath);
        ASSERT_GT(BundleHandle, 0);
    }

    // Reads the archive `count` bytes per call until a call delivers nothing.
    static std::vector<uint8_t> ReadAll(uint16_t count) {
        std::vector<uint8_t> delivered;
        uint8_t bytes[16] = {};
        uint16_t actual = 0;
        do {
            ReadArchiveBlock(bytes, count, actual);
            delivered.insert(delivered.end(), bytes, bytes + actual);
        } while (actual > 0);
        return delivered;
    }

    static void WriteBytes(const std::vector<uint8_t>& bytes) {
        for (const uint8_t byte : bytes) {
            uint16_t actual = 0;
            WriteBundleBlock(&byte, 1, actual);
            ASSERT_EQ(actual, 1);
        }
    }

    static void FinalFlush() {
        uint16_t actual = 0;
        WriteBundleBlock(OutputBuffer, 0, actual);
    }

    static uintmax_t BundleSize() { return std::filesystem::file_size(HostPath(BundlePath)); }

    TestMachine Machine;
};

TEST_F(UnpackingAdaptersTest, ReadDeliversTheArchiveInOrderWhateverTheCount) {
    const std::vector<uint8_t> archive = SampleBytes(5000, 1);
    for (const uint16_t count : {uint16_t{1}, uint16_t{3}, uint16_t{7}, uint16_t{16}}) {
        SCOPED_TRACE(count);
        ResetUnpackingState();
        OpenArchive(archive);

        EXPECT_EQ(ReadAll(count), archive);
        CloseHandleFile(ArchiveHandle);
        ArchiveHandle = 0;
    }
}

TEST_F(UnpackingAdaptersTest, ReadWhileStoppedTakesNothing) {
    OpenArchive(SampleBytes(100, 2));
    KeepGoing = 0;
    uint8_t byte = 0xAA;
    uint16_t actual = 7;

    ReadArchiveBlock(&byte, 1, actual);

    EXPECT_EQ(actual, 0);
    EXPECT_EQ(byte, 0xAA);
    KeepGoing = 1;
    ReadArchiveBlock(&byte, 1, actual);
    EXPECT_EQ(actual, 1);
    EXPECT_EQ(byte, SampleBytes(100, 2)[0]);
}

TEST_F(UnpackingAdaptersTest, TheDecodersLookAheadPastTheEndIsAllowedButNoMore) {
    OpenArchive(SampleBytes(3000, 3));
    ReadAll(1);
    EXPECT_EQ(KeepGoing, 1);
    uint8_t byte = 0;
    uint16_t actual = 1;
    ReadArchiveBlock(&byte, 1, actual);
    EXPECT_EQ(actual, 0);
    EXPECT_EQ(KeepGoing, 1);
    EXPECT_EQ(PendingFailure, StageFailure::None);

    ReadArchiveBlock(&byte, 1, actual);

    EXPECT_EQ(actual, 0);
    EXPECT_EQ(KeepGoing, 0);
    EXPECT_EQ(PendingFailure, StageFailure::ArchiveEndedEarly);
}

TEST_F(UnpackingAdaptersTest, AFailedReadStopsAndIsNotTakenForTheEnd) {
    const std::vector<uint8_t> archive = SampleBytes(5000, 4);
    FailReadsFrom(ArchivePath, 2048);
    OpenArchive(archive);

    const std::vector<uint8_t> delivered = ReadAll(1);

    EXPECT_EQ(delivered, std::vector<uint8_t>(archive.begin(), archive.begin() + 2048));
    EXPECT_EQ(KeepGoing, 0);
    EXPECT_EQ(PendingFailure, StageFailure::ArchiveUnreadable);
    EXPECT_EQ(PendingFailureSubject, ArchivePath);
}

TEST_F(UnpackingAdaptersTest, WritesGoOutInBlocksAndTheFinalFlushWritesTheRest) {
    CreateBundle(5000);
    const std::vector<uint8_t> bytes = SampleBytes(5000, 5);

    WriteBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 2048));
    EXPECT_EQ(BundleSize(), 0u);
    EXPECT_EQ(OutPos, 2049);
    WriteBytes({bytes[2048]});
    EXPECT_EQ(BundleSize(), 2048u);
    EXPECT_EQ(BytesWritten, 2048);
    WriteBytes(std::vector<uint8_t>(bytes.begin() + 2049, bytes.end()));
    EXPECT_EQ(BytesWritten, 4096);

    FinalFlush();

    EXPECT_EQ(BundleSize(), 5000u);
    EXPECT_EQ(BytesWritten, 4096);
    EXPECT_EQ(OutPos, 5000 - 4096 + 1);
    CloseHandleFile(BundleHandle);
    BundleHandle = 0;
    EXPECT_EQ(ReadHostFile(HostPath(BundlePath)), bytes);
}

TEST_F(UnpackingAdaptersTest, ABundleOfWholeBlocksEndsWithAFullFinalBlock) {
    CreateBundle(4096);
    WriteBytes(SampleBytes(4096, 6));
    EXPECT_EQ(BytesWritten, 2048);
    EXPECT_EQ(OutPos, 2049);

    FinalFlush();

    EXPECT_EQ(BundleSize(), 4096u);
}

TEST_F(UnpackingAdaptersTest, WritesWhileStoppedAreDropped) {
    CreateBundle(100);
    KeepGoing = 0;
    const uint8_t byte = 1;
    uint16_t actual = 1;

    WriteBundleBlock(&byte, 1, actual);
    FinalFlush();

    EXPECT_EQ(actual, 0);
    EXPECT_EQ(OutPos, 1);
    EXPECT_EQ(BundleSize(), 0u);
}

TEST_F(UnpackingAdaptersTest, AFailedOrShortWriteStopsTheUnpacking) {
    struct Case {
        const char* Fault;
        int64_t Room; // -1: every write fails
        size_t BytesUntilStop;
    };
    const Case cases[] = {{"failing writes", -1, 2049}, {"a full disk", 3000, 4097}};
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.Fault);
        ResetRunState();
        DestinationDir = "C:\\Dest";
        InputBuffer = new uint8_t[UnpackBufferSize];
        OutputBuffer = new uint8_t[UnpackBufferSize];
        KeepGoing = 1;
        ClearFileFaults();
        if (fault.Room < 0) {
            FailWritesTo(BundlePath);
        } else {
            FillDiskAfter(BundlePath, fault.Room);
        }
        CreateBundle(10000);
        const std::vector<uint8_t> bytes = SampleBytes(fault.BytesUntilStop, 7);

        WriteBytes(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
        EXPECT_EQ(KeepGoing, 1);
        uint16_t actual = 1;
        WriteBundleBlock(&bytes.back(), 1, actual);

        EXPECT_EQ(actual, 0);
        EXPECT_EQ(KeepGoing, 0);
        EXPECT_EQ(PendingFailure, StageFailure::BundleNotWritten);
        EXPECT_EQ(PendingFailureSubject, BundlePath);
        CloseHandleFile(BundleHandle);
        BundleHandle = 0;
    }
}

} // namespace
