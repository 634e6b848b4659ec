// A minimal LHA archive around one LZHUF stream, so that Debian's `lha`
// (lhasa) can serve as an independent decoder: LHA's "-lh1-" method is the
// same bit stream. Level-0 header, as publicly documented:
//
//   0  header length - 2        1  checksum of bytes 2 .. end of header
//   2  "-lh1-"                  7  compressed size (LE 32)
//  11  original size (LE 32)   15  MS-DOS time and date
//  19  attribute (0x20)        20  header level (0)
//  21  name length n           22  name, then the CRC-16 of the original
//
// followed by the stream and a 0 byte that ends the archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The CRC-16 that LHA and ARC use: polynomial 0x8005 bit-reflected (0xA001),
// starting at 0, no final inversion.
inline uint16_t LhaCrc16(const std::vector<uint8_t>& bytes) {
    uint16_t crc = 0;
    for (const uint8_t byte : bytes) {
        crc = static_cast<uint16_t>(crc ^ byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint16_t>((crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1);
        }
    }
    return crc;
}

inline std::vector<uint8_t> WrapInLhaArchive(const std::string& name,
                                             const std::vector<uint8_t>& stream,
                                             uint32_t originalSize, uint16_t originalCrc) {
    std::vector<uint8_t> archive(22, 0);
    auto put32 = [&archive](size_t at, uint32_t value) {
        for (size_t index = 0; index < 4; ++index) {
            archive[at + index] = static_cast<uint8_t>(value >> (8 * index));
        }
    };
    const std::string method = "-lh1-";
    std::copy(method.begin(), method.end(), archive.begin() + 2);
    put32(7, static_cast<uint32_t>(stream.size()));
    put32(11, originalSize);
    put32(15, 0x2E210000); // 00:00:00, 1 January 2003
    archive[19] = 0x20;
    archive[20] = 0;
    archive[21] = static_cast<uint8_t>(name.size());
    archive.insert(archive.end(), name.begin(), name.end());
    archive.push_back(static_cast<uint8_t>(originalCrc));
    archive.push_back(static_cast<uint8_t>(originalCrc >> 8));
    archive[0] = static_cast<uint8_t>(archive.size() - 2);
    unsigned sum = 0;
    for (size_t index = 2; index < archive.size(); ++index) {
        sum += archive[index];
    }
    archive[1] = static_cast<uint8_t>(sum);
    archive.insert(archive.end(), stream.begin(), stream.end());
    archive.push_back(0);
    return archive;
}
