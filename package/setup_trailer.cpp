#include "package/setup_trailer.h"

#include "app/install_state.h"
#include "package/package_format.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_layer.h"
#include "platform/win32.h"

#include <string>
#include <vector>

namespace {

// The running program's own path; the buffer grows until the path fits.
std::string RunningProgramPath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            throw EInOutError("Find the setup program's own file", "(the running program)",
                              "the system gives no path for it");
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

void ReadEntries(BlockFile& file) {
    const int32_t size = BlockFileSize(file);

    uint8_t bytes[TrailerNameFieldSize];
    SeekBlockFile(file, size - 4);
    ReadExactBlockFile(file, bytes, 4);
    UnpackedSize = DecodeInt32(bytes);

    SeekBlockFile(file, size - TrailerTailSize);
    ReadExactBlockFile(file, bytes, 1);
    const int32_t entryCount = bytes[0];

    FileTable.clear();
    // At most 255 * 28 + 5 bytes back: no overflow, and a negative position
    // is the file layer's to refuse.
    SeekBlockFile(file, size - static_cast<int32_t>(TrailerSize(entryCount)));
    for (int32_t index = 0; index < entryCount; ++index) {
        FileEntry entry;
        ReadExactBlockFile(file, bytes, TrailerNameFieldSize);
        entry.Name = DecodeEntryName(bytes);
        ReadExactBlockFile(file, bytes, 4);
        entry.Offset = DecodeInt32(bytes);
        ReadExactBlockFile(file, bytes, 4);
        entry.Size = DecodeInt32(bytes);
        FileTable.push_back(entry);
    }
}

} // namespace

void ReadSetupTrailer() {
    const std::string path = RunningProgramPath();
    BlockFile file;
    const uint8_t callersMode = FileOpenMode;
    FileOpenMode = 0;
    try {
        OpenBlockFile(file, path);
    } catch (...) {
        FileOpenMode = callersMode;
        throw;
    }
    FileOpenMode = callersMode;
    try {
        ReadEntries(file);
    } catch (...) {
        // The error is fatal; the file is still not left open behind it.
        if (file.Handle != INVALID_HANDLE_VALUE) {
            CloseHandle(file.Handle);
            file.Handle = INVALID_HANDLE_VALUE;
        }
        throw;
    }
    CloseBlockFile(file);
}
