// SPDX-License-Identifier: MIT
// The cost of one wrapper call through the bound library against a direct
// call through a function pointer to the same export. Run with
// LD_LIBRARY_PATH pointing at the small double (tests/partial), whose
// TWAIN_State does nothing but return.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <quillmere/eztw32fu.h>

#include <cstdint>
#include <cstdlib>

namespace {

using StateFn = std::int32_t (*)();

void BM_RawFunctionPointer(benchmark::State& state) {
  void* lib = dlopen("libeztw32.so.1", RTLD_NOW);
  if (lib == nullptr) {
    state.SkipWithError("libeztw32.so.1 not found");
    return;
  }
  auto fn = reinterpret_cast<StateFn>(dlsym(lib, "TWAIN_State"));
  for (auto _ : state) benchmark::DoNotOptimize(fn());
  dlclose(lib);
}
BENCHMARK(BM_RawFunctionPointer);

void BM_WrapperCall(benchmark::State& state) {
  if (eztw32_LoadDll() == 0) {
    state.SkipWithError("libeztw32.so.1 not found");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(eztw32_GetTwainState());
  eztw32_UnLoadDll();
}
BENCHMARK(BM_WrapperCall);

}  // namespace

BENCHMARK_MAIN();
