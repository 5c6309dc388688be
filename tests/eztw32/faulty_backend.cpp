// SPDX-License-Identifier: MIT
// A SANE backend that misbehaves on purpose, loaded by SANE's dll backend as
// "faulty". Each device fails in its own way:
//   faulty:segv-read      the second sane_read crashes the process
//   faulty:hang-read      the second sane_read never returns, cancel or not
//   faulty:ignore-cancel  sane_read sends a line every 20 ms and ignores cancel
//   faulty:hang-open      sane_open never returns
//   faulty:thread-reader  a healthy 8-line frame, read as SANE's thread
//                         helper does: a reader thread in asynchronous
//                         cancellation, cancelled at the frame's end while
//                         it holds a lock the backend needs next
// Frames are 8-bit grey, 64 pixels wide.
#include <linux/futex.h>
#include <pthread.h>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#define BACKEND_API extern "C" __attribute__((visibility("default")))

namespace {

constexpr SANE_Int kWidth = 64;

constexpr SANE_Int kThreadReaderLines = 8;

enum class Fault { SegvRead, HangRead, IgnoreCancel, HangOpen, ThreadReader };

struct Device {
  const char* name;
  Fault fault;
};
const Device kDevices[] = {{"segv-read", Fault::SegvRead},
                           {"hang-read", Fault::HangRead},
                           {"ignore-cancel", Fault::IgnoreCancel},
                           {"hang-open", Fault::HangOpen},
                           {"thread-reader", Fault::ThreadReader}};

// The end of a reader thread as SANE's thread helper runs it: asynchronous
// cancellation, and a cancel that comes while the thread holds a lock (in
// SANE, the allocator's lock inside free()). The thread learns that it may
// let go only through a system call, so a pending asynchronous cancel always
// ends it before it unlocks; a deferred cancel waits until it has.
struct ThreadReader {
  pthread_t thread{};
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  std::atomic<int> holding{0};
  std::atomic<int> release{0};

  static void* run(void* self) {
    auto* r = static_cast<ThreadReader*>(self);
    int old = 0;
    ::pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &old);
    ::pthread_setcanceltype(PTHREAD_CANCEL_ASYNCHRONOUS, &old);
    ::pthread_mutex_lock(&r->lock);
    r->holding.store(1);
    // A raw futex wait is no cancellation point.
    while (::syscall(SYS_futex, &r->release, FUTEX_WAIT_PRIVATE, 0, nullptr, nullptr, 0) == 0 ||
           errno == EINTR) {
    }
    ::pthread_mutex_unlock(&r->lock);
    return nullptr;
  }
  bool begin() {
    holding.store(0);
    release.store(0);
    return ::pthread_create(&thread, nullptr, run, this) == 0;
  }
  // Cancels the reader as the thread helper does, then takes the lock.
  void finish() {
    while (!holding.load()) ::sched_yield();
    ::pthread_cancel(thread);
    release.store(1);
    ::syscall(SYS_futex, &release, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
    ::pthread_join(thread, nullptr);
    ::pthread_mutex_lock(&lock);  // never returns if the cancel left it taken
    ::pthread_mutex_unlock(&lock);
  }
};

struct Handle {
  Fault fault = Fault::SegvRead;
  int reads = 0;
  std::atomic<bool> reading{false};  // a reader thread runs
  ThreadReader reader;
};

const SANE_Device kRecords[] = {{"segv-read", "Faulty", "crashes in read", "virtual device"},
                                {"hang-read", "Faulty", "hangs in read", "virtual device"},
                                {"ignore-cancel", "Faulty", "ignores cancel", "virtual device"},
                                {"hang-open", "Faulty", "hangs in open", "virtual device"},
                                {"thread-reader", "Faulty", "reads on a thread", "virtual device"}};
const SANE_Device* kList[] = {&kRecords[0], &kRecords[1], &kRecords[2],
                              &kRecords[3], &kRecords[4], nullptr};

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
      auto* handle = new Handle;
      handle->fault = d.fault;
      *h = handle;
      return SANE_STATUS_GOOD;
    }
  return SANE_STATUS_INVAL;
}

BACKEND_API void sane_faulty_cancel(SANE_Handle h) {
  auto* d = static_cast<Handle*>(h);
  if (d->reading.exchange(false)) d->reader.finish();
}

BACKEND_API void sane_faulty_close(SANE_Handle h) {
  sane_faulty_cancel(h);
  delete static_cast<Handle*>(h);
}

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

BACKEND_API SANE_Status sane_faulty_get_parameters(SANE_Handle h, SANE_Parameters* p) {
  p->format = SANE_FRAME_GRAY;
  p->last_frame = SANE_TRUE;
  p->bytes_per_line = kWidth;
  p->pixels_per_line = kWidth;
  p->lines = static_cast<Handle*>(h)->fault == Fault::ThreadReader ? kThreadReaderLines : 100000;
  p->depth = 8;
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_start(SANE_Handle h) {
  auto* d = static_cast<Handle*>(h);
  sane_faulty_cancel(h);
  d->reads = 0;
  if (d->fault == Fault::ThreadReader) {
    if (!d->reader.begin()) return SANE_STATUS_NO_MEM;
    d->reading.store(true);
  }
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
  if (d->fault == Fault::ThreadReader) {
    if (d->reads > kThreadReaderLines) return SANE_STATUS_EOF;
    // The frame's last line ends the pass, as the test backend does.
    if (d->reads == kThreadReaderLines) sane_faulty_cancel(h);
  }
  *length = max < kWidth ? max : kWidth;
  std::memset(data, 0x80, static_cast<std::size_t>(*length));
  return SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_set_io_mode(SANE_Handle, SANE_Bool nonBlocking) {
  return nonBlocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

BACKEND_API SANE_Status sane_faulty_get_select_fd(SANE_Handle, SANE_Int*) {
  return SANE_STATUS_UNSUPPORTED;
}
