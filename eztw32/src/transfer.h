// One image from an open SANE device: start, read every frame, assemble a
// DIB. Line art, grey and colour at 1, 8 or 16 bits (16 reduced to 8),
// three-pass colour, and devices that do not know the page height.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "device.h"
#include "dib.h"
#include "image_file.h"

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
  // When set, a single-pass page of known height goes row by row into it
  // instead of into a DIB; sinkFailed tells a write error from a scan error.
  RowSink* sink = nullptr;
  bool sinkFailed = false;
};

struct TransferResult {
  SANE_Status status = SANE_STATUS_GOOD;  // GOOD with dib set, else the failure
  std::unique_ptr<Dib> dib;
  bool streamed = false;  // GOOD, and the page went into the sink
};

// Reads one image. Leaves the device between pages: the caller decides
// whether to start the next page or call cancel. On failure or cancel the
// device has been cancelled already.
TransferResult readImage(Device& device, TransferProgress& progress);

}  // namespace eztw
