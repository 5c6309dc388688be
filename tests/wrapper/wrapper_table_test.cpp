// SPDX-License-Identifier: MIT
// Every wrapper against the test double: the export it calls, the arguments
// in order, and its result conversion at the boundary values. The rows are
// written out here on their own, not made from the library's rows.
#include <gtest/gtest.h>

#include <quillmere/eztw32_abi.h>

#include <functional>
#include <set>

#include "wrapper_test_support.h"

namespace {

enum class Conv { Number, AboveZero, ExactlyOne, ExactlyZero, Text, None };

struct Row {
  const char* wrapper;
  const char* exportName;
  Conv conv;
  const char* messageTitle;  // shown when the library returns 0, else nullptr
  std::function<Outcome(ArgumentSet&)> call;
  std::function<std::vector<fake::Arg>(const ArgumentSet&)>
      received;  // null: the arguments as given
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.wrapper; }

std::vector<fake::Arg> nameBuffer(const ArgumentSet&) {
  return {textArg(std::string(256, ' ') + '\0')};
}
std::vector<fake::Arg> testParamArgs(const ArgumentSet&) {
  return {nullTextArg(), intArg(2), intArg(50), intArg(1234), intArg(12345)};
}

#define ROW(fn, exp, conv, title)                                                             \
  Row {                                                                                       \
#fn, exp, Conv::conv, title, [](ArgumentSet & a) { return callWrapper(&fn, a); }, nullptr \
  }
#define ROWX(fn, exp, conv, title, received)                                                   \
  Row {                                                                                        \
#fn, exp, Conv::conv, title, [](ArgumentSet & a) { return callWrapper(&fn, a); }, received \
  }

// clang-format off
const std::vector<Row> kRows = {
  // status, identity and diagnostics
  ROWX(eztw32_TestParam, "TWAIN_Testing123", Number, nullptr, testParamArgs),
  ROW(eztw32_GetTwainState, "TWAIN_State", Number, nullptr),
  ROW(eztw32_GetVersion, "TWAIN_EasyVersion", Number, nullptr),
  ROW(eztw32_IsTwainAvailable, "TWAIN_IsAvailable", AboveZero, nullptr),
  ROW(eztw32_IsJpegAvailable, "TWAIN_IsJpegAvailable", AboveZero, nullptr),
  ROW(eztw32_SelfTest, "TWAIN_SelfTest", ExactlyZero, nullptr),
  ROW(eztw32_GetBuildName, "TWAIN_GetBuildName", None, nullptr),
  ROW(eztw32_RegisterApp, "TWAIN_RegisterApp", Number, nullptr),
  ROW(eztw32_SetAppTitle, "TWAIN_SetAppTitle", Number, nullptr),
  ROW(eztw32_LogFile, "TWAIN_LogFile", None, nullptr),
  // source manager, source and transfer control
  ROW(eztw32_SelectImageSource, "TWAIN_SelectImageSource", AboveZero, "TWAIN_SelectImageSource"),
  ROWX(eztw32_GetSourceName, "TWAIN_GetSourceName", Text, nullptr, nameBuffer),
  ROWX(eztw32_SourceName, "TWAIN_SourceName", Text, nullptr, nameBuffer),
  ROWX(eztw32_GetDefaultSourceName, "TWAIN_GetDefaultSourceName", Text, nullptr, nameBuffer),
  ROW(eztw32_OpenSource, "TWAIN_OpenSource", AboveZero, nullptr),
  ROW(eztw32_GetSourceList, "TWAIN_GetSourceList", AboveZero, nullptr),
  ROWX(eztw32_GetNextSourceName, "TWAIN_GetNextSourceName", AboveZero, nullptr, nameBuffer),
  ROW(eztw32_LoadSourceManager, "TWAIN_LoadSourceManager", AboveZero, nullptr),
  ROW(eztw32_OpenSourceManager, "TWAIN_OpenSourceManager", AboveZero, "TWAIN_OpenSourceManager"),
  ROW(eztw32_OpenDefaultSource, "TWAIN_OpenDefaultSource", AboveZero, nullptr),
  ROW(eztw32_EnableSource, "TWAIN_EnableSource", AboveZero, nullptr),
  ROW(eztw32_DisableSource, "TWAIN_DisableSource", AboveZero, nullptr),
  ROW(eztw32_CloseSource, "TWAIN_CloseSource", AboveZero, nullptr),
  ROW(eztw32_CloseSourceManager, "TWAIN_CloseSourceManager", AboveZero, "TWAIN_CloseSourceManager"),
  ROW(eztw32_WaitForNativeXfer, "TWAIN_WaitForNativeXfer", Number, "TWAIN_WaitForNativeXfer"),
  ROW(eztw32_IsTransferReady, "TWAIN_IsTransferReady", AboveZero, nullptr),
  ROW(eztw32_ModalEventLoop, "TWAIN_ModalEventLoop", Number, nullptr),
  ROW(eztw32_EndXfer, "TWAIN_EndXfer", Number, nullptr),
  ROW(eztw32_AbortAllPendingXfers, "TWAIN_AbortAllPendingXfers", Number, nullptr),
  ROW(eztw32_NegotiateXferCount, "TWAIN_NegotiateXferCount", AboveZero, nullptr),
  ROW(eztw32_NegotiatePixelTypes, "TWAIN_NegotiatePixelTypes", AboveZero, nullptr),
  ROW(eztw32_UnloadSourceManager, "TWAIN_UnloadSourceManager", AboveZero, "TWAIN_UnloadSourceManager"),
  // acquisition, save format and file transfer
  ROW(eztw32_SetSaveFormat, "TWAIN_SetSaveFormat", AboveZero, nullptr),
  ROW(eztw32_GetSaveFormat, "TWAIN_GetSaveFormat", Number, nullptr),
  ROW(eztw32_Acquire, "TWAIN_Acquire", Number, nullptr),
  ROW(eztw32_AcquireMemory, "TWAIN_AcquireMemory", Number, nullptr),
  ROW(eztw32_AcquireNative, "TWAIN_AcquireNative", Number, nullptr),
  ROW(eztw32_AcquireToClipboard, "TWAIN_AcquireToClipboard", AboveZero, nullptr),
  ROW(eztw32_WriteNativeToFilename, "TWAIN_WriteNativeToFilename", Number, nullptr),
  ROW(eztw32_LoadNativeFromFilename, "TWAIN_LoadNativeFromFilename", Number, nullptr),
  ROW(eztw32_FreeNative, "TWAIN_FreeNative", Number, nullptr),
  ROW(eztw32_AcquireToFilename, "TWAIN_AcquireToFilename", Number, nullptr),
  ROW(eztw32_AcquireFile, "TWAIN_AcquireFile", AboveZero, nullptr),
  ROW(eztw32_SetJpegQuality, "TWAIN_SetJpegQuality", Number, nullptr),
  ROW(eztw32_GetJpegQuality, "TWAIN_GetJpegQuality", Number, nullptr),
  ROW(eztw32_GetMultiTransfer, "TWAIN_GetMultiTransfer", Number, nullptr),
  ROW(eztw32_SetMultiTransfer, "TWAIN_SetMultiTransfer", Number, nullptr),
  ROW(eztw32_SupportsFileXfer, "TWAIN_SupportsFileXfer", ExactlyOne, nullptr),
  ROW(eztw32_DisableParent, "TWAIN_DisableParent", Number, nullptr),
  ROW(eztw32_GetDisableParent, "TWAIN_GetDisableParent", AboveZero, nullptr),
  ROW(eztw32_SetHideUI, "TWAIN_SetHideUI", Number, nullptr),
  ROW(eztw32_GetHideUI, "TWAIN_GetHideUI", AboveZero, nullptr),
  // DIBs
  ROW(eztw32_DIB_SetResolution, "DIB_SetResolution", Number, nullptr),
  ROW(eztw32_DIB_XResolution, "DIB_XResolution", Number, nullptr),
  ROW(eztw32_DIB_YResolution, "DIB_YResolution", Number, nullptr),
  ROW(eztw32_DIB_Depth, "DIB_Depth", Number, nullptr),
  ROW(eztw32_DIB_Width, "DIB_Width", Number, nullptr),
  ROW(eztw32_DIB_Height, "DIB_Height", Number, nullptr),
  ROW(eztw32_DIB_RowBytes, "DIB_RowBytes", Number, nullptr),
  ROW(eztw32_DIB_SetColorCount, "DIB_SetColorCount", Number, nullptr),
  ROW(eztw32_DIB_ColorCount, "DIB_ColorCount", Number, nullptr),
  ROW(eztw32_DIB_Allocate, "DIB_Allocate", Number, nullptr),
  ROW(eztw32_DIB_Free, "DIB_Free", Number, nullptr),
  ROW(eztw32_DIB_Unlock, "DIB_Unlock", Number, nullptr),
  ROW(eztw32_DIB_Copy, "DIB_Copy", Number, nullptr),
  ROW(eztw32_DIB_SetGrayColor, "DIB_SetGrayColor", Number, nullptr),
  // Components in range (the range check is tested on its own).
  Row{"eztw32_DIB_SetColorTableRGB", "DIB_SetColorTableRGB", Conv::Number, nullptr,
      [](ArgumentSet& a) {
        const std::int32_t h = a.set == 0 ? 107 : -1, i = a.set == 0 ? 3 : -2;
        a.expected = {intArg(h), intArg(i), intArg(0), intArg(128), intArg(255)};
        return Outcome{eztw32_DIB_SetColorTableRGB(h, i, 0, 128, 255), {}};
      }, nullptr},
  ROW(eztw32_DIB_ColorTableR, "DIB_ColorTableR", Number, nullptr),
  ROW(eztw32_DIB_ColorTableG, "DIB_ColorTableG", Number, nullptr),
  ROW(eztw32_DIB_ColorTableB, "DIB_ColorTableB", Number, nullptr),
  ROW(eztw32_DIB_SwapRedBlue, "DIB_SwapRedBlue", Number, nullptr),
  ROW(eztw32_DIB_PutOnClipboard, "DIB_PutOnClipboard", ExactlyOne, nullptr),
  ROW(eztw32_DIB_GetFromClipboard, "DIB_GetFromClipboard", Number, nullptr),
  ROW(eztw32_DIB_WriteToBmp, "DIB_WriteToBmp", Number, nullptr),
  ROW(eztw32_DIB_WriteToJpeg, "DIB_WriteToJpeg", Number, nullptr),
  ROW(eztw32_DIB_LoadFromFilename, "DIB_LoadFromFilename", Number, nullptr),
  // device capabilities
  ROW(eztw32_HasFeeder, "TWAIN_HasFeeder", AboveZero, nullptr),
  ROW(eztw32_IsFeederSelected, "TWAIN_IsFeederSelected", AboveZero, nullptr),
  ROW(eztw32_SelectFeeder, "TWAIN_SelectFeeder", AboveZero, nullptr),
  ROW(eztw32_IsAutoFeedOn, "TWAIN_IsAutoFeedOn", AboveZero, nullptr),
  ROW(eztw32_SetAutoFeed, "TWAIN_SetAutoFeed", AboveZero, nullptr),
  ROW(eztw32_IsFeederLoaded, "TWAIN_IsFeederLoaded", AboveZero, nullptr),
  ROW(eztw32_GetDuplexSupport, "TWAIN_GetDuplexSupport", Number, nullptr),
  ROW(eztw32_EnableDuplex, "TWAIN_EnableDuplex", AboveZero, nullptr),
  ROW(eztw32_IsDuplexEnabled, "TWAIN_IsDuplexEnabled", AboveZero, nullptr),
  ROW(eztw32_GetCurrentUnits, "TWAIN_GetCurrentUnits", Number, nullptr),
  ROW(eztw32_SetCurrentUnits, "TWAIN_SetCurrentUnits", Number, nullptr),
  ROW(eztw32_GetBitDepth, "TWAIN_GetBitDepth", Number, nullptr),
  ROW(eztw32_SetBitDepth, "TWAIN_SetBitDepth", Number, nullptr),
  ROW(eztw32_GetPixelType, "TWAIN_GetPixelType", Number, nullptr),
  ROW(eztw32_SetCurrentPixelType, "TWAIN_SetCurrentPixelType", Number, nullptr),
  ROW(eztw32_GetCurrentResolution, "TWAIN_GetCurrentResolution", Number, nullptr),
  ROW(eztw32_GetYResolution, "TWAIN_GetYResolution", Number, nullptr),
  ROW(eztw32_SetCurrentResolution, "TWAIN_SetCurrentResolution", Number, nullptr),
  ROW(eztw32_SetXResolution, "TWAIN_SetXResolution", Number, nullptr),
  ROW(eztw32_SetYResolution, "TWAIN_SetYResolution", Number, nullptr),
  ROW(eztw32_SetContrast, "TWAIN_SetContrast", Number, nullptr),
  ROW(eztw32_SetBrightness, "TWAIN_SetBrightness", Number, nullptr),
  ROW(eztw32_SetThreshold, "TWAIN_SetThreshold", Number, nullptr),
  ROW(eztw32_GetCurrentThreshold, "TWAIN_GetCurrentThreshold", Number, nullptr),
  ROW(eztw32_SetXferMech, "TWAIN_SetXferMech", Number, nullptr),
  ROW(eztw32_GetXferMech, "TWAIN_XferMech", Number, nullptr),
  ROW(eztw32_SetPaperSize, "TWAIN_SetPaperSize", Number, nullptr),
  ROW(eztw32_HasControllableUI, "TWAIN_HasControllableUI", AboveZero, nullptr),
  ROW(eztw32_SetIndicators, "TWAIN_SetIndicators", AboveZero, nullptr),
  ROW(eztw32_SetCompression, "TWAIN_SetCompression", Number, nullptr),
  ROW(eztw32_Compression, "TWAIN_Compression", Number, nullptr),
  ROW(eztw32_SetTiled, "TWAIN_SetTiled", AboveZero, nullptr),
  ROW(eztw32_Tiled, "TWAIN_Tiled", AboveZero, nullptr),
  ROW(eztw32_SetPlanarChunky, "TWAIN_SetPlanarChunky", Number, nullptr),
  ROW(eztw32_PlanarChunky, "TWAIN_PlanarChunky", Number, nullptr),
  ROW(eztw32_SetPixelFlavor, "TWAIN_SetPixelFlavor", Number, nullptr),
  ROW(eztw32_PixelFlavor, "TWAIN_PixelFlavor", Number, nullptr),
  ROW(eztw32_SetLightPath, "TWAIN_SetLightPath", AboveZero, nullptr),
  ROW(eztw32_SetAutoBright, "TWAIN_SetAutoBright", AboveZero, nullptr),
  ROW(eztw32_SetGamma, "TWAIN_SetGamma", Number, nullptr),
  ROW(eztw32_SetShadow, "TWAIN_SetShadow", Number, nullptr),
  ROW(eztw32_SetHighlight, "TWAIN_SetHighlight", Number, nullptr),
  ROW(eztw32_GetImageLayout, "TWAIN_GetImageLayout", AboveZero, nullptr),
  ROW(eztw32_SetImageLayout, "TWAIN_SetImageLayout", AboveZero, nullptr),
  ROW(eztw32_GetDefaultImageLayout, "TWAIN_GetDefaultImageLayout", AboveZero, nullptr),
  ROW(eztw32_ResetImageLayout, "TWAIN_ResetImageLayout", AboveZero, nullptr),
  // errors and result codes
  ROW(eztw32_GetResultCode, "TWAIN_GetResultCode", Number, nullptr),
  ROW(eztw32_GetConditionCode, "TWAIN_GetConditionCode", Number, nullptr),
  ROW(eztw32_UserClosedSource, "TWAIN_UserClosedSource", ExactlyOne, nullptr),
  ROW(eztw32_ErrorBox, "TWAIN_ErrorBox", Number, nullptr),
  ROW(eztw32_SuppressErrorMessages, "TWAIN_SuppressErrorMessages", AboveZero, nullptr),
  ROW(eztw32_LastErrorCode, "TWAIN_LastErrorCode", Number, nullptr),
  ROW(eztw32_ClearError, "TWAIN_ClearError", Number, nullptr),
};
// clang-format on

Outcome expectedOutcome(Conv conv, std::int32_t r) {
  Outcome o;
  switch (conv) {
    case Conv::Number:
      o.number = r;
      break;
    case Conv::AboveZero:
      o.number = r > 0;
      break;
    case Conv::ExactlyOne:
      o.number = r == 1;
      break;
    case Conv::ExactlyZero:
      o.number = r == 0;
      break;
    case Conv::Text:
      o.text = "Scanner 7";
      break;
    case Conv::None:
      break;
  }
  return o;
}
// What a wrapper returns when it calls nothing: 0, false or the empty text.
Outcome failureOutcome(Conv conv) {
  Outcome o;
  if (conv == Conv::Text)
    o.text = "";
  else if (conv != Conv::None)
    o.number = 0;
  return o;
}

class EachWrapper : public ::testing::TestWithParam<Row> {
 protected:
  static void SetUpTestSuite() {
    if (nEztwDll == 0) {
      ASSERT_NE(eztw32_LoadDll(), 0u);
    }
  }
  void SetUp() override { fake::reset(); }
};

TEST_P(EachWrapper, CallsItsExportWithTheArgumentsInOrder) {
  const Row& row = GetParam();
  for (int set : {0, 1}) {
    SCOPED_TRACE(set == 0 ? "positive arguments" : "negative arguments");
    fake::reset();
    MessageRecorder messages;
    ArgumentSet args;
    args.set = set;
    row.call(args);
    ASSERT_EQ(fake::callNames(), std::vector<std::string>{row.exportName});
    const auto expected = row.received ? row.received(args) : args.expected;
    EXPECT_EQ(fake::calls()[0].args, expected);
  }
}

TEST_P(EachWrapper, ConvertsTheResultAtTheBoundaries) {
  const Row& row = GetParam();
  for (std::int32_t r : {-1, 0, 1, 2}) {
    SCOPED_TRACE("library result " + std::to_string(r));
    fake::reset();
    fake::setResult(row.exportName, r);
    if (row.conv == Conv::Text)
      fake::setBufferBytes(row.exportName, std::string("Scanner 7\0", 10));
    MessageRecorder messages;
    ArgumentSet args;
    const Outcome got = row.call(args);
    const Outcome want = expectedOutcome(row.conv, r);
    EXPECT_EQ(got.number, want.number);
    EXPECT_EQ(got.text, want.text);
    if (row.messageTitle != nullptr && r == 0) {
      ASSERT_EQ(messages.messages.size(), 1u);
      EXPECT_EQ(messages.messages[0].title, row.messageTitle);
    } else {
      EXPECT_TRUE(messages.messages.empty());
    }
  }
}

TEST_P(EachWrapper, CallsNothingWhileUnbound) {
  const Row& row = GetParam();
  eztw32_UnLoadDll();
  MessageRecorder messages;
  ArgumentSet args;
  const Outcome got = row.call(args);
  EXPECT_TRUE(fake::calls().empty());
  EXPECT_EQ(got.number, failureOutcome(row.conv).number);
  EXPECT_EQ(got.text, failureOutcome(row.conv).text);
  EXPECT_TRUE(messages.messages.empty());
  ASSERT_NE(eztw32_LoadDll(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Wrappers, EachWrapper, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.wrapper); });

TEST(WrapperTable, CoversEveryExportOnce) {
  std::set<std::string> exports;
  for (const Row& row : kRows) EXPECT_TRUE(exports.insert(row.exportName).second) << row.exportName;
#define CHECK_LISTED(family, name, params, args) \
  EXPECT_TRUE(exports.count(#name)) << #name " has no wrapper row";
  EZTW32_EXPORTS(CHECK_LISTED)
#undef CHECK_LISTED
}

}  // namespace
