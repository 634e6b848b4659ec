#include "app/messages.h"

namespace {

const char* const CannotComplete = "\r\n\r\nThe installation cannot be completed.";

// A name from a damaged package as it can be shown: control characters
// (a NUL would end the text early) become "?".
std::string Printable(const std::string& name) {
    std::string shown = name;
    for (char& character : shown) {
        if (static_cast<unsigned char>(character) < 0x20) {
            character = '?';
        }
    }
    return shown;
}

} // namespace

std::string UnsafeFileNameMessage(const std::string& name) {
    return "The installation package is damaged: it lists the file \"" + Printable(name) +
           "\", which is not a plain file name.\r\n\r\nNothing has been copied.";
}

std::string ArchiveUnreadableMessage(const std::string& archivePath) {
    return "The compressed archive " + archivePath + " could not be read." + CannotComplete;
}

std::string ArchiveEndedEarlyMessage() {
    return std::string("The installation package is damaged: its compressed data ends before "
                       "all files are unpacked.") +
           CannotComplete;
}

std::string BundleWriteFailedMessage(const std::string& bundlePath) {
    return "The file " + bundlePath + " could not be written in full. The disk may be full." +
           CannotComplete;
}

std::string BundleShortMessage(const std::string& fileName) {
    return "The installation package is damaged: the unpacked data ends before the file \"" +
           Printable(fileName) + "\" is complete." + CannotComplete;
}

std::string FatalErrorMessage(const std::string& reason) {
    return "The Setup program cannot continue.\r\n\r\n" + reason;
}
