// SPDX-License-Identifier: MIT
// One image from an open SANE device: start, read every frame and hand the
// page row by row to a sink. Line art, grey and colour at 1, 8 or 16 bits
// (16 reduced to 8), three-pass colour, and devices that do not know the
// page height. A page is delivered whole or not at all.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "device.h"
#include "dib.h"
#include "image_file.h"
#include "status.h"

namespace eztw {

// Shared between the reading thread and a progress window.
struct TransferProgress {
  std::atomic<long long> linesRead{0};
  std::atomic<long long> linesExpected{-1};  // -1 while the height is unknown
  std::atomic<bool> cancel{false};
  // Asks the device to stop at once, from any thread: a read that waits for
  // the device returns instead of finishing its wait.
  std::function<void()> interrupt;
  std::atomic<bool> done{false};
};

// Where a page goes, and what it means when that place refuses it.
struct Destination {
  RowSink& sink;
  Status whenRefused;
};

// The page as a DIB in memory.
class DibSink : public RowSink {
 public:
  bool begin(int depth, int32_t width, int32_t height) override;
  bool put(int32_t y, const uint8_t* row) override;
  bool finish() override;
  std::unique_ptr<Dib> take() { return std::move(dib_); }

 private:
  std::unique_ptr<Dib> dib_;
};

inline constexpr Status kTransferDone{kRcSuccess, kCcSuccess, kErrNone};
inline constexpr Status kPageEndedEarly{kRcFailure, kCcOperationError, kErrShortPage};

// Reads one image into the destination. started says sane_start has been
// called for its first frame already. Single-pass pages of known height go
// to the sink as they arrive; three-pass and hand-scanner pages are
// gathered first. The sink has a whole page when this returns success; on
// any failure the device has been cancelled and the sink is left unfinished.
// Leaves the device between pages on success: the caller starts the next
// sheet or cancels.
Status readImage(Device& device, TransferProgress& progress, const Destination& to, bool started);

}  // namespace eztw
