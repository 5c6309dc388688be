// SPDX-License-Identifier: MIT
// Wrappers that do more than pass a call on: the message boxes of failed
// calls, the build-name buffer, the colour range check, the layout
// out-parameters and rebinding.
#include <gtest/gtest.h>

#include "wrapper_test_support.h"

namespace {

class Wrapper : public ::testing::Test {
 protected:
  void SetUp() override {
    if (nEztwDll == 0) {
      ASSERT_NE(eztw32_LoadDll(), 0u);
    }
    fake::reset();
  }
  MessageRecorder recorder;
};

struct MessageCase {
  const char* exportName;
  std::function<void()> call;
  Message expected;
};

TEST_F(Wrapper, FailureMessagesHaveTheirExactTextAndTitle) {
  const std::vector<MessageCase> cases = {
      {"TWAIN_SelectImageSource",
       [] { eztw32_SelectImageSource(); },
       {"Error: could not select a Source", "TWAIN_SelectImageSource"}},
      {"TWAIN_OpenSourceManager",
       [] { eztw32_OpenSourceManager(5); },
       {"Error:          0 could not open Source Manager", "TWAIN_OpenSourceManager"}},
      {"TWAIN_CloseSourceManager",
       [] { eztw32_CloseSourceManager(5); },
       {"Error: Could not close Source Manager", "TWAIN_CloseSourceManager"}},
      {"TWAIN_WaitForNativeXfer",
       [] { eztw32_WaitForNativeXfer(5); },
       {"Result handle:          0", "TWAIN_WaitForNativeXfer"}},
      {"TWAIN_UnloadSourceManager",
       [] { eztw32_UnloadSourceManager(); },
       {"Error: Could not unload the Source Manager i.e. TWAIN.DLL", "TWAIN_UnloadSourceManager"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exportName);
    recorder.messages.clear();
    fake::reset();
    c.call();
    EXPECT_EQ(recorder.messages, std::vector<Message>{c.expected});
    // A negative result is a failure too, but shows nothing.
    recorder.messages.clear();
    fake::setResult(c.exportName, -1);
    c.call();
    EXPECT_TRUE(recorder.messages.empty());
  }
}

TEST_F(Wrapper, WaitForNativeXferReturnsTheHandleItGot) {
  fake::setResult("TWAIN_WaitForNativeXfer", 42);
  EXPECT_EQ(eztw32_WaitForNativeXfer(9), 42);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Wrapper, BuildNameIsWrittenIntoTheCallersBufferGrownByOneByte) {
  fake::setBufferBytes("TWAIN_GetBuildName", std::string("Linux 1.0\0", 10));
  std::string name(255, ' ');
  eztw32_GetBuildName(name);
  ASSERT_EQ(name.size(), 256u);
  EXPECT_EQ(name.substr(0, name.find('\0')), "Linux 1.0");
  // The rest of the earlier content and the appended zero byte stay.
  EXPECT_EQ(name.substr(10, 245), std::string(245, ' '));
  EXPECT_EQ(name.back(), '\0');
  // The library got the 255 blanks followed by the zero byte.
  EXPECT_EQ(fake::calls()[0].args[0].bytes, std::string(255, ' ') + '\0');
}

TEST_F(Wrapper, SourceNameWithoutZeroByteOrEmptyGivesTheEmptyText) {
  fake::setBufferBytes("TWAIN_GetDefaultSourceName", std::string(256, 'x'));
  EXPECT_EQ(eztw32_GetDefaultSourceName(), "");
  fake::setBufferBytes("TWAIN_GetDefaultSourceName", std::string(1, '\0'));
  EXPECT_EQ(eztw32_GetDefaultSourceName(), "");
  fake::setBufferBytes("TWAIN_GetSourceName", std::string("test:0\0junk", 11));
  EXPECT_EQ(eztw32_GetSourceName(), "test:0");
}

TEST_F(Wrapper, ColorTableComponentsOutsideTheByteRangeAreRefused) {
  struct Case {
    int r, g, b;
    bool crosses;
  };
  const Case cases[] = {{0, 0, 0, true},    {255, 255, 255, true}, {256, 0, 0, false},
                        {0, 256, 0, false}, {0, 0, 256, false},    {-1, 0, 0, false},
                        {0, -1, 0, false},  {0, 0, -1, false},     {1000, -5, 300, false}};
  fake::setResult("DIB_SetColorTableRGB", 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b));
    fake::reset();
    fake::setResult("DIB_SetColorTableRGB", 1);
    const std::int32_t result = eztw32_DIB_SetColorTableRGB(3, 7, c.r, c.g, c.b);
    EXPECT_EQ(result, c.crosses ? 1 : -1);
    EXPECT_EQ(fake::calls().size(), c.crosses ? 1u : 0u);
  }
}

TEST_F(Wrapper, LayoutVariablesKeepWhatTheLibraryWroteWhateverTheResult) {
  for (std::int32_t r : {1, 0}) {
    fake::reset();
    fake::setResult("TWAIN_GetImageLayout", r);
    fake::setLayout("TWAIN_GetImageLayout", 0.25, 0.5, 8.5, 11.75);
    double l = -1, t = -1, rr = -1, b = -1;
    EXPECT_EQ(eztw32_GetImageLayout(&l, &t, &rr, &b), r > 0);
    EXPECT_EQ(l, 0.25);
    EXPECT_EQ(t, 0.5);
    EXPECT_EQ(rr, 8.5);
    EXPECT_EQ(b, 11.75);
  }
  fake::setLayout("TWAIN_GetDefaultImageLayout", 0, 0, 8, 14);
  double l = -1, t = -1, r = -1, b = -1;
  eztw32_GetDefaultImageLayout(&l, &t, &r, &b);
  EXPECT_EQ(r, 8);
  EXPECT_EQ(b, 14);
}

TEST_F(Wrapper, TextsReachTheLibraryZeroTerminatedAndLeftOutTextsAsNull) {
  eztw32_ErrorBox("");
  eztw32_ErrorBox();
  eztw32_AcquireToFilename(77, "MYTEST.JPG");
  eztw32_RegisterApp(1, 0, 6, 49, "1.0 Beta", "Hestrel", "Corvane", "Quillmere");
  const auto& calls = fake::calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].args[0], textArg(std::string(1, '\0')));
  EXPECT_EQ(calls[1].args[0], nullTextArg());
  EXPECT_EQ(calls[2].args,
            (std::vector<fake::Arg>{intArg(77), textArg(std::string("MYTEST.JPG\0", 11))}));
  EXPECT_EQ(calls[3].args,
            (std::vector<fake::Arg>{
                intArg(1), intArg(0), intArg(6), intArg(49), textArg(std::string("1.0 Beta\0", 9)),
                textArg(std::string("Hestrel\0", 8)), textArg(std::string("Corvane\0", 8)),
                textArg(std::string("Quillmere\0", 10))}));
}

TEST_F(Wrapper, LoadDllBindsAfreshAndEachBindingIsReleasedOnce) {
  const std::uint32_t first = nEztwDll;
  const std::uint32_t second = eztw32_LoadDll();
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, first);
  EXPECT_EQ(nEztwDll, second);
  fake::setResult("TWAIN_State", 4);
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  // Unloading leaves the value; the wrappers then call nothing.
  eztw32_UnLoadDll();
  EXPECT_EQ(nEztwDll, second);
  fake::reset();
  EXPECT_EQ(eztw32_GetTwainState(), 0);
  EXPECT_TRUE(fake::calls().empty());
  // The first binding is still alive and can be used and released.
  nEztwDll = first;
  fake::setResult("TWAIN_State", 5);
  EXPECT_EQ(eztw32_GetTwainState(), 5);
  eztw32_UnLoadDll();
  EXPECT_EQ(eztw32_GetTwainState(), 0);
  nEztwDll = 0;
  eztw32_UnLoadDll();  // with 0: nothing to release
  EXPECT_EQ(nEztwDll, 0u);
}

TEST_F(Wrapper, ASinkThatThrowsDoesNotEscapeTheWrapper) {
  auto previous = quillmere::setMessageSink(
      [](const std::string&, const std::string&) { throw std::runtime_error("sink failed"); });
  EXPECT_FALSE(eztw32_SelectImageSource(1));
  quillmere::setMessageSink(previous);
}

}  // namespace
