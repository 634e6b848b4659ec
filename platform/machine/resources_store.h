// The machine's table of the program's resources, read from the embedded
// resource script on first use and reset with the machine.
#pragma once

#include "platform/machine/resources.h"

#include <cstdint>
#include <string>
#include <vector>

struct ResourceRecord {
    std::string Name;
    uint16_t Type = 0; // RT_DIALOG, RT_BITMAP, RT_GROUP_ICON or RT_RCDATA as numbers
    // What LockResource gives: the binary dialog template; a bitmap without
    // its file header; an icon file or data file as it is.
    std::vector<uint8_t> ResourceBytes;
    // A bitmap's whole .bmp file, for FindBitmapResource.
    std::vector<uint8_t> FileBytes;
    DialogTemplate Dialog;
};

constexpr uint16_t ResourceTypeData = 10; // RT_RCDATA

// The resource of that name (without regard to case) and type; null when
// there is none or it is hidden.
const ResourceRecord* FindResourceRecord(const std::string& name, uint16_t type);

// True when `pointer` is one of the table's records (a valid HRSRC).
bool IsResourceRecord(const void* pointer);
