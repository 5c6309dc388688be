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

bool Session::useApi(const SaneApi& api) {
  if (state_ != 1) return false;
  api_ = &api;
  return true;
}

void Session::recordSuccess() { errors.result = kRcSuccess, errors.condition = kCcSuccess; }

void Session::recordSane(SANE_Status status, const char* what) {
  const Status s = translateSaneStatus(status);
  logf("  SANE %s: %s", what, api_->strstatus(status));
  errors.result = s.result;
  errors.condition = s.condition;
  if (s.error != kErrNone) errors.lastError = s.error;
  // The driver's process is gone and the device with it: back to an open
  // source manager with no source.
  if (status == kSaneDriverStopped && state_ > 3) {
    device_.reset();
    pagePending_ = false;
    state_ = 3;
  }
}

void Session::recordError(LastError error, ConditionCode condition, ResultCode result) {
  logf("  error %d (%s), condition %d", error, lastErrorText(error), condition);
  errors.result = result;
  errors.condition = condition;
  errors.lastError = error;
}

bool Session::loadManager() {
  if (state_ >= 2) return true;
  SANE_Int version = 0;
  const SANE_Status st = api_->init(&version, nullptr);
  recordSane(st, "sane_init");
  if (st != SANE_STATUS_GOOD) return false;
  state_ = 2;
  return true;
}

bool Session::openManager() {
  if (state_ < 2 && !loadManager()) return false;
  if (state_ < 3) state_ = 3;
  recordSuccess();
  return true;
}

bool Session::closeManager() {
  if (state_ < 3) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (state_ >= 4) closeSource();
  state_ = 2;
  return true;
}

bool Session::unloadManager() {
  if (state_ >= 3) closeManager();
  if (state_ == 2) api_->exit();
  state_ = 1;
  return true;
}

std::vector<DeviceInfo> Session::devices() {
  const bool temporary = state_ < 2;
  if (temporary && !loadManager()) return {};
  std::vector<DeviceInfo> out;
  const SANE_Device** list = nullptr;
  const SANE_Status st = api_->getDevices(&list, SANE_FALSE);
  recordSane(st, "sane_get_devices");
  for (int i = 0; st == SANE_STATUS_GOOD && list && list[i]; ++i) {
    const SANE_Device* d = list[i];
    out.push_back({d->name ? d->name : "", d->vendor ? d->vendor : "", d->model ? d->model : "",
                   d->type ? d->type : ""});
  }
  if (temporary) unloadManager();
  return out;
}

bool Session::defaultSource(DeviceInfo& out) {
  const auto list = devices();
  if (list.empty()) return false;
  const std::string chosen = loadDefaultSource();
  for (const auto& d : list)
    if (d.name == chosen) {
      out = d;
      return true;
    }
  out = list.front();
  return true;
}

void Session::setDefaultSource(const DeviceInfo& info) { saveDefaultSource(info.name); }

bool Session::findSource(const std::string& name, DeviceInfo& out) {
  std::string key = name;
  while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back()))) key.pop_back();
  for (const auto& d : devices()) {
    const std::string paren = "(" + d.name + ")";
    if (key == d.sourceName() || key == d.name ||
        (key.size() >= paren.size() &&
         key.compare(key.size() - paren.size(), paren.size(), paren) == 0)) {
      out = d;
      return true;
    }
  }
  return false;
}

bool Session::openSource(const DeviceInfo& info) {
  if (state_ >= 4) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (!openManager()) return false;
  SANE_Handle h = nullptr;
  const SANE_Status st = api_->open(info.name.c_str(), &h);
  recordSane(st, "sane_open");
  if (st != SANE_STATUS_GOOD) {
    if (st == SANE_STATUS_INVAL) errors.lastError = kErrNoSource;
    return false;
  }
  device_ = std::make_unique<Device>(*api_, h);
  device_->normaliseDefaults();
  source_ = info;
  lastSourceName_ = info.sourceName();
  transfersDone_ = 0;
  pagePending_ = false;
  state_ = 4;
  return true;
}

bool Session::closeSource() {
  if (state_ < 4) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (state_ >= 5) disable();
  device_.reset();  // cancels and closes
  logf("  SANE sane_close");
  state_ = 3;
  return true;
}

bool Session::enable() {
  if (state_ != 4) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  transfersDone_ = 0;
  errors.userClosedSource = false;
  state_ = 5;
  return true;
}

bool Session::disable() {
  if (state_ < 5) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  if (pagePending_ || state_ >= 6) api_->cancel(device_->handle());
  pagePending_ = false;
  state_ = 4;
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

TransferResult Session::transfer(TransferProgress& progress) {
  if (state_ != 5 && state_ != 6) {
    recordError(kErrSequence, kCcSeqError);
    return {SANE_STATUS_INVAL, nullptr};
  }
  state_ = 7;
  logf("  SANE sane_start");
  TransferResult r = readImage(*device_, progress);
  recordSane(r.status, "transfer");
  if (r.status != SANE_STATUS_GOOD) {
    // readImage cancelled the device already.
    pagePending_ = false;
    if (r.status == SANE_STATUS_CANCELLED) errors.userClosedSource = true;
    if (state_ == 7) state_ = 5;
    return r;
  }
  ++transfersDone_;
  pagePending_ = true;
  const bool more = feederSelected() && settings.autoFeed &&
                    (settings.xferCount < 0 || transfersDone_ < settings.xferCount);
  if (more) {
    state_ = 6;
  } else {
    api_->cancel(device_->handle());
    pagePending_ = false;
    state_ = 5;
  }
  return r;
}

int Session::endTransfer() {
  if (state_ < 6) {
    recordError(kErrSequence, kCcSeqError);
    return 0;
  }
  if (state_ == 7) state_ = 6;
  return state_ == 6 ? 1 : 0;
}

bool Session::abortAll() {
  if (state_ < 5) {
    recordError(kErrSequence, kCcSeqError);
    return false;
  }
  api_->cancel(device_->handle());
  pagePending_ = false;
  state_ = 5;
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
