// `rembrix-pack list` and `rembrix-pack extract`: reading a built package
// back with the installer's own trailer format and decoder.
#pragma once

#include "package/package_format.h"

#include <filesystem>
#include <iosfwd>

// The trailer at the end of `setupFile`, as the installer would read it.
// Raises PackError when the file cannot be read or is shorter than the
// trailer it claims; the fields themselves are not judged here.
ParsedTrailer ReadTrailerOf(const std::filesystem::path& setupFile);

// Writes the table (index, name, offset, size), the main program's length,
// the unpacked size and the volumes found beside the file to `report`. A
// damaged trailer is not shown as a table: its broken rules are written
// instead (the first ten), and PackError is raised.
void ListPackage(const std::filesystem::path& setupFile, std::ostream& report);

// Reads the trailer, joins the volumes found beside `setupFile` in order and
// decodes them with the installer's UnpackStream. Without `verify` it writes
// the main program (under the product's main-program name) and every entry
// into `outputFolder`; with `verify` it compares them with the files there
// instead, writes each difference to `report` and raises PackError when any
// is found. A damaged trailer, a missing first volume, or volumes that end
// before the stream does or hold more than it needs raise PackError before
// anything is written.
void ExtractPackage(const std::filesystem::path& setupFile,
                    const std::filesystem::path& outputFolder, bool verify, std::ostream& report);
