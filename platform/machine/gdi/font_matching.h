// Finding the installed font file for a Windows face name, weight and
// slant, through fontconfig. Internal to platform/machine/gdi.
#pragma once

#include <optional>
#include <string>

struct MatchedFontFile {
    std::string Path;
    int Index = 0;
    std::string Family;
    // What the file itself is, so the renderer can add the boldness or slant
    // the request asked for and the file lacks.
    bool IsBold = false;
    bool IsItalic = false;
};

// The installed font for the face, or nothing when fontconfig finds no
// usable font at all. Face names that fontconfig does not know as a family
// fall back to the substitute of "Arial", so the choice never depends on a
// machine's default font.
std::optional<MatchedFontFile> MatchFontFile(const std::string& windowsFaceName, int weight,
                                             bool italic);
