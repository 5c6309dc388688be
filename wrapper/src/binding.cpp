// SPDX-License-Identifier: MIT
// Binding of the scanning library: eztw32_LoadDll, eztw32_UnLoadDll, the
// export lookup every wrapper goes through, and the message sink.
#include "call.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

std::uint32_t nEztwDll = 0;

namespace quillmere {
namespace {

#ifdef _WIN32
constexpr const char* kLibraryName = "eztw32.dll";
void* openLibrary() { return reinterpret_cast<void*>(LoadLibraryA(kLibraryName)); }
void* findSymbol(void* lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
void closeLibrary(void* lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
std::string loadError() { return "error " + std::to_string(GetLastError()); }
#else
// The runtime name of eztw32.dll is its soname; the bare libeztw32.so is
// the link that only a developer's installation has.
constexpr const char* kLibraryName = "libeztw32.so.1";
// A copy already in the process wins, then the one beside this wrapper (the
// way Windows searches the application's folder first), then the loader's
// own search. The folder is found explicitly rather than through RUNPATH,
// which a dlopen interposed by a sanitizer runtime would not consult.
void* openLibrary() {
  if (void* lib = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) return lib;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&openLibrary), &self) != 0 && self.dli_fname != nullptr) {
    std::string path = self.dli_fname;
    const auto slash = path.rfind('/');
    if (slash != std::string::npos) {
      path.replace(slash + 1, std::string::npos, kLibraryName);
      if (void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return lib;
    }
  }
  return dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* lib, const char* name) { return dlsym(lib, name); }
void closeLibrary(void* lib) { dlclose(lib); }
std::string loadError() {
  const char* e = dlerror();
  return e ? e : "unknown error";
}
#endif

constexpr std::array<const char*, detail::kExportCount> kExportNames = {
#define QM_EXPORT_NAME(family, name, params, args) #name,
    EZTW32_EXPORTS(QM_EXPORT_NAME)
#undef QM_EXPORT_NAME
};

// One binding per eztw32_LoadDll that succeeded; its exports are looked up
// once, when it is made.
struct Binding {
  std::uint32_t handle = 0;
  void* library = nullptr;
  std::array<void*, detail::kExportCount> exports{};
};

struct Registry {
  std::vector<std::unique_ptr<Binding>> live;
  Binding* last = nullptr;  // the binding the previous call used
  std::uint32_t lastHandle = 0;
};
Registry& registry() {
  static Registry r;
  return r;
}

void defaultSink(const std::string& text, const std::string& title) {
  if (title.empty())
    std::fprintf(stderr, "%s\n", text.c_str());
  else
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}
MessageSink& sink() {
  static MessageSink s = defaultSink;
  return s;
}

}  // namespace

MessageSink setMessageSink(MessageSink s) {
  MessageSink previous = std::move(sink());
  sink() = s ? std::move(s) : MessageSink(defaultSink);
  return previous;
}

namespace detail {

void showMessage(const std::string& text, const std::string& title) noexcept {
  try {
    sink()(text, title);
  } catch (...) {
    // A sink that throws must not take the wrapper with it.
    defaultSink(text, title);
  }
}

std::string defaultNumberText(std::int32_t n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%10d", n);
  return buf;
}

void* exportAddress(Export e) noexcept {
  Registry& r = registry();
  const std::uint32_t handle = nEztwDll;
  if (handle == 0) return nullptr;
  if (r.last == nullptr || r.lastHandle != handle) {
    r.last = nullptr;
    for (auto& b : r.live)
      if (b->handle == handle) r.last = b.get();
    if (r.last == nullptr) return nullptr;
    r.lastHandle = handle;
  }
  return r.last->exports[static_cast<std::size_t>(e)];
}

}  // namespace detail
}  // namespace quillmere

std::uint32_t eztw32_LoadDll() {
  using namespace quillmere;
  Registry& r = registry();
  nEztwDll = 0;
  void* lib = openLibrary();
  if (lib == nullptr) {
    std::fprintf(stderr, "quillmere: cannot load %s: %s\n", kLibraryName, loadError().c_str());
    detail::showMessage("Could not find the EZTWAIN eztw32.dll file!", "DLL missing");
    return nEztwDll;
  }
  try {
    auto b = std::make_unique<Binding>();
    static std::uint32_t counter = 0;
    do {
      ++counter;
    } while (counter == 0);
    b->handle = counter;
    b->library = lib;
    for (std::size_t i = 0; i < kExportNames.size(); ++i)
      b->exports[i] = findSymbol(lib, kExportNames[i]);
    r.live.push_back(std::move(b));
    nEztwDll = counter;
  } catch (...) {
    closeLibrary(lib);
    detail::showMessage("Could not find the EZTWAIN eztw32.dll file!", "DLL missing");
  }
  return nEztwDll;
}

void eztw32_UnLoadDll() {
  using namespace quillmere;
  if (nEztwDll == 0) return;
  Registry& r = registry();
  for (auto it = r.live.begin(); it != r.live.end(); ++it) {
    if ((*it)->handle != nEztwDll) continue;
    closeLibrary((*it)->library);
    r.live.erase(it);
    r.last = nullptr;
    r.lastHandle = 0;
    return;
  }
}
