#include "stages/unpacking.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "package/lzhuf_decoder.h"
#include "platform/runtime/file_layer.h"
#include "stages/file_placement.h"
#include "stages/progress_dialog.h"
#include "stages/progress_meter.h"
#include "stages/stage_failure.h"

#include <algorithm>
#include <cstring>
#include <string>

int32_t ArchiveHandle = 0;
int32_t BundleHandle = 0;
uint16_t InPos = 1;
int32_t InCount = 0;
uint16_t OutPos = 1;
int32_t BytesWritten = 0;
bool BundleWrittenByThisRun = false;

namespace {

constexpr int32_t BlockSize = 2048;

// Reads that found the archive at its end during this decoding.
int32_t EndOfArchiveReads = 0;

std::string ArchivePath() {
    return JoinPath(DestinationDir, Settings.CombinedArchiveFile);
}

std::string BundlePath() {
    return JoinPath(DestinationDir, Settings.MainProgramFile);
}

// Writes the waiting bytes of OutputBuffer; false (with the failure recorded)
// when the write failed or wrote less.
bool WriteWaitingBytes(int32_t& written) {
    const int32_t waiting = OutPos - 1;
    written = WriteHandleFile(BundleHandle, OutputBuffer, waiting);
    if (written != waiting) {
        RecordStageFailure(StageFailure::BundleNotWritten, BundlePath());
        return false;
    }
    return true;
}

} // namespace

INT_PTR UnpackingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return HandleProgressDialogMessage(dialog, message, wParam, UnpackBundle);
}

void UnpackBundle(HWND dialog) {
    const uint8_t savedMode = FileOpenMode;
    ArchiveHandle = 0;
    BundleHandle = 0;

    BundleHandle = CreateHandleFile(BundlePath());
    if (BundleHandle < 0) {
        // A main program that cannot be replaced may still be overwritten in
        // place; its tail, if longer, goes when placement cuts the file.
        BundleHandle = OpenHandleFileForWriting(BundlePath());
    }
    if (BundleHandle < 0) {
        KeepGoing = 0;
    } else {
        BundleWrittenByThisRun = true;
        InPos = 1;
        InCount = 0;
        OutPos = 1;
        EndOfArchiveReads = 0;

        ArchiveHandle = OpenHandleFileForReading(ArchivePath());
        if (ArchiveHandle > 0) {
            UnpackStream(UnpackedSize, ReadCallback, WriteCallback);
            if (KeepGoing) {
                uint16_t ignored = 0;
                WriteBundleBlock(OutputBuffer, 0, ignored);
            }
            CloseHandleFile(ArchiveHandle);
            DeleteFileA(ArchivePath().c_str());
        } else {
            RecordStageFailure(StageFailure::ArchiveUnreadable, ArchivePath());
        }
        CloseHandleFile(BundleHandle);

        if (KeepGoing) {
            PlaceFiles();
        }
        ReportStageFailure(dialog);
    }

    FileOpenMode = savedMode;
    CloseMeter(dialog);
    EndDialog(dialog, KeepGoing ? 1 : 0);
}

void ReadArchiveBlock(uint8_t* buffer, uint16_t count, uint16_t& actual) {
    if (!KeepGoing) {
        actual = 0;
        return;
    }
    count = std::min<uint16_t>(count, BlockSize);
    if (InPos > InCount || InPos + count > InCount + 1) {
        const int32_t kept = InPos > InCount ? 0 : InCount - InPos + 1;
        std::memmove(InputBuffer, InputBuffer + (InPos - 1), static_cast<size_t>(kept));
        const int32_t read = ReadHandleFile(ArchiveHandle, InputBuffer + kept, BlockSize - kept);
        if (read < 0) {
            RecordStageFailure(StageFailure::ArchiveUnreadable, ArchivePath());
            actual = 0;
            return;
        }
        InCount = kept + read;
        if (InCount == 0) {
            if (++EndOfArchiveReads > ArchiveLookAheadBytes) {
                RecordStageFailure(StageFailure::ArchiveEndedEarly, ArchivePath());
            }
            actual = 0;
            return;
        }
        InPos = 1;
    }
    std::memcpy(buffer, InputBuffer + (InPos - 1), count);
    InPos = static_cast<uint16_t>(InPos + count);
    actual = InPos > InCount + 1 ? static_cast<uint16_t>(count - (InPos - (InCount + 1))) : count;
    // Deliberately once per byte the decoder asks for: this keeps the
    // backdrop painting and lets a Cancel click in while UnpackStream runs.
    DrainMessages();
}

void WriteBundleBlock(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
    if (!KeepGoing) {
        actual = 0;
        return;
    }
    int32_t written = 0;
    if (count == 0) {
        WriteWaitingBytes(written);
        return;
    }
    count = std::min<uint16_t>(count, BlockSize);
    if (OutPos > BlockSize || OutPos + count > BlockSize + 1) {
        if (!WriteWaitingBytes(written)) {
            actual = 0;
            return;
        }
        BytesWritten += written;
        OutPos = 1;
        DrawMeter(BytesWritten, UnpackedSize, MeterRule::OnChange);
    }
    std::memcpy(OutputBuffer + (OutPos - 1), buffer, count);
    OutPos = static_cast<uint16_t>(OutPos + count);
    actual = count;
}

void ResetUnpackingState() {
    ArchiveHandle = 0;
    BundleHandle = 0;
    InPos = 1;
    InCount = 0;
    OutPos = 1;
    BytesWritten = 0;
    BundleWrittenByThisRun = false;
    EndOfArchiveReads = 0;
}
