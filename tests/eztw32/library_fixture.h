// SPDX-License-Identifier: MIT
// Tests that drive the library through the wrapper: the library is bound once
// per suite, runs without windows or error boxes, and each test ends by taking
// it back to rest, so the next test starts from a closed source manager.
#pragma once

#include <gtest/gtest.h>
#include <quillmere/eztw32fu.h>

#include <string>

namespace eztwtest {

// TWAIN states the way down passes through.
enum TwainState : int {
  kPreSession = 1,
  kManagerLoaded = 2,
  kManagerOpen = 3,
  kSourceOpen = 4,
  kSourceEnabled = 5,
};

// Whatever a test left open: disable, close the source, close and unload the
// source manager.
inline void backToRest() {
  for (int state = eztw32_GetTwainState(); state > kPreSession; state = eztw32_GetTwainState()) {
    if (state >= kSourceEnabled)
      eztw32_DisableSource();
    else if (state == kSourceOpen)
      eztw32_CloseSource();
    else if (state == kManagerOpen)
      eztw32_CloseSourceManager();
    else
      eztw32_UnloadSourceManager();
  }
}

class LibraryTest : public ::testing::Test {
 protected:
  // A wrapper message box means a call failed that should not have; suites
  // that provoke failures on purpose install a quiet sink instead.
  static void SetUpTestSuite() {
    // Checked in SetUp: a failure here would only mark the tests skipped.
    eztw32_LoadDll();
    quillmere::setMessageSink([](const std::string& text, const std::string& title) {
      ADD_FAILURE() << "unexpected wrapper message: " << title << ": " << text;
    });
  }
  static void TearDownTestSuite() { eztw32_UnLoadDll(); }
  void SetUp() override {
    ASSERT_NE(nEztwDll, 0u) << "libeztw32.so.1 was not found";
    eztw32_SetHideUI(true);
    eztw32_SuppressErrorMessages(true);
    eztw32_ClearError();
  }
  void TearDown() override { backToRest(); }
};

}  // namespace eztwtest
