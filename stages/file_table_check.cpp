#include "stages/file_table_check.h"

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string("\\/:\0", 4)) == std::string::npos;
}

const FileEntry* FindUnsafeEntry(const FileTableList& table) {
    for (const FileEntry& entry : table) {
        if (!IsSafeEntryName(entry.Name)) {
            return &entry;
        }
    }
    return nullptr;
}
