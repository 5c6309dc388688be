// SPDX-License-Identifier: MIT
// Binding where no libeztw32 can be found, and with a library that lacks most
// exports. ctest runs each suite with a library path set for it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <quillmere/eztw32fu.h>

#include <vector>

namespace {

struct Recorded {
  std::string text, title;
};

class Binding : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ =
        quillmere::setMessageSink([this](const std::string& text, const std::string& title) {
          messages.push_back({text, title});
        });
  }
  void TearDown() override { quillmere::setMessageSink(previous_); }
  std::vector<Recorded> messages;

 private:
  quillmere::MessageSink previous_;
};

using MissingLibrary = Binding;
using MissingExports = Binding;
using BesideTheWrapper = Binding;

TEST_F(MissingLibrary, ShowsDllMissingAndLeavesEveryWrapperHarmless) {
  if (void* h = dlopen("libeztw32.so.1", RTLD_NOW)) {
    dlclose(h);
    GTEST_SKIP() << "a libeztw32.so.1 is installed system-wide on this machine";
  }
  nEztwDll = 12345;
  EXPECT_EQ(eztw32_LoadDll(), 0u);
  EXPECT_EQ(nEztwDll, 0u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Could not find the EZTWAIN eztw32.dll file!");
  EXPECT_EQ(messages[0].title, "DLL missing");
  // Nothing bound: failure values, no messages, no crash.
  EXPECT_EQ(eztw32_GetVersion(), 0);
  EXPECT_FALSE(eztw32_SelfTest());
  EXPECT_EQ(eztw32_GetDefaultSourceName(), "");
  EXPECT_FALSE(eztw32_SelectImageSource(0));
  std::string name(10, ' ');
  eztw32_GetBuildName(name);
  EXPECT_EQ(messages.size(), 1u);
  eztw32_UnLoadDll();
}

TEST_F(MissingExports, PresentExportsWorkAndMissingOnesGiveTheirFailureValue) {
  ASSERT_NE(eztw32_LoadDll(), 0u);
  EXPECT_EQ(eztw32_GetVersion(), 273);
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  EXPECT_FALSE(eztw32_IsTwainAvailable());
  EXPECT_FALSE(eztw32_SelfTest());  // 0 would mean passed; a missing test did not pass
  EXPECT_EQ(eztw32_GetSourceName(), "");
  EXPECT_EQ(eztw32_AcquireToFilename(0, "x.bmp"), 0);
  EXPECT_EQ(eztw32_WaitForNativeXfer(0), 0);
  EXPECT_TRUE(messages.empty());
  eztw32_UnLoadDll();
}

// Another libeztw32.so earlier on the library path must not win over the copy
// that sits beside the wrapper.
TEST_F(BesideTheWrapper, CopyBesideTheWrapperIsBound) {
  ASSERT_NE(eztw32_LoadDll(), 0u);
  EXPECT_EQ(eztw32_GetVersion(), 273);  // the small double answers; the full one would say 0
  eztw32_UnLoadDll();
}

}  // namespace
