// The TWAIN state machine over SANE, free of Qt:
//   1 nothing loaded, 2 source manager loaded (sane_init), 3 source manager
//   open, 4 source open (sane_open), 5 source enabled, 6 transfer ready,
//   7 transferring (sane_start / sane_read).
// Every step down releases what the step up took, so no device stays open.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device.h"
#include "status.h"
#include "transfer.h"

namespace eztw {

struct Settings {
  bool hideUI = false;
  int saveFormat = 2;  // TWAIN file format: 2 BMP, 4 JFIF
  int jpegQuality = 75;
  bool multiTransfer = false;
  bool disableParent = true;
  bool indicators = true;
  bool suppressErrors = false;
  int units = 0;       // TWAIN units: 0 inches
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
  // Tests hand in another SANE table; only while in state 1.
  bool useApi(const SaneApi& api);
  const SaneApi& api() const { return *api_; }

  int state() const { return state_; }
  bool loadManager();    // to 2
  bool openManager();    // to 3, loading first if needed
  bool closeManager();   // to 2, closing the source first
  bool unloadManager();  // to 1

  // The SANE devices; initialises SANE for the call when it is not loaded.
  std::vector<DeviceInfo> devices();
  // The device the user chose last if present, else the first one.
  bool defaultSource(DeviceInfo& out);
  void setDefaultSource(const DeviceInfo& info);
  // Accepts a full source name, a device name, or the device name in
  // parentheses at the end of a source name.
  bool findSource(const std::string& name, DeviceInfo& out);

  bool openSource(const DeviceInfo& info);  // to 4
  bool closeSource();                       // to 3
  bool enable();                            // 4 to 5
  bool disable();                           // to 4
  Device* device() { return device_.get(); }
  const DeviceInfo& sourceInfo() const { return source_; }
  // Name of the open source, else of the last one opened.
  const std::string& lastSourceName() const { return lastSourceName_; }

  // One native transfer from state 5 or 6; goes to 7 while it reads and
  // ends in 6 when more pages may follow, else 5.
  TransferResult transfer(TransferProgress& progress);
  bool transferReady() const { return state_ == 6; }
  int endTransfer();  // to 5 or 6; returns the transfers still pending
  bool abortAll();    // to 5
  bool feederSelected() const;
  int transfersDone() const { return transfersDone_; }
  void setTransferCount(int n) { settings.xferCount = n; }

  // Source enumeration of TWAIN_GetSourceList / TWAIN_GetNextSourceName.
  bool startEnumeration();
  bool nextSource(std::string& name);

  void recordSuccess();
  void recordSane(SANE_Status status, const char* what);
  void recordError(LastError error, ConditionCode condition, ResultCode result = kRcFailure);

  Settings settings;
  ErrorState errors;

 private:
  Session();
  const SaneApi* api_;
  int state_ = 1;
  std::unique_ptr<Device> device_;
  DeviceInfo source_;
  std::string lastSourceName_;
  bool pagePending_ = false;  // a page has been read but sane_cancel not yet called
  int transfersDone_ = 0;
  std::vector<std::string> enumeration_;
  std::size_t enumerationAt_ = 0;
};

}  // namespace eztw
