// The files built into the program by the resource step (resources/
// CMakeLists.txt): the resource script "rembrix.rc" and each file it names
// that existed when the program was built, under the name the script uses.
#pragma once

#include <cstddef>

struct EmbeddedResourceFile {
    const char* Name;
    const unsigned char* Data; // followed by one extra zero byte
    std::size_t Size;
};

extern const EmbeddedResourceFile EmbeddedResourceFiles[];
extern const std::size_t EmbeddedResourceFileCount;
