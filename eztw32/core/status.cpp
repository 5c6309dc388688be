// SPDX-License-Identifier: MIT
#include "status.h"

#include "sane_api.h"

namespace eztw {

Status translateSaneStatus(SANE_Status status) {
  if (status == kSaneDriverStopped) return {kRcFailure, kCcOperationError, kErrDriverStopped};
  switch (status) {
    case SANE_STATUS_GOOD:
    case SANE_STATUS_EOF:
      return {kRcSuccess, kCcSuccess, kErrNone};
    case SANE_STATUS_CANCELLED:
      return {kRcCancel, kCcSuccess, kErrCancelled};
    case SANE_STATUS_UNSUPPORTED:
      return {kRcFailure, kCcCapUnsupported, kErrUnsupported};
    case SANE_STATUS_DEVICE_BUSY:
      return {kRcFailure, kCcCheckDeviceOnline, kErrBusy};
    case SANE_STATUS_INVAL:
      return {kRcFailure, kCcBadValue, kErrBadValue};
    case SANE_STATUS_JAMMED:
      return {kRcFailure, kCcPaperJam, kErrJammed};
    case SANE_STATUS_NO_DOCS:
      return {kRcFailure, kCcNoMedia, kErrNoDocs};
    case SANE_STATUS_COVER_OPEN:
      return {kRcFailure, kCcInterlock, kErrCoverOpen};
    case SANE_STATUS_IO_ERROR:
      return {kRcFailure, kCcOperationError, kErrIo};
    case SANE_STATUS_NO_MEM:
      return {kRcFailure, kCcLowMemory, kErrNoMemory};
    case SANE_STATUS_ACCESS_DENIED:
      return {kRcFailure, kCcDenied, kErrAccessDenied};
  }
  return {kRcFailure, kCcBummer, kErrInternal};
}

const char* lastErrorText(int32_t code) {
  switch (code) {
    case kErrNone:
      return "no error";
    case kErrCancelled:
      return "cancelled by the user";
    case kErrNoSource:
      return "no scanner available, or it could not be opened";
    case kErrSequence:
      return "not allowed in the current state";
    case kErrBusy:
      return "the scanner is busy";
    case kErrJammed:
      return "the document feeder is jammed";
    case kErrNoDocs:
      return "the document feeder is out of documents";
    case kErrCoverOpen:
      return "the scanner cover is open";
    case kErrIo:
      return "error communicating with the scanner";
    case kErrNoMemory:
      return "out of memory";
    case kErrAccessDenied:
      return "access to the scanner was denied";
    case kErrUnsupported:
      return "the scanner does not support this";
    case kErrBadValue:
      return "invalid argument";
    case kErrBadHandle:
      return "invalid image handle";
    case kErrFile:
      return "file error";
    case kErrFileFormat:
      return "the image file's format or compression is not supported";
    case kErrDriverStopped:
      return "the scanner driver stopped unexpectedly";
    case kErrShortPage:
      return "the page ended early";
  }
  return "internal error";
}

}  // namespace eztw
