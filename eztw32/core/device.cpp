// SPDX-License-Identifier: MIT
#include "device.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace eztw {

std::string DeviceInfo::sourceName() const {
  std::string s = vendor;
  if (!model.empty()) s += (s.empty() ? "" : " ") + model;
  return s.empty() ? name : s + " (" + name + ")";
}

Device::~Device() {
  api_.cancel(handle_);
  api_.close(handle_);
}

int Device::find(const char* name, const SANE_Option_Descriptor** desc) const {
  for (SANE_Int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = api_.getOptionDescriptor(handle_, i);
    if (!d) return -1;
    if (d->name && std::strcmp(d->name, name) == 0) {
      if (desc) *desc = d;
      return i;
    }
  }
}

bool Device::has(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  return find(name, &d) >= 0 && SANE_OPTION_IS_ACTIVE(d->cap);
}

bool Device::settable(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  return find(name, &d) >= 0 && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

std::optional<double> Device::number(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  const int i = find(name, &d);
  if (i < 0 || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size < static_cast<SANE_Int>(sizeof(SANE_Word)))
    return std::nullopt;
  std::vector<SANE_Word> v(static_cast<std::size_t>(d->size) / sizeof(SANE_Word) + 1);
  if (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_BOOL)
    return std::nullopt;
  if (api_.controlOption(handle_, i, SANE_ACTION_GET_VALUE, v.data(), nullptr) != SANE_STATUS_GOOD)
    return std::nullopt;
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(v[0]) : static_cast<double>(v[0]);
}

std::optional<std::string> Device::text(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  const int i = find(name, &d);
  if (i < 0 || !SANE_OPTION_IS_ACTIVE(d->cap) || d->type != SANE_TYPE_STRING) return std::nullopt;
  std::vector<char> v(static_cast<std::size_t>(d->size) + 1, 0);
  if (api_.controlOption(handle_, i, SANE_ACTION_GET_VALUE, v.data(), nullptr) != SANE_STATUS_GOOD)
    return std::nullopt;
  return std::string(v.data());
}

SANE_Status Device::setNumber(const char* name, double value) {
  const SANE_Option_Descriptor* d = nullptr;
  const int i = find(name, &d);
  if (i < 0 || !SANE_OPTION_IS_ACTIVE(d->cap)) return SANE_STATUS_UNSUPPORTED;
  if (!SANE_OPTION_IS_SETTABLE(d->cap)) return SANE_STATUS_UNSUPPORTED;
  if (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_BOOL)
    return SANE_STATUS_INVAL;
  // Array options (per-channel values) get the same value in every element.
  std::vector<SANE_Word> v(
      std::max<std::size_t>(1, static_cast<std::size_t>(d->size) / sizeof(SANE_Word)));
  const SANE_Word w =
      d->type == SANE_TYPE_FIXED ? SANE_FIX(value) : static_cast<SANE_Word>(std::lround(value));
  for (auto& e : v) e = w;
  return api_.controlOption(handle_, i, SANE_ACTION_SET_VALUE, v.data(), nullptr);
}

SANE_Status Device::setText(const char* name, const std::string& value) {
  const SANE_Option_Descriptor* d = nullptr;
  const int i = find(name, &d);
  if (i < 0 || !SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap))
    return SANE_STATUS_UNSUPPORTED;
  if (d->type != SANE_TYPE_STRING) return SANE_STATUS_INVAL;
  std::vector<char> v(std::max<std::size_t>(static_cast<std::size_t>(d->size), value.size() + 1),
                      0);
  std::memcpy(v.data(), value.c_str(), value.size());
  return api_.controlOption(handle_, i, SANE_ACTION_SET_VALUE, v.data(), nullptr);
}

std::vector<std::string> Device::choices(const char* name) const {
  std::vector<std::string> out;
  const SANE_Option_Descriptor* d = nullptr;
  if (find(name, &d) < 0 || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return out;
  for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) out.emplace_back(*s);
  return out;
}

std::vector<double> Device::numberChoices(const char* name) const {
  std::vector<double> out;
  const SANE_Option_Descriptor* d = nullptr;
  if (find(name, &d) < 0 || d->constraint_type != SANE_CONSTRAINT_WORD_LIST) return out;
  const SANE_Word* w = d->constraint.word_list;
  for (SANE_Word k = 1; k <= w[0]; ++k)
    out.push_back(d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w[k]) : w[k]);
  return out;
}

std::optional<Range> Device::range(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  if (find(name, &d) < 0) return std::nullopt;
  auto unfix = [&](SANE_Word w) { return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : w; };
  if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
    const SANE_Range* r = d->constraint.range;
    return Range{unfix(r->min), unfix(r->max), unfix(r->quant)};
  }
  if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list[0] > 0) {
    const auto values = numberChoices(name);
    Range r{values.front(), values.front(), 0};
    for (double v : values) r.min = std::min(r.min, v), r.max = std::max(r.max, v);
    return r;
  }
  return std::nullopt;
}

bool Device::isLengthInMm(const char* name) const {
  const SANE_Option_Descriptor* d = nullptr;
  return find(name, &d) >= 0 && d->unit == SANE_UNIT_MM;
}

void Device::normaliseDefaults() {
  const auto r = range(SANE_NAME_SCAN_RESOLUTION);
  const auto v = number(SANE_NAME_SCAN_RESOLUTION);
  if (!r || !v || (*v >= r->min && *v <= r->max && *v >= 1)) return;
  double best = std::clamp(100.0, r->min, r->max);
  const auto list = numberChoices(SANE_NAME_SCAN_RESOLUTION);
  for (double c : list)
    if (std::abs(c - 100) < std::abs(best - 100) || best < r->min) best = c;
  setNumber(SANE_NAME_SCAN_RESOLUTION, best);
}

}  // namespace eztw
