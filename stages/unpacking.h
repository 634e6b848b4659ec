// The unpacking stage ("PROGRESS"): decodes the combined archive into the
// bundle (the main program's file in the destination directory) through two
// adapters that buffer the file traffic in 2048-byte blocks, deletes the
// archive and hands over to file placement. The dialog ends with 1 when
// unpacking and placement are done, and with 0 when the user gave up, the
// bundle could be neither created nor opened, or the data could not be
// unpacked in full (a message then says why).
#pragma once

#include "platform/win32.h"

#include <cstdint>

// The combined archive, opened for reading: 0 until opened, negative when
// the open failed.
extern int32_t ArchiveHandle;
// The bundle, opened for writing: 0 until opened, negative when both create
// and open failed.
extern int32_t BundleHandle;
// 1-based position in InputBuffer of the next byte to deliver.
extern uint16_t InPos;
// Number of valid bytes in InputBuffer (positions 1 to InCount).
extern int32_t InCount;
// 1-based position in OutputBuffer of the next free byte; OutPos - 1 bytes
// wait to be written.
extern uint16_t OutPos;
// Bytes written to the bundle by the block flushes (not the final one); the
// unpacking meter's progress. 0 at program start; the stage does not reset it.
extern int32_t BytesWritten;

// True once this run has created or opened the bundle for writing; only then
// may the abort clean-up delete the main program's file.
extern bool BundleWrittenByThisRun;

// End-of-archive reads tolerated before the bundle is complete: at its end a
// well-formed stream makes the decoder ask for one byte beyond its last.
constexpr int32_t ArchiveLookAheadBytes = 2;

// The dialog procedure. Returns 1 for MsgStartWork and 0 for every other
// message, WM_INITDIALOG included (it sets the focus itself).
INT_PTR UnpackingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The work, run on MsgStartWork; ends the dialog. Runs PlaceFiles when the
// bundle was decoded in full.
void UnpackBundle(HWND dialog);

// The decoder's read callback. Delivers up to `count` bytes (at most 2048)
// from the archive, refilling InputBuffer in 2048-byte reads, and drains the
// message queue after each delivery so that the windows stay responsive and
// Cancel is seen. `actual` is 0 when KeepGoing is clear (nothing is read) and
// at the end of the archive. A failed read, or the archive ending more than
// ArchiveLookAheadBytes reads before the bundle is complete, records a stage
// failure, which stops the decoder before its next symbol.
void ReadArchiveBlock(uint8_t* buffer, uint16_t count, uint16_t& actual);

// The decoder's write callback. Takes up to `count` bytes (at most 2048) into
// OutputBuffer, first writing the waiting bytes to the bundle when they would
// not fit and then drawing the meter. A count of 0 is the final flush: the
// waiting bytes are written and nothing else changes. When KeepGoing is clear
// the bytes are dropped (`actual` 0). A write that fails or writes less than
// asked records a stage failure.
void WriteBundleBlock(const uint8_t* buffer, uint16_t count, uint16_t& actual);

// Puts the stage's variables back to program start; for tests.
void ResetUnpackingState();
