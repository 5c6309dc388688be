// SPDX-License-Identifier: MIT
#include "dib_table.h"

#include <mutex>
#include <unordered_map>

namespace eztw {

namespace {
std::mutex mutex;
std::unordered_map<int32_t, std::unique_ptr<Dib>>& table() {
  static std::unordered_map<int32_t, std::unique_ptr<Dib>> t;
  return t;
}
int32_t nextHandle = 0x1000;
}  // namespace

int32_t storeDib(std::unique_ptr<Dib> dib) {
  if (!dib) return 0;
  std::lock_guard lock(mutex);
  if (nextHandle == INT32_MAX) return 0;
  const int32_t h = nextHandle++;
  table()[h] = std::move(dib);
  return h;
}

bool freeDib(int32_t handle) {
  std::lock_guard lock(mutex);
  return table().erase(handle) > 0;
}

bool withDib(int32_t handle, const std::function<void(Dib&)>& fn) {
  std::lock_guard lock(mutex);
  const auto it = table().find(handle);
  if (it == table().end()) return false;
  fn(*it->second);
  return true;
}

std::unique_ptr<Dib> copyDib(int32_t handle) {
  std::unique_ptr<Dib> out;
  withDib(handle, [&](Dib& d) { out = d.clone(); });
  return out;
}

bool replaceDib(int32_t handle, std::unique_ptr<Dib> dib) {
  std::lock_guard lock(mutex);
  const auto it = table().find(handle);
  if (it == table().end() || !dib) return false;
  it->second = std::move(dib);
  return true;
}

}  // namespace eztw
