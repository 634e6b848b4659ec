// The volume gathering stage ("IPROGRESS"): reads the setup trailer, then
// joins the volume files of the distribution disks, in order, into the
// combined archive in the destination directory, asking for each later disk
// until its volume is there or the user gives up. The dialog ends with 1 when
// every volume was copied and with 0 when the user gave up or the package was
// refused.
#pragma once

#include "platform/runtime/file_layer.h"
#include "platform/win32.h"
#include "stages/progress_meter.h"

#include <cstdint>

// The byte total that the gathering meter measures against. Fixed when the
// installer is built, deliberately not taken from the volumes or the trailer:
// a package larger than this shows more than 100 % on its first volume.
constexpr int32_t ExpectedVolumeBytes = 1895000;

// True once this run has created the combined archive; only then may the
// abort clean-up delete a file of that name.
extern bool ArchiveWrittenByThisRun;

// The dialog procedure. Returns 1 for MsgStartWork and 0 for every other
// message, WM_INITDIALOG included (it sets the focus itself).
INT_PTR GatheringDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The work, run on MsgStartWork; ends the dialog. A failed file operation
// raises EInOutError, which ends the program. A table entry that is not a
// plain file name refuses the package before anything is opened: a message
// owned by the dialog says the package is damaged, and the dialog ends with 0.
void GatherVolumes(HWND dialog);

// Copies the open `volume` to the end of the combined archive block by block
// while KeepGoing holds, drawing progress under `rule` and draining the
// queue after each block; closes the volume.
void CopyVolume(BlockFile& volume, MeterRule rule);

// Advances VolumeFileName to volume `volumeNumber` (2 to 4) and asks for its
// disk until the file is in SourceDir or the user cancels while it is still
// missing (KeepGoing 0). No prompt when the file is already there.
void AwaitVolume(HWND dialog, int volumeNumber);

// Puts the stage's run state back to program start; for tests.
void ResetGatheringState();
