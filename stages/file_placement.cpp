#include "stages/file_placement.h"

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_layer.h"
#include "platform/runtime/file_names.h"
#include "stages/stage_failure.h"

namespace {

constexpr int32_t BlockSize = 2048;

uint8_t Block[BlockSize];

std::string UpperExtension(const std::string& name) {
    return UpperCaseAscii(ExtractFileExt(name));
}

// Creates the target for `entry`: its placement target first, then the
// destination directory. False when neither could be created.
bool CreateTarget(BlockFile& target, const FileEntry& entry) {
    try {
        CreateBlockFile(target, PlacementTarget(entry.Name));
        return true;
    } catch (const EInOutError&) {
    }
    try {
        CreateBlockFile(target, JoinPath(DestinationDir, entry.Name));
        return true;
    } catch (const EInOutError&) {
        return false;
    }
}

// Copies `entry.Size` bytes from the bundle's position into `target`; false
// when the bundle ended first. The loop's test is strict: a file whose size
// is a multiple of 2048 gets its last full block from the final read.
bool CopyEntry(BlockFile& bundle, BlockFile& target, const FileEntry& entry) {
    int32_t copied = 0;
    while (copied + BlockSize < entry.Size) {
        const int32_t count = ReadBlockFile(bundle, Block, BlockSize);
        WriteBlockFile(target, Block, count);
        copied += count;
        if (count < BlockSize) {
            return false;
        }
    }
    const int32_t rest = entry.Size - copied;
    if (rest > 0) {
        const int32_t count = ReadBlockFile(bundle, Block, rest);
        WriteBlockFile(target, Block, count);
        copied += count;
    }
    return copied == entry.Size;
}

// A table with no entries: nothing marks where the main program ends, so the
// whole bundle is the main program. The decoder's last match may run past
// UnpackedSize, so the file is cut at UnpackedSize.
void KeepWholeBundle(BlockFile& bundle) {
    if (BlockFileSize(bundle) < UnpackedSize) {
        RecordStageFailure(StageFailure::BundleShort, Settings.MainProgramFile);
    } else if (UnpackedSize >= 0) {
        SeekBlockFile(bundle, UnpackedSize);
        TruncateBlockFile(bundle);
    }
    CloseBlockFile(bundle);
}

} // namespace

std::string PlacementTarget(const std::string& name) {
    if (UpperExtension(name) == ".HLP") {
        return JoinPath(JoinPath(WindowsDir, "Help"), name);
    }
    return JoinPath(DestinationDir, name);
}

bool KeepsExistingFile(const std::string& name) {
    const std::string extension = UpperExtension(name);
    return (extension == ".LIB" || extension == ".DTP") &&
           FileExists(JoinPath(DestinationDir, name));
}

void PlaceFiles() {
    FileOpenMode = 2;
    BlockFile bundle;
    OpenBlockFile(bundle, JoinPath(DestinationDir, Settings.MainProgramFile));
    if (FileTable.empty()) {
        KeepWholeBundle(bundle);
        return;
    }

    for (const FileEntry& entry : FileTable) {
        SeekBlockFile(bundle, entry.Offset);
        if (KeepsExistingFile(entry.Name)) {
            continue;
        }
        FileOpenMode = 1;
        BlockFile target;
        if (!CreateTarget(target, entry)) {
            continue;
        }
        const std::string targetPath = target.Path;
        const bool complete = CopyEntry(bundle, target, entry);
        CloseBlockFile(target);
        if (!complete) {
            DeleteFileA(targetPath.c_str());
            CloseBlockFile(bundle);
            RecordStageFailure(StageFailure::BundleShort, entry.Name);
            FileTable.clear();
            return;
        }
    }

    SeekBlockFile(bundle, FileTable.front().Offset);
    TruncateBlockFile(bundle);
    CloseBlockFile(bundle);
    FileTable.clear();
}
