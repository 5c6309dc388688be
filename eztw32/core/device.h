// SPDX-License-Identifier: MIT
// An open SANE device and its options, reached by their well-known names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sane_api.h"

namespace eztw {

struct DeviceInfo {
  std::string name;    // SANE device name, e.g. "test:0"
  std::string vendor;  // e.g. "Noname"
  std::string model;
  std::string type;
  // The readable source name offered to callers: "<vendor> <model> (<name>)".
  std::string sourceName() const;
};

struct Range {
  double min = 0, max = 0, quant = 0;
};

class Device {
 public:
  Device(const SaneApi& api, SANE_Handle handle) : api_(api), handle_(handle) {}
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  const SaneApi& api() const { return api_; }
  SANE_Handle handle() const { return handle_; }

  bool has(const char* name) const;  // present and active
  bool settable(const char* name) const;
  std::optional<double> number(const char* name) const;
  std::optional<std::string> text(const char* name) const;
  SANE_Status setNumber(const char* name, double value);
  SANE_Status setText(const char* name, const std::string& value);
  std::vector<std::string> choices(const char* name) const;
  std::vector<double> numberChoices(const char* name) const;  // word lists
  std::optional<Range> range(const char* name) const;
  bool isLengthInMm(const char* name) const;

  // Sets a sensible resolution when the device starts with a value outside
  // its own constraint (SANE's test device does).
  void normaliseDefaults();

 private:
  int find(const char* name, const SANE_Option_Descriptor** desc) const;
  const SaneApi& api_;
  SANE_Handle handle_;
};

}  // namespace eztw
