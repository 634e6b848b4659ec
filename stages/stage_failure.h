// Failures that a stage finds in a package or while unpacking and that must
// not pass for success: the stage records the first one, which also stops
// the work (KeepGoing 0), and shows it once its files are closed; the
// installation is then abandoned.
#pragma once

#include "platform/win32.h"

#include <string>

enum class StageFailure {
    None,
    UnsafeFileName,    // a table entry that is not a plain file name
    ArchiveUnreadable, // the combined archive could not be opened or read
    ArchiveEndedEarly, // the compressed data ended well before the bundle was made
    BundleNotWritten,  // a write to the bundle failed or wrote less than asked
    BundleShort,       // the bundle ended before a product file was complete
};

// The first failure recorded since the last report, and what it concerns (a
// file name or path).
extern StageFailure PendingFailure;
extern std::string PendingFailureSubject;

// Records a failure unless one is already pending, and clears KeepGoing.
void RecordStageFailure(StageFailure failure, const std::string& subject);

// Shows the pending failure's message (caption ProductName, OK, error icon)
// owned by `owner`, and clears it. Does nothing when none is pending.
void ReportStageFailure(HWND owner);
