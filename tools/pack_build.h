// `rembrix-pack build`: bundles the product's files, compresses the bundle,
// splits the stream into volumes and appends the setup trailer to a copy of
// the setup program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <vector>

struct BuildRequest {
    std::filesystem::path SetupProgram;
    std::filesystem::path OutputFolder;
    // The main program, then every other file in bundle order.
    std::filesystem::path MainProgram;
    std::vector<std::filesystem::path> Files;
    // 0: not given.
    int VolumeCount = 0;
    uint64_t MaxVolumeSize = 0;
};

// The floppy disk this product once shipped on.
constexpr uint64_t FloppyVolumeSize = 1457664;

// Builds the package. Every input is checked first; a refusal (missing or
// unreadable input, a name that is not a plain file name of at most 19
// characters, more than 255 files, a bundle of 2 GiB or more, more volumes
// than 4, an output that would replace an input) raises PackError and leaves
// nothing written. Writes a summary to `report`.
void BuildPackage(const BuildRequest& request, std::ostream& report);

// The sizes of the volumes that a stream of `streamSize` bytes is cut into:
// `volumeCount` nearly equal slices when given, else as many slices of
// `maxVolumeSize` as needed (the last one shorter), else `defaultCount`
// slices. With both given the count is kept and every slice must fit the
// size. Raises PackError when more than 4 volumes would be needed.
std::vector<uint64_t> PlanVolumeSizes(uint64_t streamSize, int volumeCount, uint64_t maxVolumeSize,
                                      int defaultCount);
