// Texts this program adds to the installer's own: the reports of a damaged
// package or of unpacking that could not be completed. The installer's own
// texts stay in InstallerSettings and in the dialogs, unchanged.
#pragma once

#include <string>

// The package names a file that is not a plain file name; nothing is copied.
std::string UnsafeFileNameMessage(const std::string& name);

// The combined archive could not be opened or read (not its end).
std::string ArchiveUnreadableMessage(const std::string& archivePath);

// The compressed data ended well before the product files were unpacked.
std::string ArchiveEndedEarlyMessage();

// A write to the bundle failed or wrote less than asked.
std::string BundleWriteFailedMessage(const std::string& bundlePath);

// The unpacked data ended before a product file was complete.
std::string BundleShortMessage(const std::string& fileName);

// The text of the error box that ends the program after a raised error.
std::string FatalErrorMessage(const std::string& reason);
