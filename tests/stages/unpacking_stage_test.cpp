// The unpacking dialog on its own: a sound archive, an archive that is not
// there, a bundle that can be neither created nor opened, and the meter as
// the stage drives it.
#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/messages.h"
#include "app/run_installer.h"
#include "platform/machine/message_box_history.h"
#include "platform/runtime/file_layer.h"
#include "stages/unpacking.h"
#include "tests/stages/meter_dialog.h"
#include "tests/support/package_fixture.h"
#include "tests/support/test_machine.h"
#include "tools/lzhuf_encoder.h"

namespace {

const char* const ArchivePath = "C:\\Dest\\Rembrix._ZV";
const char* const BundlePath = "C:\\Dest\\Rembrix.Exe";

class UnpackingStageTest : public ::testing::Test {
  protected:
    UnpackingStageTest() {
        ResetRunState();
        DestinationDir = "C:\\Dest";
        std::filesystem::create_directories(HostPath(DestinationDir));
        GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
        InputBuffer = new uint8_t[UnpackBufferSize];
        OutputBuffer = new uint8_t[UnpackBufferSize];
        ReadCallback = ReadArchiveBlock;
        WriteCallback = WriteBundleBlock;
        ScreenWidth = 1024;
        ScreenHeight = 768;
        BeginScript();
    }
    ~UnpackingStageTest() override { ResetRunState(); }

    // An archive of a main program of `mainSize` bytes and one file.
    void WriteArchive(size_t mainSize, size_t fileSize) {
        Bundle = SampleBytes(mainSize + fileSize, 12);
        FileTable = {{"Data.bin", static_cast<int32_t>(mainSize), static_cast<int32_t>(fileSize)}};
        UnpackedSize = static_cast<int32_t>(Bundle.size());
        WriteHostFile(HostPath(ArchivePath), EncodeLzhuf(Bundle.data(), Bundle.size()));
    }

    static INT_PTR RunStage() {
        return DialogBoxParamA(GetModuleHandleA(nullptr), "Progress", nullptr, UnpackingDialogProc,
                               0);
    }

    TestMachine Machine;
    std::vector<uint8_t> Bundle;
};

TEST_F(UnpackingStageTest, ASoundArchiveIsUnpackedPlacedAndDeleted) {
    WriteArchive(30000, 9000);
    FileOpenMode = 1;
    ScriptWaitForWindow(ProgressCaption);

    EXPECT_EQ(RunStage(), 1);

    EXPECT_EQ(FileOpenMode, 1);
    EXPECT_EQ(KeepGoing, 0);
    EXPECT_TRUE(BundleWrittenByThisRun);
    EXPECT_FALSE(std::filesystem::exists(HostPath(ArchivePath)));
    EXPECT_EQ(ReadHostFile(HostPath(BundlePath)),
              std::vector<uint8_t>(Bundle.begin(), Bundle.begin() + 30000));
    EXPECT_EQ(ReadHostFile(HostPath("C:\\Dest\\Data.bin")),
              std::vector<uint8_t>(Bundle.begin() + 30000, Bundle.end()));
    EXPECT_TRUE(FileTable.empty());
    EXPECT_TRUE(MessageBoxHistory().empty());
}

TEST_F(UnpackingStageTest, AMissingArchiveIsReportedAndNothingIsPlaced) {
    UnpackedSize = 5000;
    FileTable = {{"Data.bin", 1000, 4000}};
    ScriptAnswerMessageBox(ProductCaption, "OK");

    EXPECT_EQ(RunStage(), 0);

    ASSERT_EQ(MessageBoxHistory().size(), 1u);
    EXPECT_EQ(MessageBoxHistory()[0].Text, ArchiveUnreadableMessage(ArchivePath));
    EXPECT_NE(MessageBoxHistory()[0].Owner, nullptr);
    EXPECT_FALSE(std::filesystem::exists(HostPath("C:\\Dest\\Data.bin")));
    EXPECT_FALSE(FileTable.empty());
    EXPECT_TRUE(BundleWrittenByThisRun);
}

TEST_F(UnpackingStageTest, ABundleThatCanBeNeitherCreatedNorOpenedEndsTheStageSilently) {
    WriteArchive(3000, 1000);
    std::filesystem::create_directories(HostPath(BundlePath));

    EXPECT_EQ(RunStage(), 0);

    EXPECT_TRUE(MessageBoxHistory().empty());
    EXPECT_LT(BundleHandle, 0);
    EXPECT_EQ(ArchiveHandle, 0);
    EXPECT_FALSE(BundleWrittenByThisRun);
    EXPECT_TRUE(std::filesystem::exists(HostPath(ArchivePath)));
}

class UnpackingMeterTest : public UnpackingStageTest {
  protected:
    // Writes `count` bytes through the write adapter, one per call.
    static void WriteBytes(size_t count) {
        for (size_t index = 0; index < count; ++index) {
            const uint8_t byte = static_cast<uint8_t>(index);
            uint16_t actual = 0;
            WriteBundleBlock(&byte, 1, actual);
        }
    }
};

TEST_F(UnpackingMeterTest, TheFirstDrawingWaitsForAPercentageOtherThanTheGatheringsLast) {
    WithMeterDialog("Progress", [] {
        BundleHandle = CreateHandleFile(BundlePath);
        UnpackedSize = 40960; // each block is 5 %
        Meter.LastPercent = 5;  // as the gathering stage left it
        PaintSentinel();

        WriteBytes(2049);
        EXPECT_EQ(BytesWritten, 2048);
        EXPECT_EQ(Meter.Percent, 5);
        EXPECT_EQ(MeterPixel(Meter.MeterLeft, Meter.MeterTop), RGB(0, 255, 0));

        WriteBytes(2048);
        EXPECT_EQ(BytesWritten, 4096);
        EXPECT_EQ(Meter.LastPercent, 10);
        const int doneX = Meter.MeterLeft + static_cast<int>(RoundHalfEven(
                                                int64_t{4096} * Meter.MeterWidth, 40960));
        EXPECT_EQ(MeterPixel(doneX - 1, Meter.MeterTop), RGB(255, 0, 0));
        EXPECT_EQ(MeterPixel(doneX, Meter.MeterTop), RGB(255, 255, 255));
        EXPECT_TRUE(MeterShowsText("10%"));
        CloseHandleFile(BundleHandle);
    });
}

TEST_F(UnpackingMeterTest, ABundleOfOneBlockNeverMovesTheMeter) {
    WithMeterDialog("Progress", [] {
        BundleHandle = CreateHandleFile(BundlePath);
        UnpackedSize = 2048;
        PaintSentinel();

        WriteBytes(2048);
        uint16_t actual = 0;
        WriteBundleBlock(OutputBuffer, 0, actual);

        EXPECT_EQ(BytesWritten, 0);
        EXPECT_EQ(Meter.LastPercent, 0);
        EXPECT_EQ(MeterPixel(Meter.MeterLeft, Meter.MeterTop), RGB(0, 255, 0));
        CloseHandleFile(BundleHandle);
        EXPECT_EQ(std::filesystem::file_size(HostPath(BundlePath)), 2048u);
    });
}

} // namespace
