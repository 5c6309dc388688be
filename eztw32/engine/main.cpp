// SPDX-License-Identifier: MIT
// eztw32-engine: SANE in a process of its own. libeztw32 starts it, sends
// requests over the socket at descriptor 3 and receives image bytes through
// the shared ring at descriptor 4. A backend that crashes or hangs takes only
// this process down; the library notices and reports it. The engine ends
// when the library says so, when the socket closes, or when its host ends.
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine_protocol.h"

using namespace eztw::engine;

// SANE's thread helper (sanei_thread, under the test backend and many others)
// puts each reader thread into asynchronous cancellation and ends it with
// pthread_cancel from sane_read at the frame's last bytes, or from
// sane_cancel. Asynchronous cancellation may land anywhere, also inside
// free(): the reader frees its buffer right after writing its last bytes,
// and a cancel caught there leaves the allocator's lock taken. The dying
// thread then blocks on that lock in its own exit, and the backend's
// pthread_join inside sane_read never returns: the frame stalls for good.
// Backends reach this function by dynamic lookup, so the engine's own
// definition, exported from the executable, takes their calls and keeps
// cancellation deferred: a cancel then acts at the reader's next blocking
// read, write, poll or sleep, where it holds no library lock.
extern "C" __attribute__((visibility("default"))) int pthread_setcanceltype(int, int* oldType) {
  using SetCancelType = int (*)(int, int*);
  static const auto libc =
      reinterpret_cast<SetCancelType>(::dlsym(RTLD_NEXT, "pthread_setcanceltype"));
  return libc ? libc(PTHREAD_CANCEL_DEFERRED, oldType) : ENOSYS;
}

namespace {

// How long an orderly end may take once the host is gone.
constexpr auto kOrphanGrace = std::chrono::milliseconds(500);
// The most one sane_read is asked for.
constexpr std::size_t kMaxRead = 1u << 20;
constexpr int kMaxOptions = 4096;

std::mutex sendMutex;

bool send(const Writer& w) {
  std::lock_guard lock(sendMutex);
  return sendMessage(kSocketFd, w);
}

bool readExact(void* p, std::size_t n) {
  auto* b = static_cast<uint8_t*>(p);
  while (n > 0) {
    const ssize_t k = ::recv(kSocketFd, b, n, 0);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    b += k, n -= static_cast<std::size_t>(k);
  }
  return true;
}

bool receive(std::vector<uint8_t>& message) {
  uint32_t n = 0;
  if (!readExact(&n, sizeof n) || n < sizeof(uint32_t) || n > kMaxMessage) return false;
  message.resize(n);
  return readExact(message.data(), n);
}

// Reads the frame in progress into the ring on a thread of its own, so the
// device keeps delivering while the library converts and encodes.
class FrameReader {
 public:
  FrameReader(RingHeader* header, uint8_t* data) : ring_(header), data_(data) {}
  ~FrameReader() { stop(); }

  // Starts reading a frame that sane_start has begun.
  void start(SANE_Handle h) {
    join();
    ring_->written.store(0);
    ring_->consumed.store(0);
    ring_->libraryWaiting.store(0);
    ring_->engineWaiting.store(0);
    ring_->status.store(SANE_STATUS_GOOD);
    ring_->finished.store(0);
    {
      std::lock_guard lock(mutex_);
      cancelled_ = false;
    }
    handle_ = h;
    thread_ = std::thread([this, h] { run(h); });
  }
  // Lets a reader that waits for room give up; sane_cancel ends a read.
  void cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    wake_.notify_all();
  }
  void space() {
    std::lock_guard lock(mutex_);
    ++notices_;
    wake_.notify_all();
  }
  bool reading(SANE_Handle h) const { return thread_.joinable() && handle_ == h && !finished(); }
  bool busyWith(SANE_Handle h) const { return thread_.joinable() && handle_ == h; }
  // Cancels the frame in progress and waits for the reader to end.
  void stop() {
    if (!thread_.joinable()) return;
    if (!finished()) ::sane_cancel(handle_);
    cancel();
    join();
  }
  const SANE_Parameters& parameters() const { return parameters_; }
  void setParameters(const SANE_Parameters& p) { parameters_ = p; }

 private:
  bool finished() const { return ring_->finished.load() != 0; }
  void join() {
    if (thread_.joinable()) thread_.join();
    handle_ = nullptr;
  }
  void notifyLibrary() {
    if (ring_->libraryWaiting.exchange(0)) send(Writer(Op::DataReady));
  }
  void finish(SANE_Status status) {
    ring_->status.store(status);
    ring_->finished.store(1);
    notifyLibrary();
  }
  // Waits until the library has made room; false when cancelled.
  bool waitForSpace(uint64_t consumed) {
    std::unique_lock lock(mutex_);
    const uint64_t seen = notices_;
    ring_->engineWaiting.store(1);
    if (ring_->consumed.load() != consumed) {
      ring_->engineWaiting.store(0);
      return !cancelled_;
    }
    wake_.wait(lock, [&] { return cancelled_ || notices_ != seen; });
    return !cancelled_;
  }
  void run(SANE_Handle h) {
    for (;;) {
      const uint64_t written = ring_->written.load();
      const uint64_t consumed = ring_->consumed.load();
      const uint64_t room = kRingDataBytes - (written - consumed);
      if (room == 0) {
        if (!waitForSpace(consumed)) return finish(SANE_STATUS_CANCELLED);
        continue;
      }
      const std::size_t at = written % kRingDataBytes;
      const std::size_t ask = std::min<std::size_t>({room, kRingDataBytes - at, kMaxRead});
      SANE_Int got = 0;
      const SANE_Status st = ::sane_read(h, data_ + at, static_cast<SANE_Int>(ask), &got);
      if (st != SANE_STATUS_GOOD) return finish(st);
      if (got < 0 || static_cast<std::size_t>(got) > ask) return finish(SANE_STATUS_IO_ERROR);
      if (got > 0) {
        ring_->written.store(written + static_cast<uint64_t>(got));
        notifyLibrary();
      }
    }
  }

  RingHeader* ring_;
  uint8_t* data_;
  std::thread thread_;
  SANE_Handle handle_ = nullptr;
  SANE_Parameters parameters_{};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool cancelled_ = false;
  uint64_t notices_ = 0;
};

void writeOptions(Writer& w, SANE_Handle h) {
  std::vector<const SANE_Option_Descriptor*> list;
  for (int i = 0; i < kMaxOptions; ++i) {
    const SANE_Option_Descriptor* d = ::sane_get_option_descriptor(h, i);
    if (!d) break;
    list.push_back(d);
  }
  w.u32(static_cast<uint32_t>(list.size()));
  for (const auto* d : list) writeDescriptor(w, *d);
}

class Engine {
 public:
  Engine(RingHeader* header, uint8_t* data) : reader_(header, data) {}

  // Serves requests until told to end or the socket closes.
  void serve() {
    std::vector<uint8_t> message;
    while (receive(message)) {
      Reader in(message);
      const Op op = in.op();
      if (op == Op::Exit) {
        shutDown();
        send(Writer(Op::Reply));
        return;
      }
      handle(op, in);
    }
    shutDown();
  }

 private:
  SANE_Handle lookup(uint32_t id) const {
    return id >= 1 && id <= handles_.size() ? handles_[id - 1] : nullptr;
  }

  void handle(Op op, Reader& in) {
    switch (op) {
      case Op::Init: {
        SANE_Int version = 0;
        const SANE_Status st = initialised_ ? SANE_STATUS_GOOD : ::sane_init(&version, nullptr);
        if (st == SANE_STATUS_GOOD && !initialised_) version_ = version, initialised_ = true;
        send(Writer(Op::Reply).i32(st).i32(version_));
        return;
      }
      case Op::GetDevices: {
        const bool localOnly = in.u32() != 0;
        const SANE_Device** list = nullptr;
        const SANE_Status st = ::sane_get_devices(&list, localOnly ? SANE_TRUE : SANE_FALSE);
        Writer w(Op::Reply);
        w.i32(st);
        uint32_t n = 0;
        while (st == SANE_STATUS_GOOD && list && list[n]) ++n;
        w.u32(n);
        for (uint32_t i = 0; i < n; ++i)
          w.str(list[i]->name).str(list[i]->vendor).str(list[i]->model).str(list[i]->type);
        send(w);
        return;
      }
      case Op::Open: {
        const auto name = in.str();
        SANE_Handle h = nullptr;
        const SANE_Status st = ::sane_open(name ? name->c_str() : "", &h);
        Writer w(Op::Reply);
        w.i32(st);
        if (st == SANE_STATUS_GOOD) {
          handles_.push_back(h);
          w.u32(static_cast<uint32_t>(handles_.size()));
          writeOptions(w, h);
        }
        send(w);
        return;
      }
      case Op::Close: {
        const uint32_t id = in.u32();
        if (SANE_Handle h = lookup(id)) {
          if (reader_.busyWith(h)) reader_.stop();
          ::sane_close(h);
          handles_[id - 1] = nullptr;
        }
        send(Writer(Op::Reply));
        return;
      }
      case Op::ControlOption: {
        SANE_Handle h = lookup(in.u32());
        const SANE_Int option = in.i32();
        const auto action = static_cast<SANE_Action>(in.i32());
        const bool hasValue = in.u32() != 0;
        std::vector<uint8_t> value = in.bytes();
        if (!h || !in.ok()) {
          send(Writer(Op::Reply).i32(SANE_STATUS_INVAL).i32(0).u32(0).bytes(nullptr, 0).u32(0));
          return;
        }
        const SANE_Option_Descriptor* d = ::sane_get_option_descriptor(h, option);
        const std::size_t size = d && d->size > 0 ? static_cast<std::size_t>(d->size) : 0;
        const std::size_t sent = value.size();
        // Room for the backend's own idea of the size, and a final zero.
        value.resize(std::max(size, sent) + sizeof(SANE_Word), 0);
        SANE_Int info = 0;
        const SANE_Status st =
            ::sane_control_option(h, option, action, hasValue ? value.data() : nullptr, &info);
        Writer w(Op::Reply);
        w.i32(st).i32(info).u32(hasValue ? 1 : 0);
        w.bytes(value.data(), static_cast<uint32_t>(hasValue ? std::max(size, sent) : 0));
        const bool reload = st == SANE_STATUS_GOOD && (info & SANE_INFO_RELOAD_OPTIONS);
        w.u32(reload ? 1 : 0);
        if (reload) writeOptions(w, h);
        send(w);
        return;
      }
      case Op::GetParameters: {
        SANE_Handle h = lookup(in.u32());
        SANE_Parameters p{};
        SANE_Status st = SANE_STATUS_INVAL;
        if (h && reader_.reading(h)) {
          p = reader_.parameters(), st = SANE_STATUS_GOOD;
        } else if (h) {
          st = ::sane_get_parameters(h, &p);
        }
        send(Writer(Op::Reply).i32(st).raw(&p, sizeof p));
        return;
      }
      case Op::Start: {
        SANE_Handle h = lookup(in.u32());
        SANE_Parameters p{};
        SANE_Status st = SANE_STATUS_INVAL;
        if (h) {
          reader_.stop();
          st = ::sane_start(h);
          if (st == SANE_STATUS_GOOD) st = ::sane_get_parameters(h, &p);
          if (st == SANE_STATUS_GOOD) {
            reader_.setParameters(p);
            reader_.start(h);
          }
        }
        send(Writer(Op::Reply).i32(st).raw(&p, sizeof p));
        return;
      }
      case Op::Cancel:
        if (SANE_Handle h = lookup(in.u32())) {
          ::sane_cancel(h);
          if (reader_.busyWith(h)) reader_.cancel();
        }
        return;
      case Op::Space:
        reader_.space();
        return;
      default:
        return;  // nothing else is a request
    }
  }

  void shutDown() {
    reader_.stop();
    for (SANE_Handle& h : handles_)
      if (h) ::sane_close(h), h = nullptr;
    if (initialised_) ::sane_exit();
    initialised_ = false;
  }

  FrameReader reader_;
  std::vector<SANE_Handle> handles_;  // id - 1; null once closed
  bool initialised_ = false;
  SANE_Int version_ = 0;
};

// Ends the process shortly after its host is gone, even while a backend
// holds the serving thread inside a call that never returns.
void watchHost(pid_t host) {
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, host, 0));
  std::thread([pidfd] {
    pollfd fds[2] = {{kSocketFd, 0, 0}, {pidfd, POLLIN, 0}};
    const nfds_t n = pidfd >= 0 ? 2 : 1;
    while (::poll(fds, n, -1) < 0 && errno == EINTR) {
    }
    std::this_thread::sleep_for(kOrphanGrace);
    ::_exit(0);
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  pid_t host = 0;
  bool dieWithSpawner = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--host" && i + 1 < argc) host = static_cast<pid_t>(std::atol(argv[++i]));
    if (a == "--parent-death-signal") dieWithSpawner = true;
  }
  if (host <= 0 || ::fcntl(kSocketFd, F_GETFD) < 0 || ::fcntl(kRingFd, F_GETFD) < 0) {
    std::fprintf(stderr, "%s: started by libeztw32 with its channel, not by hand\n",
                 argc > 0 ? argv[0] : "eztw32-engine");
    return 2;
  }
  // The death signal follows the thread that started us, so the library asks
  // for it only when that thread is its host's main thread.
  if (dieWithSpawner) ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != host) return 0;
  ::fcntl(kSocketFd, F_SETFD, FD_CLOEXEC);
  ::fcntl(kRingFd, F_SETFD, FD_CLOEXEC);
  ::close_range(kRingFd + 1, ~0u, 0);
  void* map =
      ::mmap(nullptr, kRingBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, kRingFd, 0);
  if (map == MAP_FAILED) return 2;
  watchHost(host);
  auto* base = static_cast<uint8_t*>(map);
  Engine engine(reinterpret_cast<RingHeader*>(base), base + kRingHeaderBytes);
  engine.serve();
  return 0;
}
