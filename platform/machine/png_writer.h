// Saving a surface as a PNG file (screenshots), and reading one back (tests).
#pragma once

#include "platform/machine/surface.h"

#include <filesystem>

// Writes the surface as an 8-bit RGB PNG, replacing any file at `path`.
// Raises std::runtime_error naming the path and the reason when the file
// cannot be written or the surface is empty or malformed.
void WritePng(const Surface& surface, const std::filesystem::path& path);

// Reads a PNG of any colour type into a surface (alpha is dropped).
// Raises std::runtime_error naming the path and the reason on failure.
Surface ReadPng(const std::filesystem::path& path);
