// SPDX-License-Identifier: MIT
// The TWAIN state machine over SANE, free of Qt:
//   1 nothing loaded, 2 source manager loaded, 3 source manager open,
//   4 source open (sane_open), 5 source enabled, 6 transfer ready,
//   7 transferring (sane_start / sane_read).
// SANE itself is started once, at first need, and ended only when the
// library goes away: backends leak descriptors on every init/exit cycle, so
// states 1 to 3 are bookkeeping. Device lists are slow (every backend probes
// its buses) and are asked for only when a list is needed, then cached.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capabilities.h"
#include "device.h"
#include "status.h"
#include "transfer.h"

namespace eztw {

enum TwainState : int {
  kStateNothing = 1,
  kStateManagerLoaded = 2,
  kStateManagerOpen = 3,
  kStateSourceOpen = 4,
  kStateSourceEnabled = 5,
  kStateTransferReady = 6,
  kStateTransferring = 7,
};

enum SaveFormat : int32_t {
  kSaveBmp = 2,
  kSaveJfif = 4,
};

struct Settings {
  bool hideUI = false;
  SaveFormat saveFormat = kSaveBmp;
  int jpegQuality = 75;
  bool multiTransfer = false;
  bool disableParent = true;
  bool indicators = true;
  bool suppressErrors = false;
  int32_t units = kUnitsInches;
  int pixelTypes = 0;  // allowed TWAIN pixel types as a bit mask, 0 any
  int xferCount = -1;  // transfers wanted, -1 as many as there are
  bool autoFeed = true;
  std::string appTitle = "eztw32";
  std::string product;
};

struct ErrorState {
  int32_t result = kRcSuccess;
  int32_t condition = kCcSuccess;
  int32_t lastError = kErrNone;
  bool userClosedSource = false;
};

class Session {
 public:
  static Session& instance();
  ~Session();
  // Tests hand in another SANE table; only in state 1. SANE started over
  // the previous table is ended first and the device list forgotten.
  bool useApi(const SaneApi& api);
  const SaneApi& api() const { return *api_; }

  int state() const { return state_; }
  bool loadManager();    // to 2
  bool openManager();    // to 3, loading first if needed
  bool closeManager();   // to 2, closing the source first
  bool unloadManager();  // to 1

  // The SANE devices, from the cache unless refresh or none is cached yet.
  // Blocks for as long as the backends probe.
  std::vector<DeviceInfo> devices(bool refresh = false);
  // The cached list, without asking SANE; nullopt before the first search.
  std::optional<std::vector<DeviceInfo>> knownDevices() const;
  // Starts a search on a thread of its own unless one runs; its result goes
  // into the cache. discovering() stays true until it has landed.
  void startDiscovery(bool refresh);
  bool discovering() const { return discovering_; }

  // The device the user chose last, else the first one found.
  bool defaultSource(DeviceInfo& out);
  void setDefaultSource(const DeviceInfo& info);

  // Opens by a full source name, a device name, or the device name in
  // parentheses at the end of a source name: straight with sane_open, and
  // through the device list only when that fails.
  bool openSourceNamed(const std::string& name);
  bool openSource(const DeviceInfo& info);  // to 4
  bool closeSource();                       // to 3
  bool enable();                            // 4 to 5
  bool disable();                           // to 4
  Device* device() { return device_.get(); }
  const DeviceInfo& sourceInfo() const { return source_; }
  // Name of the open source, else of the last one opened.
  const std::string& lastSourceName() const { return lastSourceName_; }

  // One native transfer from state 5 or 6 into sink; goes to 7 while it
  // reads. With mayContinue and a feeder, the next sheet is started at once:
  // the state ends in 6 when one is there, else 5.
  Status transfer(TransferProgress& progress, const Destination& sink, bool mayContinue);
  bool transferReady() const { return state_ == kStateTransferReady; }
  int endTransfer();  // to 5 or 6; returns the transfers still pending
  bool abortAll();    // to 5
  bool feederSelected() const;
  int transfersDone() const { return transfersDone_; }
  void setTransferCount(int n) { settings.xferCount = n; }

  // One call at a time inside the library: false while another holds it
  // (re-entered from an event loop the call runs, or from another thread).
  bool enterCall();
  void leaveCall();
  // Asks a running transfer to end as cancelled; false when none runs.
  bool requestCancel();

  // Source enumeration of TWAIN_GetSourceList / TWAIN_GetNextSourceName.
  bool startEnumeration();
  bool nextSource(std::string& name);

  void recordSuccess();
  void record(const Status& status);
  void recordSane(SANE_Status status, const char* what);
  void recordError(LastError error, ConditionCode condition, ResultCode result = kRcFailure);

  Settings settings;
  ErrorState errors;

 private:
  Session();
  // Starts SANE once; callers hold saneMutex_.
  bool ensureSane();
  std::vector<DeviceInfo> queryDevices();  // holds saneMutex_
  void endSane();
  void joinDiscovery();
  bool openDevice(const DeviceInfo& info, SANE_Status& status);

  const SaneApi* api_;
  std::atomic<int> state_{kStateNothing};
  // SANE calls outside a transfer's reads; a search holds it while it runs.
  std::mutex saneMutex_;
  bool saneStarted_ = false;
  mutable std::mutex cacheMutex_;
  std::optional<std::vector<DeviceInfo>> cache_;
  std::thread discovery_;
  std::atomic<bool> discovering_{false};

  std::unique_ptr<Device> device_;
  DeviceInfo source_;
  std::string lastSourceName_;
  bool frameStarted_ = false;  // the next sheet's sane_start has been called
  int transfersDone_ = 0;
  std::vector<std::string> enumeration_;
  std::size_t enumerationAt_ = 0;

  std::atomic<bool> inCall_{false};
  std::mutex runningMutex_;
  TransferProgress* running_ = nullptr;
};

}  // namespace eztw
