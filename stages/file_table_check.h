// The check of the file table right after the setup trailer is read. The
// names of a package decide where files are written: a name that is not a
// plain file name could send a product file anywhere, so such a package is
// refused before anything is copied.
#pragma once

#include "app/install_state.h"

#include <string>

// True when `name` is a plain file name, one that keeps its file inside the
// target folder: not empty, not "." or "..", and holding no "\", "/", ":"
// and no NUL byte (a NUL would silently cut the name short when it is handed
// to Windows).
bool IsSafeEntryName(const std::string& name);

// The first entry of `table` whose name is not a plain file name; null when
// every name is.
const FileEntry* FindUnsafeEntry(const FileTableList& table);
