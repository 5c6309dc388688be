// SPDX-License-Identifier: MIT
// SANE through the engine process: each entry point of the SaneApi table
// becomes a request to eztw32-engine, with a deadline. A dead engine, or one
// ended for missing its deadline, turns the call in progress into
// kSaneDriverStopped; handles of that engine stay dead, and the next call
// that needs SANE starts a new engine and initialises SANE in it again.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "beside.h"
#include "engine_protocol.h"
#include "log.h"
#include "sane_api.h"

extern char** environ;

namespace eztw {

namespace {

using namespace engine;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// How long the engine may take, in seconds, each settable from the
// environment: a transfer waiting for data (and sane_start), a device
// discovery, and every other request.
Seconds limit(const char* variable, double fallback) {
  const char* v = std::getenv(variable);
  char* end = nullptr;
  const double s = v ? std::strtod(v, &end) : 0;
  return Seconds(v && end != v && s > 0 ? s : fallback);
}
Seconds transferLimit() { return limit("EZTW32_TRANSFER_TIMEOUT", 60); }
Seconds discoveryLimit() { return limit("EZTW32_DISCOVERY_TIMEOUT", 60); }
Seconds requestLimit() { return limit("EZTW32_OPEN_TIMEOUT", 30); }
// A cancelled frame must end this soon, whatever the backend does.
constexpr Seconds kCancelLimit{2.0};
// An engine asked to end is waited for this long before it is killed.
constexpr Seconds kExitLimit{5.0};

// Strings and lists handed to the caller stay at their address until the
// handle closes (option descriptors) or the next discovery (devices).
struct Arena {
  std::deque<std::string> strings;
  std::deque<std::vector<SANE_String_Const>> stringLists;
  std::deque<std::vector<SANE_Word>> wordLists;
  std::deque<SANE_Range> ranges;
  const char* keep(const std::optional<std::string>& s) {
    return s ? strings.emplace_back(*s).c_str() : nullptr;
  }
};

struct RemoteHandle {
  uint32_t id = 0;
  uint64_t generation = 0;
  // One descriptor per option at a fixed address; a reload rewrites it.
  // Options that a reload drops keep their memory until the handle closes.
  std::vector<std::unique_ptr<SANE_Option_Descriptor>> options;
  std::size_t count = 0;
  Arena arena;
};

bool readDescriptor(Reader& in, Arena& arena, SANE_Option_Descriptor& d) {
  d.name = arena.keep(in.str());
  d.title = arena.keep(in.str());
  d.desc = arena.keep(in.str());
  d.type = static_cast<SANE_Value_Type>(in.i32());
  d.unit = static_cast<SANE_Unit>(in.i32());
  d.size = in.i32();
  d.cap = in.i32();
  d.constraint_type = static_cast<SANE_Constraint_Type>(in.i32());
  switch (d.constraint_type) {
    case SANE_CONSTRAINT_RANGE: {
      SANE_Range& r = arena.ranges.emplace_back();
      r.min = in.i32(), r.max = in.i32(), r.quant = in.i32();
      d.constraint.range = &r;
      break;
    }
    case SANE_CONSTRAINT_WORD_LIST: {
      const SANE_Word n = in.i32();
      if (n < 0 || n > 65536) return false;
      auto& list = arena.wordLists.emplace_back(static_cast<std::size_t>(n) + 1);
      list[0] = n;
      for (SANE_Word k = 1; k <= n; ++k) list[static_cast<std::size_t>(k)] = in.i32();
      d.constraint.word_list = list.data();
      break;
    }
    case SANE_CONSTRAINT_STRING_LIST: {
      const uint32_t n = in.u32();
      if (n > 65536) return false;
      auto& list = arena.stringLists.emplace_back();
      for (uint32_t k = 0; k < n; ++k) list.push_back(arena.keep(in.str().value_or("")));
      list.push_back(nullptr);
      d.constraint.string_list = list.data();
      break;
    }
    default:
      d.constraint_type = SANE_CONSTRAINT_NONE;
      d.constraint.range = nullptr;
  }
  return in.ok();
}

void readOptions(Reader& in, RemoteHandle& r) {
  const uint32_t n = in.u32();
  if (!in.ok() || n > 4096) return;
  for (uint32_t i = 0; i < n; ++i) {
    if (i >= r.options.size()) r.options.push_back(std::make_unique<SANE_Option_Descriptor>());
    if (!readDescriptor(in, r.arena, *r.options[i])) return;
  }
  r.count = n;
}

class EngineClient {
 public:
  // Never destroyed: handles may still be closed by other objects' destructors
  // while the library unloads; unloading() ends the engine itself.
  static EngineClient& instance() {
    static EngineClient* client = new EngineClient;
    return *client;
  }
  void unloading() {
    std::lock_guard call(callMutex_);
    initialised_ = false;
    stopEngine(Seconds(1));
  }

  SANE_Status init(SANE_Int* version) {
    std::lock_guard call(callMutex_);
    initialised_ = true;
    const SANE_Status st = ensureEngine();
    if (version) *version = version_;
    return st;
  }

  void exit() {
    std::lock_guard call(callMutex_);
    initialised_ = false;
    stopEngine(kExitLimit);
    devices_ = {};
  }

  SANE_Status getDevices(const SANE_Device*** list, SANE_Bool localOnly) {
    std::lock_guard call(callMutex_);
    if (list) *list = nullptr;
    if (!initialised_ || !list) return SANE_STATUS_INVAL;
    std::vector<uint8_t> reply;
    const SANE_Status sent =
        request(Writer(Op::GetDevices).u32(localOnly ? 1 : 0), discoveryLimit(), reply, true);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    const uint32_t n = in.u32();
    if (st != SANE_STATUS_GOOD) return st;
    if (!in.ok() || n > 65536) return SANE_STATUS_IO_ERROR;
    Devices fresh;
    fresh.records.resize(n);
    for (auto& d : fresh.records) {
      d.name = fresh.arena.keep(in.str());
      d.vendor = fresh.arena.keep(in.str());
      d.model = fresh.arena.keep(in.str());
      d.type = fresh.arena.keep(in.str());
      fresh.list.push_back(&d);
    }
    fresh.list.push_back(nullptr);
    if (!in.ok()) return SANE_STATUS_IO_ERROR;
    devices_ = std::move(fresh);
    *list = devices_.list.data();
    return SANE_STATUS_GOOD;
  }

  SANE_Status open(SANE_String_Const name, SANE_Handle* handle) {
    std::lock_guard call(callMutex_);
    if (handle) *handle = nullptr;
    if (!initialised_ || !handle) return SANE_STATUS_INVAL;
    std::vector<uint8_t> reply;
    const SANE_Status sent =
        request(Writer(Op::Open).str(name ? name : ""), requestLimit(), reply, true);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    if (st != SANE_STATUS_GOOD) return st;
    auto r = std::make_unique<RemoteHandle>();
    r->id = in.u32();
    r->generation = generation_;
    readOptions(in, *r);
    if (!in.ok()) return SANE_STATUS_IO_ERROR;
    *handle = r.release();
    return SANE_STATUS_GOOD;
  }

  void close(SANE_Handle handle) {
    std::lock_guard call(callMutex_);
    std::unique_ptr<RemoteHandle> r(static_cast<RemoteHandle*>(handle));
    if (!r || !alive(*r)) return;
    if (frameOf_ == r.get() && settleFrame() != SANE_STATUS_GOOD) return;
    std::vector<uint8_t> reply;
    request(Writer(Op::Close).u32(r->id), requestLimit(), reply, false);
  }

  const SANE_Option_Descriptor* optionDescriptor(SANE_Handle handle, SANE_Int option) {
    std::lock_guard call(callMutex_);
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r || option < 0 || static_cast<std::size_t>(option) >= r->count) return nullptr;
    return r->options[static_cast<std::size_t>(option)].get();
  }

  SANE_Status controlOption(SANE_Handle handle, SANE_Int option, SANE_Action action, void* value,
                            SANE_Int* info) {
    std::lock_guard call(callMutex_);
    if (info) *info = 0;
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r) return SANE_STATUS_INVAL;
    if (!alive(*r)) return kSaneDriverStopped;
    if (option < 0 || static_cast<std::size_t>(option) >= r->count) return SANE_STATUS_INVAL;
    const SANE_Option_Descriptor& d = *r->options[static_cast<std::size_t>(option)];
    const auto size = static_cast<uint32_t>(std::max<SANE_Int>(d.size, 0));
    const bool hasValue = value && action != SANE_ACTION_SET_AUTO;
    Writer w(Op::ControlOption);
    w.u32(r->id).i32(option).i32(action).u32(hasValue ? 1 : 0);
    if (hasValue && action == SANE_ACTION_SET_VALUE)
      w.bytes(value, size);
    else
      w.bytes(nullptr, 0);
    std::vector<uint8_t> reply;
    const SANE_Status sent = request(w, requestLimit(), reply, false);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    const SANE_Int got = in.i32();
    in.u32();
    const std::vector<uint8_t> back = in.bytes();
    if (in.u32()) readOptions(in, *r);
    if (!in.ok()) return SANE_STATUS_IO_ERROR;
    if (hasValue && st == SANE_STATUS_GOOD)
      std::memcpy(value, back.data(), std::min<std::size_t>(size, back.size()));
    if (info) *info = got;
    return st;
  }

  SANE_Status getParameters(SANE_Handle handle, SANE_Parameters* params) {
    std::lock_guard call(callMutex_);
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r || !params) return SANE_STATUS_INVAL;
    if (!alive(*r)) return kSaneDriverStopped;
    if (frameOf_ == r) {
      *params = frameParameters_;
      return SANE_STATUS_GOOD;
    }
    std::vector<uint8_t> reply;
    const SANE_Status sent =
        request(Writer(Op::GetParameters).u32(r->id), requestLimit(), reply, false);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    in.raw(params, sizeof *params);
    return in.ok() ? st : SANE_STATUS_IO_ERROR;
  }

  SANE_Status start(SANE_Handle handle) {
    std::lock_guard call(callMutex_);
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r) return SANE_STATUS_INVAL;
    if (!alive(*r)) return kSaneDriverStopped;
    if (frameOf_) {
      const SANE_Status settled = settleFrame();
      if (settled == kSaneDriverStopped) return settled;
    }
    cancelledAt_.store(0);
    std::vector<uint8_t> reply;
    const SANE_Status sent = request(Writer(Op::Start).u32(r->id), transferLimit(), reply, false);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    SANE_Parameters p{};
    in.raw(&p, sizeof p);
    if (!in.ok()) return SANE_STATUS_IO_ERROR;
    if (st == SANE_STATUS_GOOD) {
      frameOf_ = r;
      frameParameters_ = p;
      frameEnd_ = SANE_STATUS_GOOD;
    }
    return st;
  }

  SANE_Status read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length) {
    std::lock_guard call(callMutex_);
    if (length) *length = 0;
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r || !data || !length || maxLength <= 0) return SANE_STATUS_INVAL;
    if (!alive(*r)) return kSaneDriverStopped;
    if (frameOf_ != r) return frameEnd_ == SANE_STATUS_GOOD ? SANE_STATUS_INVAL : frameEnd_;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(transferLimit());
    for (;;) {
      // Once cancelled, a frame delivers nothing more, whatever the backend
      // does with the cancel; closing or restarting the device settles it.
      if (cancelledAt_.load()) return SANE_STATUS_CANCELLED;
      const std::size_t n = take(data, static_cast<std::size_t>(maxLength));
      if (n > 0) {
        *length = static_cast<SANE_Int>(n);
        return SANE_STATUS_GOOD;
      }
      if (ring_->finished.load()) {
        if (ring_->written.load() != ring_->consumed.load()) continue;
        frameOf_ = nullptr;
        frameEnd_ = static_cast<SANE_Status>(ring_->status.load());
        return frameEnd_;
      }
      const SANE_Status waited = waitForData(deadline, true);
      if (waited != SANE_STATUS_GOOD) return waited;
    }
  }

  // May come from another thread while a read waits: it only sends.
  void cancel(SANE_Handle handle) {
    auto* r = static_cast<RemoteHandle*>(handle);
    if (!r) return;
    std::lock_guard send(sendMutex_);
    if (socket_ < 0 || r->generation != generation_) return;
    int64_t none = 0;
    cancelledAt_.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
    sendMessage(socket_, Writer(Op::Cancel).u32(r->id));
  }

 private:
  struct Devices {
    std::deque<SANE_Device> records;
    std::vector<const SANE_Device*> list;
    Arena arena;
  };

  bool alive(const RemoteHandle& r) const { return socket_ >= 0 && r.generation == generation_; }

  static std::string enginePath() {
    if (const char* v = std::getenv("EZTW32_ENGINE"); v && *v) return v;
    return besideLibrary("eztw32-engine");
  }

  // Starts the engine if none runs, and initialises SANE in it.
  SANE_Status ensureEngine() {
    if (socket_ >= 0 && engineExited()) lose("ended between calls");
    if (socket_ < 0 && !spawn()) return SANE_STATUS_IO_ERROR;
    if (engineInitialised_) return SANE_STATUS_GOOD;
    std::vector<uint8_t> reply;
    const SANE_Status sent = request(Writer(Op::Init), requestLimit(), reply, false);
    if (sent != SANE_STATUS_GOOD) return sent;
    Reader in(reply);
    in.op();
    const auto st = static_cast<SANE_Status>(in.i32());
    version_ = in.i32();
    if (!in.ok()) return SANE_STATUS_IO_ERROR;
    engineInitialised_ = st == SANE_STATUS_GOOD;
    return st;
  }

  bool spawn() {
    const std::string path = enginePath();
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
    const int ringFd = ::memfd_create("eztw32-ring", MFD_CLOEXEC);
    void* map = MAP_FAILED;
    if (ringFd >= 0 && ::ftruncate(ringFd, kRingBytes) == 0)
      map =
          ::mmap(nullptr, kRingBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ringFd, 0);
    // Above the engine's fixed numbers, so that placing one cannot undo the other.
    const int childSocket = ::fcntl(pair[1], F_DUPFD_CLOEXEC, kRingFd + 1);
    const int childRing = ringFd >= 0 ? ::fcntl(ringFd, F_DUPFD_CLOEXEC, kRingFd + 1) : -1;
    pid_t pid = -1;
    int rc = -1;
    if (map != MAP_FAILED && childSocket >= 0 && childRing >= 0 && !path.empty()) {
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
      posix_spawn_file_actions_adddup2(&actions, childSocket, kSocketFd);
      posix_spawn_file_actions_adddup2(&actions, childRing, kRingFd);
      posix_spawnattr_t attr;
      posix_spawnattr_init(&attr);
      sigset_t none, all;
      sigemptyset(&none);
      sigfillset(&all);
      sigdelset(&all, SIGKILL);
      sigdelset(&all, SIGSTOP);
      posix_spawnattr_setsigmask(&attr, &none);
      posix_spawnattr_setsigdefault(&attr, &all);
      posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
      const std::string host = std::to_string(::getpid());
      std::vector<char*> argv = {const_cast<char*>(path.c_str()), const_cast<char*>("--host"),
                                 const_cast<char*>(host.c_str())};
      if (::gettid() == ::getpid()) argv.push_back(const_cast<char*>("--parent-death-signal"));
      argv.push_back(nullptr);
      rc = ::posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
      posix_spawnattr_destroy(&attr);
      posix_spawn_file_actions_destroy(&actions);
    }
    for (int fd : {pair[1], childSocket, childRing, ringFd})
      if (fd >= 0) ::close(fd);
    if (rc != 0) {
      logf("  engine %s could not be started: %s", path.c_str(),
           std::strerror(rc < 0 ? errno : rc));
      if (map != MAP_FAILED) ::munmap(map, kRingBytes);
      ::close(pair[0]);
      return false;
    }
    std::lock_guard send(sendMutex_);
    socket_ = pair[0];
    pid_ = pid;
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    ring_ = static_cast<RingHeader*>(map);
    ringData_ = static_cast<uint8_t*>(map) + kRingHeaderBytes;
    ++generation_;
    engineInitialised_ = false;
    logf("  engine %d started", static_cast<int>(pid));
    return true;
  }

  bool engineExited() const {
    if (pidfd_ < 0) return false;
    pollfd p{pidfd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
  }

  // Waits up to `limit` for the engine to end, then kills it; reaps it. A
  // process stuck in the kernel (a device that does not answer) is left to
  // end later rather than hang the host.
  void reap(Seconds limit) {
    if (pid_ <= 0) return;
    if (pidfd_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      return;
    }
    pollfd p{pidfd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(limit.count() * 1000)) <= 0) {
      ::kill(pid_, SIGKILL);
      ::poll(&p, 1, 2000);
    }
    ::waitpid(pid_, nullptr, WNOHANG);
  }

  // Ends the engine in order: it closes its devices and SANE, then exits.
  void stopEngine(Seconds limit) {
    if (socket_ < 0) return;
    if (frameOf_) settleFrame();
    if (socket_ >= 0) {
      std::vector<uint8_t> reply;
      request(Writer(Op::Exit), limit, reply, false);
    }
    release(limit);
  }

  // The engine is gone or must go: kills it and forgets its handles.
  void lose(const char* why) {
    logf("  engine %d %s", static_cast<int>(pid_), why);
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    release(Seconds(2));
  }

  void release(Seconds limit) {
    {
      std::lock_guard send(sendMutex_);
      if (socket_ >= 0) ::close(socket_);
      socket_ = -1;
    }
    reap(limit);
    if (pidfd_ >= 0) ::close(pidfd_);
    pidfd_ = -1;
    pid_ = -1;
    if (ring_) ::munmap(ring_, kRingBytes);
    ring_ = nullptr;
    ringData_ = nullptr;
    frameOf_ = nullptr;
    engineInitialised_ = false;
    inbox_.clear();
  }

  // Sends a request and waits for its reply. With `restart`, a request that
  // needs no handle starts a new engine when none runs.
  SANE_Status request(const Writer& w, Seconds limit, std::vector<uint8_t>& reply, bool restart) {
    if (restart) {
      const SANE_Status st = ensureEngine();
      if (st != SANE_STATUS_GOOD) return st;
    }
    if (socket_ < 0) return kSaneDriverStopped;
    bool sent;
    {
      std::lock_guard send(sendMutex_);
      sent = sendMessage(socket_, w);
    }
    if (!sent) {
      lose("closed its channel");
      return kSaneDriverStopped;
    }
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    for (;;) {
      const Wait got = waitMessage(deadline, reply);
      if (got == Wait::Timeout) {
        lose("missed its deadline");
        return kSaneDriverStopped;
      }
      if (got == Wait::Lost) {
        lose("stopped");
        return kSaneDriverStopped;
      }
      Reader in(reply);
      if (in.op() == Op::Reply) return SANE_STATUS_GOOD;
      // A notice about the ring: the reader looks at the ring itself.
    }
  }

  enum class Wait { Message, Timeout, Lost };

  // One message from the engine, waiting no later than the deadline. A
  // message that has arrived is taken even when the deadline has passed; one
  // that has partly arrived stays in the inbox for the next wait.
  Wait waitMessage(Clock::time_point deadline, std::vector<uint8_t>& message) {
    for (;;) {
      switch (inbox_.take(message)) {
        case Inbox::Take::Message:
          return Wait::Message;
        case Inbox::Take::Corrupt:
          return Wait::Lost;
        case Inbox::Take::Incomplete:
          break;
      }
      pollfd fds[2] = {{socket_, POLLIN, 0}, {pidfd_, POLLIN, 0}};
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      const int rc = ::poll(fds, pidfd_ >= 0 ? 2 : 1,
                            static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 60000)));
      if (rc < 0 && errno != EINTR) return Wait::Lost;
      if (rc > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
        uint8_t chunk[16384];
        const ssize_t k = ::recv(socket_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (k < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (k <= 0) return Wait::Lost;
        inbox_.append(chunk, static_cast<std::size_t>(k));
        continue;
      }
      if (rc > 0 && fds[1].revents) return Wait::Lost;  // exited with nothing left to say
      if (Clock::now() >= deadline) return Wait::Timeout;
    }
  }

  // Copies what the ring holds, up to n bytes.
  std::size_t take(SANE_Byte* out, std::size_t n) {
    const uint64_t written = ring_->written.load();
    const uint64_t consumed = ring_->consumed.load();
    const std::size_t count =
        std::min<std::size_t>(n, static_cast<std::size_t>(written - consumed));
    if (count == 0) return 0;
    const std::size_t at = consumed % kRingDataBytes;
    const std::size_t first = std::min(count, kRingDataBytes - at);
    std::memcpy(out, ringData_ + at, first);
    std::memcpy(out + first, ringData_, count - first);
    ring_->consumed.store(consumed + count);
    if (ring_->engineWaiting.exchange(0)) {
      std::lock_guard send(sendMutex_);
      sendMessage(socket_, Writer(Op::Space));
    }
    return count;
  }

  // Waits for the ring to change, or with `untilCancel` for a cancel. A
  // cancel shortens the deadline to the cancel limit; a missed deadline ends
  // the engine.
  SANE_Status waitForData(Clock::time_point deadline, bool untilCancel) {
    ring_->libraryWaiting.store(1);
    if (ring_->written.load() != ring_->consumed.load() || ring_->finished.load()) {
      ring_->libraryWaiting.store(0);
      return SANE_STATUS_GOOD;
    }
    // Short slices, so that a cancel from another thread is seen in time.
    const auto slice = std::chrono::milliseconds(50);
    for (;;) {
      if (untilCancel && cancelledAt_.load()) return SANE_STATUS_GOOD;
      Clock::time_point until = deadline;
      if (const int64_t at = cancelledAt_.load()) {
        const auto cancelled = Clock::time_point(Clock::duration(at));
        until =
            std::min(until, cancelled + std::chrono::duration_cast<Clock::duration>(kCancelLimit));
      }
      const Clock::time_point now = Clock::now();
      if (now >= until) {
        const bool byCancel = until < deadline;
        lose(byCancel ? "ignored a cancel" : "sent no data in time");
        return byCancel ? SANE_STATUS_CANCELLED : kSaneDriverStopped;
      }
      std::vector<uint8_t> message;
      const Wait w = waitMessage(std::min(until, now + slice), message);
      if (w == Wait::Lost) {
        lose("stopped");
        return kSaneDriverStopped;
      }
      if (w == Wait::Message || ring_->finished.load() ||
          ring_->written.load() != ring_->consumed.load())
        return SANE_STATUS_GOOD;
    }
  }

  // Ends the frame in progress: cancels it and waits, briefly, for the
  // reader to stop.
  SANE_Status settleFrame() {
    RemoteHandle* r = frameOf_;
    if (!r) return SANE_STATUS_GOOD;
    if (!ring_->finished.load()) cancel(r);
    const Clock::time_point deadline = Clock::now() +
                                       std::chrono::duration_cast<Clock::duration>(kCancelLimit) +
                                       std::chrono::milliseconds(100);
    while (!ring_->finished.load()) {
      ring_->consumed.store(ring_->written.load());  // drop what is left
      if (ring_->engineWaiting.exchange(0)) {
        std::lock_guard send(sendMutex_);
        sendMessage(socket_, Writer(Op::Space));
      }
      const SANE_Status st = waitForData(deadline, false);
      if (st != SANE_STATUS_GOOD) return kSaneDriverStopped;
    }
    frameOf_ = nullptr;
    frameEnd_ = SANE_STATUS_CANCELLED;
    return SANE_STATUS_GOOD;
  }

  std::mutex callMutex_;  // one request at a time
  std::mutex sendMutex_;  // whole messages; guards socket_ against release
  int socket_ = -1;
  Inbox inbox_;  // what the engine sent that is not yet a whole message
  pid_t pid_ = -1;
  int pidfd_ = -1;
  uint64_t generation_ = 0;
  bool initialised_ = false;        // the caller has initialised SANE
  bool engineInitialised_ = false;  // ... and the running engine has too
  SANE_Int version_ = 0;
  RingHeader* ring_ = nullptr;
  uint8_t* ringData_ = nullptr;
  RemoteHandle* frameOf_ = nullptr;  // the handle whose frame is being read
  SANE_Parameters frameParameters_{};
  SANE_Status frameEnd_ = SANE_STATUS_GOOD;
  std::atomic<int64_t> cancelledAt_{0};  // steady clock ticks of the first cancel
  Devices devices_;
};

EngineClient& E() { return EngineClient::instance(); }

// Constructed when the library loads, so destroyed after everything that
// used the engine since.
struct EndEngineAtUnload {
  ~EndEngineAtUnload() { E().unloading(); }
} endEngineAtUnload;

SANE_String_Const statusText(SANE_Status status) {
  if (status == kSaneDriverStopped) return "the scanner driver stopped unexpectedly";
  return ::sane_strstatus(status);
}

}  // namespace

const SaneApi& engineSane() {
  static const SaneApi api{
      [](SANE_Int* version, SANE_Auth_Callback) { return E().init(version); },
      [] { E().exit(); },
      [](const SANE_Device*** list, SANE_Bool localOnly) {
        return E().getDevices(list, localOnly);
      },
      [](SANE_String_Const name, SANE_Handle* h) { return E().open(name, h); },
      [](SANE_Handle h) { E().close(h); },
      [](SANE_Handle h, SANE_Int option) { return E().optionDescriptor(h, option); },
      [](SANE_Handle h, SANE_Int option, SANE_Action action, void* value, SANE_Int* info) {
        return E().controlOption(h, option, action, value, info);
      },
      [](SANE_Handle h, SANE_Parameters* p) { return E().getParameters(h, p); },
      [](SANE_Handle h) { return E().start(h); },
      [](SANE_Handle h, SANE_Byte* data, SANE_Int max, SANE_Int* length) {
        return E().read(h, data, max, length);
      },
      [](SANE_Handle h) { E().cancel(h); },
      statusText};
  return api;
}

}  // namespace eztw
