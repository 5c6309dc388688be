// SPDX-License-Identifier: MIT
// The private channel between libeztw32 and its engine process: framed
// messages over a stream socket, and a ring in shared memory that carries the
// image bytes of the frame being read. Both sides include this header; it
// needs nothing but the C++ library and SANE's types.
#pragma once

#include <sane/sane.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace eztw::engine {

// The engine finds its socket and its ring at these descriptors.
inline constexpr int kSocketFd = 3;
inline constexpr int kRingFd = 4;

// Requests from the library, and the engine's messages.
enum class Op : uint32_t {
  // Requests answered by exactly one reply, in order.
  Init = 1,
  Exit,
  GetDevices,
  Open,
  Close,
  ControlOption,
  GetParameters,
  Start,
  // Notices without a reply, library to engine.
  Cancel = 100,  // sane_cancel of a handle, allowed while a read is blocked
  Space,         // the ring has room again
  // Engine to library.
  Reply = 200,
  DataReady,  // the ring has new bytes or the frame ended
};

// The largest message either side accepts: far above any option set or
// device list, well below anything that could exhaust memory.
inline constexpr uint32_t kMaxMessage = 16u << 20;

// ---- The ring ------------------------------------------------------------------
// The engine writes the bytes of one frame, read ahead of the library; the
// library consumes them. Positions only grow within a frame. A side that
// finds nothing to do sets its waiting flag, checks again, then waits for a
// notice on the socket; the other side sends one only when it finds the flag
// set. Sequentially consistent order on the flags and positions makes a lost
// wake-up impossible.
struct RingHeader {
  std::atomic<uint64_t> written;   // bytes the engine has put in
  std::atomic<uint64_t> consumed;  // bytes the library has taken out
  std::atomic<uint32_t> libraryWaiting;
  std::atomic<uint32_t> engineWaiting;
  std::atomic<uint32_t> finished;  // the frame ended; its status is below
  std::atomic<int32_t> status;     // SANE_STATUS_EOF or the failure
};
static_assert(std::atomic<uint64_t>::is_always_lock_free);
static_assert(std::atomic<uint32_t>::is_always_lock_free);

inline constexpr std::size_t kRingHeaderBytes = 4096;
inline constexpr std::size_t kRingDataBytes = 2u << 20;
inline constexpr std::size_t kRingBytes = kRingHeaderBytes + kRingDataBytes;

// ---- Messages ----------------------------------------------------------------
class Writer {
 public:
  explicit Writer(Op op) { u32(static_cast<uint32_t>(op)); }
  Writer& u32(uint32_t v) { return raw(&v, sizeof v); }
  Writer& i32(int32_t v) { return raw(&v, sizeof v); }
  Writer& str(const char* s) {
    if (!s) return u32(UINT32_MAX);
    const auto n = static_cast<uint32_t>(std::strlen(s));
    u32(n);
    return raw(s, n);
  }
  Writer& bytes(const void* p, uint32_t n) {
    u32(n);
    return raw(p, n);
  }
  Writer& raw(const void* p, std::size_t n) {
    if (n == 0) return *this;
    const std::size_t at = data_.size();
    data_.resize(at + n);
    std::memcpy(data_.data() + at, p, n);
    return *this;
  }
  const std::vector<uint8_t>& data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

// Reads what a Writer wrote; any read past the end makes ok() false and
// yields zeros, so a short message is a failure, never an overrun.
class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& data) : data_(data) {}
  Op op() {
    at_ = 0;
    return static_cast<Op>(u32());
  }
  uint32_t u32() {
    uint32_t v = 0;
    raw(&v, sizeof v);
    return v;
  }
  int32_t i32() {
    int32_t v = 0;
    raw(&v, sizeof v);
    return v;
  }
  // A string, or nullopt for a null pointer.
  std::optional<std::string> str() {
    const uint32_t n = u32();
    if (n == UINT32_MAX) return std::nullopt;
    if (!fits(n)) return std::string();
    std::string s(reinterpret_cast<const char*>(data_.data() + at_), n);
    at_ += n;
    return s;
  }
  std::vector<uint8_t> bytes() {
    const uint32_t n = u32();
    if (!fits(n)) return {};
    std::vector<uint8_t> v(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                           data_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return v;
  }
  void raw(void* p, std::size_t n) {
    if (!fits(n)) {
      std::memset(p, 0, n);
      return;
    }
    std::memcpy(p, data_.data() + at_, n);
    at_ += n;
  }
  bool ok() const { return ok_; }

 private:
  bool fits(std::size_t n) {
    if (ok_ && n <= data_.size() - at_) return true;
    ok_ = false;
    return false;
  }
  const std::vector<uint8_t>& data_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// One whole frame: length, then the message. The caller serialises senders.
inline bool sendMessage(int fd, const Writer& w) {
  const auto& d = w.data();
  uint32_t n = static_cast<uint32_t>(d.size());
  iovec parts[2] = {{&n, sizeof n}, {const_cast<uint8_t*>(d.data()), d.size()}};
  msghdr m{};
  m.msg_iov = parts;
  m.msg_iovlen = 2;
  while (m.msg_iovlen > 0) {
    const ssize_t k = ::sendmsg(fd, &m, MSG_NOSIGNAL);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    auto left = static_cast<std::size_t>(k);
    while (m.msg_iovlen > 0 && left >= m.msg_iov->iov_len) {
      left -= m.msg_iov->iov_len;
      ++m.msg_iov;
      --m.msg_iovlen;
    }
    if (m.msg_iovlen > 0) {
      m.msg_iov->iov_base = static_cast<uint8_t*>(m.msg_iov->iov_base) + left;
      m.msg_iov->iov_len -= left;
    }
  }
  return true;
}

// Bytes received from the other side, handed out as whole messages. A wait
// that ends between the parts of a message keeps what came, so that the next
// wait goes on with the same message instead of reading its middle as a
// length.
class Inbox {
 public:
  enum class Take { Message, Incomplete, Corrupt };

  void append(const void* p, std::size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  // Moves the oldest whole message into `message`. A length the protocol
  // does not allow means the stream cannot be read any further.
  Take take(std::vector<uint8_t>& message) {
    uint32_t n = 0;
    if (data_.size() < sizeof n) return Take::Incomplete;
    std::memcpy(&n, data_.data(), sizeof n);
    if (n < sizeof(uint32_t) || n > kMaxMessage) return Take::Corrupt;
    if (data_.size() - sizeof n < n) return Take::Incomplete;
    const auto begin = data_.begin() + static_cast<std::ptrdiff_t>(sizeof n);
    const auto end = begin + static_cast<std::ptrdiff_t>(n);
    message.assign(begin, end);
    data_.erase(data_.begin(), end);
    return Take::Message;
  }
  void clear() { data_.clear(); }

 private:
  std::vector<uint8_t> data_;
};

// ---- Option descriptors --------------------------------------------------------
inline void writeDescriptor(Writer& w, const SANE_Option_Descriptor& d) {
  SANE_Constraint_Type type = d.constraint_type;
  if ((type == SANE_CONSTRAINT_RANGE && !d.constraint.range) ||
      (type == SANE_CONSTRAINT_WORD_LIST && !d.constraint.word_list) ||
      (type == SANE_CONSTRAINT_STRING_LIST && !d.constraint.string_list))
    type = SANE_CONSTRAINT_NONE;
  w.str(d.name).str(d.title).str(d.desc);
  w.i32(d.type).i32(d.unit).i32(d.size).i32(d.cap).i32(type);
  switch (type) {
    case SANE_CONSTRAINT_RANGE:
      w.i32(d.constraint.range->min).i32(d.constraint.range->max).i32(d.constraint.range->quant);
      break;
    case SANE_CONSTRAINT_WORD_LIST: {
      const SANE_Word n = d.constraint.word_list[0];
      for (SANE_Word k = 0; k <= n; ++k) w.i32(d.constraint.word_list[k]);
      break;
    }
    case SANE_CONSTRAINT_STRING_LIST: {
      uint32_t n = 0;
      while (d.constraint.string_list[n]) ++n;
      w.u32(n);
      for (uint32_t k = 0; k < n; ++k) w.str(d.constraint.string_list[k]);
      break;
    }
    default:
      break;
  }
}

}  // namespace eztw::engine
