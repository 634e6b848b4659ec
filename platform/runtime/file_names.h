// Text operations on Windows file names. They look only at the text: no file
// is touched.
#pragma once

#include <string>

// The directory part of a path: everything up to and including its last "\"
// or ":"; empty when it has neither.
std::string ExtractFilePath(const std::string& path);

// The extension of a path's name part: from its last "." on, when that "."
// comes after any "\" or ":"; empty otherwise.
std::string ExtractFileExt(const std::string& path);

// The path with its extension (as ExtractFileExt finds it) replaced by
// `extension`; a name without one gets `extension` appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The text with the letters a to z upper-cased and every other byte unchanged.
std::string UpperCaseAscii(const std::string& text);
