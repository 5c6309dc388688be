// SPDX-License-Identifier: MIT
#include "session.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>

#include "log.h"
#include "settings.h"

namespace eztw {

Session& Session::instance() {
  static Session s;
  return s;
}

Session::Session() : api_(&engineSane()) {}

Session::~Session() {
  joinDiscovery();
  std::lock_guard lock(saneMutex_);
  device_.reset();
  endSane();
}

bool Session::useApi(const SaneApi& api) {
  if (state_ != kStateNothing) return false;
  joinDiscovery();
  std::lock_guard lock(saneMutex_);
  endSane();
  {
    std::lock_guard cache(cacheMutex_);
    cache_.reset();
  }
  api_ = &api;
  return true;
}

bool Session::ensureSane() {
  if (saneStarted_) return true;
  SANE_Int version = 0;
  const SANE_Status st = api_->init(&version, nullptr);
  logf("  SANE sane_init: %s", api_->strstatus(st));
  saneStarted_ = st == SANE_STATUS_GOOD;
  return saneStarted_;
}

void Session::endSane() {
  if (!saneStarted_) return;
  api_->exit();
  saneStarted_ = false;
}

void Session::recordSuccess() { errors.result = kRcSuccess, errors.condition = kCcSuccess; }

void Session::record(const Status& s) {
  errors.result = s.result;
  errors.condition = s.condition;
  if (s.error != kErrNone) errors.lastError = s.error;
  // The driver's process is gone and the device with it: back to an open
  // source manager with no source.
  if (s.error == kErrDriverStopped && state_ > kStateManagerOpen) {
    {
      std::lock_guard lock(saneMutex_);
      device_.reset();
    }
    frameStarted_ = false;
    state_ = kStateManagerOpen;
  }
}

void Session::recordSane(SANE_Status status, const char* what) {
  logf("  SANE %s: %s", what, api_->strstatus(status));
  record(translateSaneStatus(status));
}

void Session::recordError(LastError error, ConditionCode condition, ResultCode result) {
  logf("  error %d (%s), condition %d", error, lastErrorText(error), condition);
  errors.result = result;
  errors.condition = condition;
  errors.lastError = error;
}

bool Session::loadManager() {
  if (state_ >= kStateManagerLoaded) return true;
  bool ok;
  {
    std::lock_guard lock(saneMutex_);
    ok = ensureSane();
  }
  if (!ok) {
    recordError(kErrNoSource, kCcBummer);
    return false;
  }
  state_ = kStateManagerLoaded;
  return true;
}

bool Session::openManager() {
  if (state_ < kStateManagerLoaded && !loadManager()) return false;
  if (state_ < kStateManagerOpen) state_ = kStateManagerOpen;
  recordSuccess();
  return true;
}

bool Session::closeManager() {
  if (state_ < kStateManagerOpen) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (state_ >= kStateSourceOpen) closeSource();
  state_ = kStateManagerLoaded;
  return true;
}

bool Session::unloadManager() {
  if (state_ >= kStateManagerOpen) closeManager();
  state_ = kStateNothing;
  return true;
}

std::vector<DeviceInfo> Session::queryDevices() {
  std::lock_guard lock(saneMutex_);
  std::vector<DeviceInfo> out;
  if (!ensureSane()) return out;
  const SANE_Device** list = nullptr;
  const SANE_Status st = api_->getDevices(&list, SANE_FALSE);
  logf("  SANE sane_get_devices: %s", api_->strstatus(st));
  for (int i = 0; st == SANE_STATUS_GOOD && list && list[i]; ++i) {
    const SANE_Device* d = list[i];
    out.push_back({d->name ? d->name : "", d->vendor ? d->vendor : "", d->model ? d->model : "",
                   d->type ? d->type : ""});
  }
  std::lock_guard cache(cacheMutex_);
  cache_ = out;
  return out;
}

std::vector<DeviceInfo> Session::devices(bool refresh) {
  joinDiscovery();
  if (!refresh)
    if (auto known = knownDevices()) return *known;
  return queryDevices();
}

std::optional<std::vector<DeviceInfo>> Session::knownDevices() const {
  std::lock_guard cache(cacheMutex_);
  return cache_;
}

void Session::startDiscovery(bool refresh) {
  if (discovering_) return;
  joinDiscovery();
  if (!refresh && knownDevices()) return;
  discovering_ = true;
  discovery_ = std::thread([this] {
    queryDevices();
    discovering_ = false;
  });
}

void Session::joinDiscovery() {
  if (discovery_.joinable()) discovery_.join();
}

namespace {

// The device behind a name as callers give it back: the part in
// parentheses at the end of a full source name, else the name itself.
DeviceInfo infoFromName(const std::string& key) {
  DeviceInfo info;
  const auto open = key.rfind('(');
  if (!key.empty() && key.back() == ')' && open != std::string::npos) {
    info.name = key.substr(open + 1, key.size() - open - 2);
    info.vendor = key.substr(0, open);
    while (!info.vendor.empty() && info.vendor.back() == ' ') info.vendor.pop_back();
  } else {
    info.name = key;
  }
  return info;
}

bool matches(const DeviceInfo& d, const std::string& key) {
  const std::string paren = "(" + d.name + ")";
  return key == d.sourceName() || key == d.name ||
         (key.size() >= paren.size() &&
          key.compare(key.size() - paren.size(), paren.size(), paren) == 0);
}

std::string trimmed(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}

}  // namespace

bool Session::defaultSource(DeviceInfo& out) {
  const RememberedSource chosen = loadDefaultSource();
  if (!chosen.deviceName.empty()) {
    out = infoFromName(chosen.sourceName.empty() ? chosen.deviceName : chosen.sourceName);
    out.name = chosen.deviceName;
    if (auto known = knownDevices())
      for (const auto& d : *known)
        if (d.name == chosen.deviceName) out = d;
    return true;
  }
  const auto list = devices();
  if (list.empty()) return false;
  out = list.front();
  return true;
}

void Session::setDefaultSource(const DeviceInfo& info) {
  saveDefaultSource(info.name, info.sourceName());
}

bool Session::openSourceNamed(const std::string& name) {
  if (state_ >= kStateSourceOpen) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  const std::string key = trimmed(name);
  if (key.empty()) {
    recordError(kErrNoSource, kCcNoDs);
    return false;
  }
  const auto known = knownDevices();
  if (known)
    for (const auto& d : *known)
      if (matches(d, key)) return openSource(d);
  if (openSource(infoFromName(key))) return true;
  // Not a device name SANE knows: look the name up among the devices.
  for (const auto& d : devices(known.has_value()))
    if (matches(d, key) || d.sourceName() == key) return openSource(d);
  recordError(kErrNoSource, kCcNoDs);
  return false;
}

bool Session::openDevice(const DeviceInfo& info, SANE_Status& status) {
  std::lock_guard lock(saneMutex_);
  if (!ensureSane()) {
    status = SANE_STATUS_IO_ERROR;
    return false;
  }
  SANE_Handle h = nullptr;
  status = api_->open(info.name.c_str(), &h);
  if (status != SANE_STATUS_GOOD) return false;
  device_ = std::make_unique<Device>(*api_, h);
  device_->normaliseDefaults();
  return true;
}

bool Session::openSource(const DeviceInfo& info) {
  if (state_ >= kStateSourceOpen) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (!openManager()) return false;
  SANE_Status st = SANE_STATUS_GOOD;
  const bool opened = openDevice(info, st);
  recordSane(st, "sane_open");
  if (!opened) {
    if (st == SANE_STATUS_INVAL) errors.lastError = kErrNoSource;
    return false;
  }
  source_ = info;
  lastSourceName_ = info.sourceName();
  transfersDone_ = 0;
  frameStarted_ = false;
  state_ = kStateSourceOpen;
  return true;
}

bool Session::closeSource() {
  if (state_ < kStateSourceOpen) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (state_ >= kStateSourceEnabled) disable();
  {
    std::lock_guard lock(saneMutex_);
    device_.reset();  // cancels and closes
  }
  logf("  SANE sane_close");
  state_ = kStateManagerOpen;
  return true;
}

bool Session::enable() {
  if (state_ != kStateSourceOpen) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  transfersDone_ = 0;
  errors.userClosedSource = false;
  state_ = kStateSourceEnabled;
  return true;
}

bool Session::disable() {
  if (state_ < kStateSourceEnabled) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (frameStarted_ || state_ >= kStateTransferReady) api_->cancel(device_->handle());
  frameStarted_ = false;
  state_ = kStateSourceOpen;
  return true;
}

bool Session::feederSelected() const {
  if (!device_) return false;
  const auto src = device_->text(SANE_NAME_SCAN_SOURCE);
  if (!src) return false;
  std::string s = *src;
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s.find("feeder") != std::string::npos || s.find("adf") != std::string::npos ||
         s.find("duplex") != std::string::npos;
}

Status Session::transfer(TransferProgress& progress, const Destination& to, bool mayContinue) {
  if (state_ != kStateSourceEnabled && state_ != kStateTransferReady) {
    recordError(kErrSequence, kCcSeqError);
    return {kRcFailure, kCcSeqError, kErrSequence};
  }
  state_ = kStateTransferring;
  logf("  SANE sane_start");
  {
    std::lock_guard lock(runningMutex_);
    running_ = &progress;
  }
  const Status r = readImage(*device_, progress, to, frameStarted_);
  {
    std::lock_guard lock(runningMutex_);
    running_ = nullptr;
  }
  frameStarted_ = false;
  if (r.error != kErrNone) {
    // readImage cancelled the device already.
    if (state_ == kStateTransferring) state_ = kStateSourceEnabled;
    record(r);
    if (r.error == kErrCancelled) errors.userClosedSource = true;
    return r;
  }
  ++transfersDone_;
  const bool more = mayContinue && feederSelected() && settings.autoFeed &&
                    (settings.xferCount < 0 || transfersDone_ < settings.xferCount);
  SANE_Status next = SANE_STATUS_NO_DOCS;
  // The next sheet is started now, so that an empty feeder is known before
  // the caller asks whether another transfer is ready.
  if (more) next = api_->start(device_->handle());
  if (next == SANE_STATUS_GOOD) {
    frameStarted_ = true;
    state_ = kStateTransferReady;
  } else {
    if (more) logf("  SANE next sheet: %s", api_->strstatus(next));
    api_->cancel(device_->handle());
    state_ = kStateSourceEnabled;
  }
  recordSuccess();
  return r;
}

int Session::endTransfer() {
  if (state_ < kStateTransferReady) {
    recordError(kErrSequence, kCcSeqError);
    return 0;
  }
  if (state_ == kStateTransferring) state_ = kStateTransferReady;
  return state_ == kStateTransferReady ? 1 : 0;
}

bool Session::abortAll() {
  if (state_ < kStateSourceEnabled) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  api_->cancel(device_->handle());
  frameStarted_ = false;
  state_ = kStateSourceEnabled;
  return true;
}

bool Session::enterCall() {
  bool expected = false;
  return inCall_.compare_exchange_strong(expected, true);
}

void Session::leaveCall() { inCall_ = false; }

bool Session::requestCancel() {
  std::lock_guard lock(runningMutex_);
  if (!running_) return false;
  if (!running_->cancel.exchange(true) && running_->interrupt) running_->interrupt();
  return true;
}

bool Session::startEnumeration() {
  enumeration_.clear();
  enumerationAt_ = 0;
  for (const auto& d : devices()) enumeration_.push_back(d.sourceName());
  return !enumeration_.empty();
}

bool Session::nextSource(std::string& name) {
  if (enumerationAt_ >= enumeration_.size()) {
    errors.result = kRcEndOfList;
    return false;
  }
  name = enumeration_[enumerationAt_++];
  return true;
}

}  // namespace eztw
