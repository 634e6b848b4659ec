// The registry's file: the text format that Windows' registry editor exports
// ("Windows Registry Editor Version 5.00"), written as UTF-8 without a byte
// order mark and with CR LF line ends.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Mellowick\Rembrix]
//   "RegDir"="C:\\Program Files\\Rembrix"      a string, with \\ and \" escaped
//   @="default value"                           the key's default value
//   "Count"=dword:0000000a                      a DWORD, eight hex digits
//   "Blob"=hex:01,02,ff                         binary
//   "Path"=hex(2):25,00,41,00,00,00             an expandable string, UTF-16LE
//
// Every key gets its own section, parents before children, in name order. A
// string with a control character, or without exactly one terminating zero,
// is written as hex(1) (UTF-16LE); a value of any other type as hex(type)
// with its bytes. Long hex lists continue on the next line after ",\".
#pragma once

#include "platform/machine/registry_tree.h"

#include <filesystem>
#include <string>

std::string RegistryText(const RegistryTree& tree);

// Reads the text back. Raises std::runtime_error "line N: ..." for anything
// that is not this format.
void ParseRegistryText(const std::string& text, RegistryTree& tree);

// Replaces `file` with `text` atomically: a temporary file beside it is
// written, flushed to the disk and renamed over it, so that a crash leaves
// either the old or the new registry whole. False, with errno set, on failure.
bool SaveRegistryFile(const std::filesystem::path& file, const std::string& text);
