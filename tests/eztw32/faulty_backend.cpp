// SPDX-License-Identifier: MIT
// A SANE backend that misbehaves on purpose, loaded by SANE's dll backend as
// "faulty". Each device fails in its own way:
//   faulty:segv-read      the second sane_read crashes the process
//   faulty:hang-read      the second sane_read never returns, cancel or not
//   faulty:ignore-cancel  sane_read sends a line every 20 ms and ignores cancel
//   faulty:hang-open      sane_open never returns
// Frames are 8-bit grey, 64 pixels wide.
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <unistd.h>

#include <cstring>

#define BACKEND_API extern "C" __attribute__((visibility("default")))

namespace {

constexpr SANE_Int kWidth = 64;

enum class Fault { SegvRead, HangRead, IgnoreCancel, HangOpen };

struct Device {
  const char* name;
  Fault fault;
};
const Device kDevices[] = {{"segv-read", Fault::SegvRead},
                           {"hang-read", Fault::HangRead},
                           {"ignore-cancel", Fault::IgnoreCancel},
                           {"hang-open", Fault::HangOpen}};

struct Handle {
  Fault fault;
  int reads = 0;
};

const SANE_Device kRecords[] = {{"segv-read", "Faulty", "crashes in read", "virtual device"},
                                {"hang-read", "Faulty", "hangs in read", "virtual device"},
                                {"ignore-cancel", "Faulty", "ignores cancel", "virtual device"},
                                {"hang-open", "Faulty", "hangs in open", "virtual device"}};
const SANE_Device* kList[] = {&kRecords[0], &kRecords[1], &kRecords[2], &kRecords[3], nullptr};

SANE_Option_Descriptor countOption = {
    SANE_NAME_NUM_OPTIONS, SANE_TITLE_NUM_OPTIONS, SANE_DESC_NUM_OPTIONS,
    SANE_TYPE_INT,         SANE_UNIT_NONE,         sizeof(SANE_Word),
    SANE_CAP_SOFT_DETECT,  SANE_CONSTRAINT_NONE,   {nullptr}};

[[noreturn]] void blockForever() {
  for (;;) ::pause();
}

}  // namespace

BACKEND_API SANE_Status sane_faulty_init(SANE_Int* version, SANE_Auth_Callback) {
  if (version) *version = SANE_VERSION_CODE(1, 0, 0);
  return SANE_STATUS_GOOD;
}

BACKEND_API void sane_faulty_exit() {}

BACKEND_API SANE_Status sane_faulty_get_devices(const SANE_Device*** list, SANE_Bool) {
  *list = kList;
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_open(SANE_String_Const name, SANE_Handle* h) {
  for (const Device& d : kDevices)
    if (std::strcmp(name, d.name) == 0) {
      if (d.fault == Fault::HangOpen) blockForever();
      *h = new Handle{d.fault};
      return SANE_STATUS_GOOD;
    }
  return SANE_STATUS_INVAL;
}

BACKEND_API void sane_faulty_close(SANE_Handle h) { delete static_cast<Handle*>(h); }

BACKEND_API const SANE_Option_Descriptor* sane_faulty_get_option_descriptor(SANE_Handle,
                                                                            SANE_Int n) {
  return n == 0 ? &countOption : nullptr;
}

BACKEND_API SANE_Status sane_faulty_control_option(SANE_Handle, SANE_Int n, SANE_Action action,
                                                   void* value, SANE_Int* info) {
  if (info) *info = 0;
  if (n != 0 || action != SANE_ACTION_GET_VALUE || !value) return SANE_STATUS_INVAL;
  *static_cast<SANE_Word*>(value) = 1;
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_get_parameters(SANE_Handle, SANE_Parameters* p) {
  p->format = SANE_FRAME_GRAY;
  p->last_frame = SANE_TRUE;
  p->bytes_per_line = kWidth;
  p->pixels_per_line = kWidth;
  p->lines = 100000;
  p->depth = 8;
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_start(SANE_Handle h) {
  static_cast<Handle*>(h)->reads = 0;
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_read(SANE_Handle h, SANE_Byte* data, SANE_Int max,
                                         SANE_Int* length) {
  auto* d = static_cast<Handle*>(h);
  if (++d->reads > 1) {
    if (d->fault == Fault::SegvRead) {
      volatile int* nowhere = nullptr;
      *nowhere = 1;
    }
    if (d->fault == Fault::HangRead) blockForever();
    if (d->fault == Fault::IgnoreCancel) ::usleep(20000);
  }
  *length = max < kWidth ? max : kWidth;
  std::memset(data, 0x80, static_cast<std::size_t>(*length));
  return SANE_STATUS_GOOD;
}

BACKEND_API void sane_faulty_cancel(SANE_Handle) {}

BACKEND_API SANE_Status sane_faulty_set_io_mode(SANE_Handle, SANE_Bool nonBlocking) {
  return nonBlocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_get_select_fd(SANE_Handle, SANE_Int*) {
  return SANE_STATUS_UNSUPPORTED;
}
