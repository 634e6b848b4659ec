// The setup trailer parser on arbitrary bytes, as the end of a setup file:
// nothing outside the bytes may be read, every parsed name fits its field,
// and a parsed table written back and parsed again is the same table.
#include "package/package_format.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParsedTrailer trailer;
    if (ParseSetupTrailer(data, size, trailer) != TrailerParseResult::Parsed) {
        if (size >= static_cast<size_t>(TrailerTailSize) &&
            static_cast<int64_t>(size) >= TrailerSize(data[size - TrailerTailSize])) {
            std::abort();
        }
        return 0;
    }
    if (trailer.Entries.size() != data[size - TrailerTailSize] ||
        trailer.NameLengths.size() != trailer.Entries.size()) {
        std::abort();
    }
    for (const FileEntry& entry : trailer.Entries) {
        if (entry.Name.size() > static_cast<size_t>(MaxEntryNameLength)) {
            std::abort();
        }
    }
    FindTrailerProblems(trailer);

    const std::vector<uint8_t> written = EncodeSetupTrailer(trailer.Entries, trailer.UnpackedSize);
    ParsedTrailer again;
    if (ParseSetupTrailer(written.data(), written.size(), again) != TrailerParseResult::Parsed ||
        again.UnpackedSize != trailer.UnpackedSize ||
        again.Entries.size() != trailer.Entries.size()) {
        std::abort();
    }
    for (size_t index = 0; index < again.Entries.size(); ++index) {
        if (again.Entries[index].Name != trailer.Entries[index].Name ||
            again.Entries[index].Offset != trailer.Entries[index].Offset ||
            again.Entries[index].Size != trailer.Entries[index].Size) {
            std::abort();
        }
    }
    return 0;
}
