// SPDX-License-Identifier: MIT
// TWAIN result and condition codes, the library's own last-error codes, and
// the one translation from SANE statuses to them.
#pragma once

#include <sane/sane.h>

#include <cstdint>

namespace eztw {

// TWAIN return codes (TWRC_*).
enum ResultCode : int32_t {
  kRcSuccess = 0,
  kRcFailure = 1,
  kRcCheckStatus = 2,
  kRcCancel = 3,
  kRcXferDone = 6,
  kRcEndOfList = 7,
};

// TWAIN condition codes (TWCC_*).
enum ConditionCode : int32_t {
  kCcSuccess = 0,
  kCcBummer = 1,
  kCcLowMemory = 2,
  kCcNoDs = 3,
  kCcOperationError = 5,
  kCcBadCap = 6,
  kCcBadValue = 10,
  kCcSeqError = 11,
  kCcCapUnsupported = 13,
  kCcDenied = 16,
  kCcPaperJam = 20,
  kCcFileWriteError = 22,
  kCcCheckDeviceOnline = 23,
  kCcInterlock = 24,
  kCcNoMedia = 29,
};

// The library's last-error codes, as TWAIN_LastErrorCode reports them.
enum LastError : int32_t {
  kErrNone = 0,
  kErrCancelled = 1,      // the user cancelled
  kErrNoSource = 2,       // no scanner, or it could not be opened
  kErrSequence = 3,       // call not allowed in the current state
  kErrBusy = 4,           // the device is in use
  kErrJammed = 5,         // paper jam
  kErrNoDocs = 6,         // feeder empty
  kErrCoverOpen = 7,      // cover open
  kErrIo = 8,             // I/O error talking to the device
  kErrNoMemory = 9,       // out of memory
  kErrAccessDenied = 10,  // permission or authorisation refused
  kErrUnsupported = 11,   // the device cannot do this
  kErrBadValue = 12,      // invalid argument
  kErrBadHandle = 13,     // unknown or freed DIB handle
  kErrFile = 14,          // file could not be opened, written or read
  kErrInternal = 15,      // anything else
  kErrFileFormat = 16,    // an image file of a kind or compression not supported
  // The scanner driver crashed or hung, and its engine process was ended.
  kErrDriverStopped = 17,
  kErrShortPage = 18,  // the page ended before all its lines came
};

struct Status {
  ResultCode result;
  ConditionCode condition;
  LastError error;
};

Status translateSaneStatus(SANE_Status status);
const char* lastErrorText(int32_t code);

}  // namespace eztw
