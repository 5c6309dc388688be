// SPDX-License-Identifier: MIT
// The library through the wrapper, in a process without a Qt application,
// against SANE's virtual test scanner; scanimage and ImageMagick are the
// peers that say what the right pixels are.
#include <gtest/gtest.h>
#include <quillmere/eztw32fu.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <string>

#include "library_fixture.h"
#include "sane_env.h"

using namespace eztwtest;

namespace {

class Scan : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    eztw32_SetCurrentUnits(0);
  }
  void TearDown() override {
    LibraryTest::TearDown();
    eztw32_SetCurrentUnits(0);
  }
  // Opens test:0 and sets mode, depth, 75 dpi and a 40 x 30 mm area.
  void openWith(int pixelType, int bits, int dpi = 75) {
    ASSERT_TRUE(eztw32_OpenSource("test:0"));
    ASSERT_EQ(eztw32_GetTwainState(), 4);
    ASSERT_GT(eztw32_SetCurrentPixelType(pixelType), 0);
    if (bits) {
      ASSERT_GT(eztw32_SetBitDepth(bits), 0);
    }
    ASSERT_GT(eztw32_SetCurrentResolution(dpi), 0);
    ASSERT_GT(eztw32_SetCurrentUnits(6), 0);
    ASSERT_TRUE(eztw32_SetImageLayout(0, 0, 40, 30));
    eztw32_SetCurrentUnits(0);
  }
  fs::path scanimage(const std::string& args, const std::string& name, int dpi = 75) {
    const fs::path out = env.path(name);
    const auto [rc, text] =
        run("scanimage -d test:0 --resolution " + std::to_string(dpi) + " -l 0 -t 0 -x 40 -y 30 " +
            args + " --format=pnm -o '" + out.string() + "'");
    EXPECT_EQ(rc, 0) << text;
    return out;
  }
  SaneEnv env;
};

struct Mode {
  const char* name;
  int pixelType, bits;  // as set through the library; bits 0 leaves the depth
  std::map<std::string, std::string> conf;
  const char* scanimageArgs;
  int dibDepth;
  bool reduce;  // peer has 16 bits per sample: reduce it to 8 for comparing
};

class Modes : public Scan, public ::testing::WithParamInterface<Mode> {};

TEST_P(Modes, PixelsMatchScanimage) {
  const Mode& m = GetParam();
  env.writeConf(m.conf);
  openWith(m.pixelType, m.bits);
  const int32_t h = eztw32_AcquireNative(0, 0);
  ASSERT_NE(h, 0) << "last error " << eztw32_LastErrorCode();
  EXPECT_EQ(eztw32_GetTwainState(), 4) << "acquisition must leave the state where it found it";
  EXPECT_EQ(eztw32_DIB_Depth(h), m.dibDepth);
  EXPECT_EQ(eztw32_DIB_XResolution(h), 75);
  EXPECT_EQ(eztw32_DIB_YResolution(h), 75);
  const fs::path ours = env.path("ours.bmp");
  ASSERT_EQ(eztw32_DIB_WriteToBmp(h, ours.string()), 0);
  fs::path peer = scanimage(m.scanimageArgs, "peer.pnm");
  if (m.reduce) {
    ASSERT_EQ(
        run("convert '" + peer.string() + "' -depth 8 '" + env.path("peer8.pnm").string() + "'")
            .first,
        0);
    peer = env.path("peer8.pnm");
  }
  EXPECT_EQ(identify(ours, "%wx%h"), identify(peer, "%wx%h"));
  EXPECT_EQ(eztw32_DIB_Width(h), std::stoi(identify(peer, "%w")));
  EXPECT_EQ(eztw32_DIB_Height(h), std::stoi(identify(peer, "%h")));
  // 16-bit samples: ours are rounded, ImageMagick's reduction truncates.
  EXPECT_EQ(differingPixels(ours, peer, m.reduce ? "0.5%" : "0"), 0);
  EXPECT_EQ(eztw32_FreeNative(h), 1);
  EXPECT_TRUE(eztw32_CloseSource());
}

INSTANTIATE_TEST_SUITE_P(
    TestScanner, Modes,
    ::testing::Values(
        Mode{"LineArt", 0, 0, {}, "--mode Gray --depth 1", 1, false},
        Mode{"Grey", 1, 8, {}, "--mode Gray --depth 8", 8, false},
        Mode{"Colour", 2, 24, {}, "--mode Color --depth 8", 24, false},
        Mode{"Grey16", 1, 16, {}, "--mode Gray --depth 16", 8, true},
        Mode{"Colour16", 2, 48, {}, "--mode Color --depth 16", 24, true},
        Mode{"ThreePass",
             2,
             24,
             {{"three-pass", "true"}, {"three-pass-order", "GBR"}},
             "--mode Color --depth 8",
             24,
             false},
        Mode{"HandScanner", 1, 8, {{"hand-scanner", "true"}}, "--mode Gray --depth 8", 8, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Scan, StepByStepStatesAndSequenceErrors) {
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  EXPECT_FALSE(eztw32_EnableSource(0));  // nothing open yet
  EXPECT_EQ(eztw32_LastErrorCode(), 3);
  EXPECT_EQ(eztw32_GetConditionCode(), 11);
  EXPECT_TRUE(eztw32_LoadSourceManager());
  EXPECT_EQ(eztw32_GetTwainState(), 2);
  EXPECT_TRUE(eztw32_OpenSourceManager(0));
  EXPECT_EQ(eztw32_GetTwainState(), 3);
  EXPECT_TRUE(eztw32_OpenDefaultSource());
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  EXPECT_NE(eztw32_GetSourceName().find("(test:0)"), std::string::npos);
  EXPECT_TRUE(eztw32_EnableSource(0));
  EXPECT_EQ(eztw32_GetTwainState(), 5);
  const int32_t h = eztw32_WaitForNativeXfer(0);
  EXPECT_NE(h, 0);
  EXPECT_EQ(eztw32_GetTwainState(), 5);  // flatbed: nothing more pending
  EXPECT_FALSE(eztw32_IsTransferReady());
  EXPECT_TRUE(eztw32_DisableSource());
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  EXPECT_TRUE(eztw32_CloseSource());
  EXPECT_EQ(eztw32_GetTwainState(), 3);
  EXPECT_TRUE(eztw32_CloseSourceManager(0));
  EXPECT_EQ(eztw32_GetTwainState(), 2);
  EXPECT_TRUE(eztw32_UnloadSourceManager());
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  EXPECT_EQ(eztw32_FreeNative(h), 1);
}

TEST_F(Scan, SourceNamesEnumerateAndOpenBack) {
  ASSERT_TRUE(eztw32_GetSourceList());
  EXPECT_TRUE(eztw32_GetNextSourceName());
  EXPECT_TRUE(eztw32_GetNextSourceName());
  EXPECT_FALSE(eztw32_GetNextSourceName());  // two test devices
  const std::string name = eztw32_GetDefaultSourceName();
  ASSERT_NE(name.find("(test:0)"), std::string::npos) << name;
  // Without a window system selection keeps the default and succeeds.
  EXPECT_TRUE(eztw32_SelectImageSource(0));
  EXPECT_EQ(eztw32_GetDefaultSourceName(), name);
  EXPECT_TRUE(eztw32_OpenSource(name));
  EXPECT_EQ(eztw32_GetSourceName(), name);
  EXPECT_TRUE(eztw32_CloseSource());
  EXPECT_FALSE(eztw32_OpenSource("no such scanner"));
  EXPECT_EQ(eztw32_LastErrorCode(), 2);
  EXPECT_EQ(eztw32_GetTwainState(), 3);
}

TEST_F(Scan, OneCallAcquisitionsLeaveTheStateAsFound) {
  const int32_t h = eztw32_Acquire(0);
  ASSERT_NE(h, 0);
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  EXPECT_EQ(eztw32_DIB_Depth(h), 8);
  EXPECT_GT(eztw32_DIB_Width(h), 0);
  eztw32_FreeNative(h);
  // Without a window system the "clipboard" is the library's own.
  ASSERT_TRUE(eztw32_AcquireToClipboard(0, 0));
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  const int32_t c = eztw32_DIB_GetFromClipboard();
  ASSERT_NE(c, 0);
  EXPECT_EQ(eztw32_DIB_Depth(c), 8);
  eztw32_FreeNative(c);
  // Pixel types: colour only.
  const int32_t rgb = eztw32_AcquireNative(0, 1 << 2);
  EXPECT_EQ(eztw32_DIB_Depth(rgb), 24);
  eztw32_FreeNative(rgb);
}

// A program without Qt gets the library's behaviour without windows and
// never maps a Qt library, nor the windows plugin.
TEST_F(Scan, WithoutQtNoWindowAppearsAndNoQtIsLoaded) {
  eztw32_SetHideUI(false);
  EXPECT_FALSE(eztw32_HasControllableUI());
  EXPECT_TRUE(eztw32_SelectImageSource(0)) << "the default source stays chosen";
  const fs::path file = env.path("NOQT.BMP");
  // The source's interface counts as hidden: the scan runs without a dialog.
  ASSERT_EQ(eztw32_AcquireToFilename(0, file.string()), 0);
  EXPECT_TRUE(fs::exists(file));
  ASSERT_TRUE(eztw32_AcquireToClipboard(0, 0));
  const int32_t c = eztw32_DIB_GetFromClipboard();
  ASSERT_NE(c, 0);
  eztw32_FreeNative(c);
  EXPECT_EQ(eztw32_AcquireToFilename(0, ""), -2) << "nobody to ask for a name";

  std::ifstream maps("/proc/self/maps");
  std::string line, qt, library;
  while (std::getline(maps, line)) {
    if (line.find("libQt") != std::string::npos || line.find("eztw32-qt") != std::string::npos)
      qt = line;
    if (line.find("libeztw32.so") != std::string::npos) library = line;
  }
  EXPECT_FALSE(library.empty()) << "the library is not mapped: the check would prove nothing";
  EXPECT_TRUE(qt.empty()) << qt;
}

struct FileCase {
  const char* name;
  int format;
  const char* file;
  const char* picture;
};
class Files : public Scan, public ::testing::WithParamInterface<FileCase> {};

TEST_P(Files, WrittenFileReadsBackInImageMagick) {
  const FileCase& c = GetParam();
  env.writeConf({{"test-picture", c.picture}});
  ASSERT_TRUE(eztw32_SetSaveFormat(c.format));
  eztw32_SetJpegQuality(75);
  // 600 dpi: the page is written in more than one batch of rows.
  openWith(2, 24, 600);
  const fs::path ours = env.path(c.file);
  EXPECT_EQ(eztw32_AcquireToFilename(0, ours.string()), 0);
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  const fs::path peer = scanimage("--mode Color --depth 8", "peer.pnm", 600);
  EXPECT_EQ(identify(ours, "%wx%h"), identify(peer, "%wx%h"));
  if (c.format == 2) {
    EXPECT_EQ(identify(ours, "%m").substr(0, 3), "BMP");
    EXPECT_EQ(differingPixels(ours, peer), 0);
  } else {
    EXPECT_EQ(identify(ours, "%m %Q"), "JPEG 75");
    EXPECT_GT(psnr(ours, peer), 35.0);
  }
  // Nothing but the file itself is left in the folder.
  int files = 0;
  for (const auto& e : fs::directory_iterator(env.dir())) files += e.is_regular_file();
  EXPECT_EQ(files, 2);  // ours and the peer
}

INSTANTIATE_TEST_SUITE_P(TestScanner, Files,
                         ::testing::Values(FileCase{"Bmp", 2, "PAGE.BMP", "\"Color pattern\""},
                                           FileCase{"Jpeg", 4, "PAGE.JPG", "Grid"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Scan, FeederDeliversTenPagesThenNoDocuments) {
  ASSERT_TRUE(eztw32_OpenSource("test:0"));
  ASSERT_TRUE(eztw32_HasFeeder());
  ASSERT_TRUE(eztw32_SelectFeeder(1));
  EXPECT_TRUE(eztw32_IsFeederSelected());
  ASSERT_TRUE(eztw32_EnableSource(0));
  // The batch loop of a caller: it ends when no transfer is ready, without a
  // zero handle (the fixture fails on any wrapper message).
  int pages = 0;
  do {
    const int32_t h = eztw32_WaitForNativeXfer(0);
    ASSERT_NE(h, 0) << "page " << pages + 1;
    eztw32_FreeNative(h);
    ++pages;
  } while (eztw32_IsTransferReady() && pages < 20);
  EXPECT_EQ(pages, 10);
  EXPECT_EQ(eztw32_GetTwainState(), 5);
  EXPECT_TRUE(eztw32_CloseSource());
  EXPECT_EQ(eztw32_GetTwainState(), 3);
}

struct Failure {
  const char* name;
  const char* option;  // of the test backend's configuration
  const char* status;
  int lastError;
};
class Failures : public Scan, public ::testing::WithParamInterface<Failure> {};

TEST_P(Failures, GiveTheirCodeLeaveNoFileAndRecover) {
  const Failure& f = GetParam();
  env.writeConf({{f.option, std::string("\"") + f.status + "\""}});
  eztw32_SetSaveFormat(2);
  const fs::path target = env.path("MYTEST.BMP");
  EXPECT_EQ(eztw32_AcquireToFilename(0, target.string()), -1);
  EXPECT_EQ(eztw32_LastErrorCode(), f.lastError);
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  for (const auto& e : fs::directory_iterator(env.dir()))
    EXPECT_FALSE(e.is_regular_file()) << "left behind: " << e.path();
  // The same steps with the source opened first end back in state 4.
  ASSERT_TRUE(eztw32_OpenSource("test:0"));
  EXPECT_EQ(eztw32_Acquire(0), 0);
  EXPECT_EQ(eztw32_GetTwainState(), 4);
  EXPECT_TRUE(eztw32_CloseSource());
  EXPECT_TRUE(eztw32_CloseSourceManager(0));
  EXPECT_TRUE(eztw32_UnloadSourceManager());
  // The library ends SANE when it is unloaded: loaded again, it starts SANE
  // anew and the test backend reads its settings again.
  env.writeConf({});
  eztw32_UnLoadDll();
  ASSERT_NE(eztw32_LoadDll(), 0u);
  eztw32_SetHideUI(true);
  eztw32_SuppressErrorMessages(true);
  EXPECT_EQ(eztw32_AcquireToFilename(0, target.string()), 0);
  EXPECT_TRUE(fs::exists(target));
}

INSTANTIATE_TEST_SUITE_P(
    TestScanner, Failures,
    ::testing::Values(Failure{"Jammed", "read-status-code", "SANE_STATUS_JAMMED", 5},
                      Failure{"NoDocs", "read-status-code", "SANE_STATUS_NO_DOCS", 6},
                      Failure{"CoverOpen", "read-status-code", "SANE_STATUS_COVER_OPEN", 7},
                      Failure{"IoError", "read-status-code", "SANE_STATUS_IO_ERROR", 8},
                      Failure{"Busy", "read-status-code", "SANE_STATUS_DEVICE_BUSY", 4},
                      Failure{"AccessDenied", "read-status-code", "SANE_STATUS_ACCESS_DENIED", 10},
                      Failure{"Cancelled", "read-status-code", "SANE_STATUS_CANCELLED", 1},
                      // Data ends before the first line: the page ended early.
                      Failure{"EndsBeforeFirstLine", "read-status-code", "SANE_STATUS_EOF", 18}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Scan, ManyAcquisitionsKeepTheDescriptorCountFlat) {
  auto openDescriptors = [] {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
  };
  int afterFirst = 0;
  for (int round = 0; round < 12; ++round) {
    // The whole TWAIN cycle each time, down to state 1.
    ASSERT_TRUE(eztw32_OpenSource("test:0"));
    const int32_t h = eztw32_Acquire(0);
    ASSERT_NE(h, 0) << "round " << round;
    eztw32_FreeNative(h);
    EXPECT_TRUE(eztw32_CloseSource());
    EXPECT_TRUE(eztw32_CloseSourceManager(0));
    EXPECT_TRUE(eztw32_UnloadSourceManager());
    if (round == 0) afterFirst = openDescriptors();
  }
  EXPECT_EQ(openDescriptors(), afterFirst);
  // A device search once in between: its backends stay loaded, not reloaded.
  ASSERT_TRUE(eztw32_GetSourceList());
  const int afterSearch = openDescriptors();
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(eztw32_GetSourceList());
    const int32_t h = eztw32_Acquire(0);
    ASSERT_NE(h, 0);
    eztw32_FreeNative(h);
  }
  EXPECT_EQ(openDescriptors(), afterSearch);
  EXPECT_EQ(eztw32_GetTwainState(), 1);
}

TEST_F(Scan, FileResultCodes) {
  eztw32_SetSaveFormat(2);
  // An unwritable place: -2 before any scan, state untouched.
  EXPECT_EQ(eztw32_AcquireToFilename(0, env.path("no/such/dir/X.BMP").string()), -2);
  EXPECT_EQ(eztw32_AcquireToFilename(0, env.dir().string()), -2);  // a folder
  // No window system to ask for a name.
  EXPECT_EQ(eztw32_AcquireToFilename(0, ""), -2);
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  // An invalid image: -3.
  EXPECT_EQ(eztw32_DIB_WriteToBmp(0, env.path("x.bmp").string()), -3);
  EXPECT_FALSE(fs::exists(env.path("x.bmp")));
  // A file that cannot grow: -4, and neither the target nor a part is left.
  const int32_t h = eztw32_DIB_Allocate(24, 1000, 1000);
  ASSERT_NE(h, 0);
  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const int32_t rc = eztw32_DIB_WriteToBmp(h, env.path("big.bmp").string());
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(rc, -4);
  for (const auto& e : fs::directory_iterator(env.dir()))
    EXPECT_FALSE(e.is_regular_file()) << "left behind: " << e.path();
  eztw32_FreeNative(h);
}

TEST_F(Scan, BadHandlesAndIndicesAreErrors) {
  const int32_t h = eztw32_DIB_Allocate(8, 10, 10);
  ASSERT_NE(h, 0);
  EXPECT_EQ(eztw32_DIB_ColorCount(h), 256);
  EXPECT_EQ(eztw32_DIB_SetColorTableRGB(h, 255, 1, 2, 3), 1);
  EXPECT_EQ(eztw32_DIB_ColorTableG(h, 255), 2);
  EXPECT_EQ(eztw32_DIB_SetColorTableRGB(h, 256, 1, 2, 3), -1);
  EXPECT_EQ(eztw32_DIB_ColorTableR(h, -1), -1);
  EXPECT_EQ(eztw32_DIB_ColorTableR(h, 256), -1);
  const int32_t copy = eztw32_DIB_Copy(h);
  ASSERT_NE(copy, 0);
  EXPECT_EQ(eztw32_DIB_ColorTableB(copy, 255), 3);
  EXPECT_EQ(eztw32_FreeNative(h), 1);
  for (int32_t bad : {0, h, 12345678, -1}) {
    EXPECT_EQ(eztw32_DIB_Width(bad), 0);
    EXPECT_EQ(eztw32_DIB_Depth(bad), 0);
    EXPECT_EQ(eztw32_DIB_ColorTableR(bad, 0), -1);
    EXPECT_EQ(eztw32_DIB_Free(bad), 0);
    EXPECT_EQ(eztw32_DIB_Copy(bad), 0);
    EXPECT_EQ(eztw32_DIB_WriteToJpeg(bad, env.path("y.jpg").string()), -3);
    EXPECT_EQ(eztw32_LastErrorCode(), 13);
  }
  EXPECT_EQ(eztw32_DIB_Allocate(7, 10, 10), 0);
  EXPECT_EQ(eztw32_DIB_Allocate(24, 100000, 100000), 0);  // 30 GB: refused, not attempted
  EXPECT_EQ(eztw32_DIB_Allocate(24, -5, 10), 0);
  EXPECT_EQ(eztw32_DIB_LoadFromFilename(env.path("missing.bmp").string()), 0);
  EXPECT_EQ(eztw32_LastErrorCode(), 14);  // file error
  {
    // A BMP holding a PNG is valid but not read: said so, not "file error".
    unsigned char png[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0,
                             0,   0,   1,  0, 0, 0, 1, 0, 0, 0, 1,  0, 0, 0, 5};
    std::ofstream(env.path("png.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png), sizeof png);
    EXPECT_EQ(eztw32_DIB_LoadFromFilename(env.path("png.bmp").string()), 0);
    EXPECT_EQ(eztw32_LastErrorCode(), 16);
    eztw32_ClearError();
    EXPECT_EQ(eztw32_LoadNativeFromFilename(env.path("png.bmp").string()), 0);
    EXPECT_EQ(eztw32_LastErrorCode(), 16);
  }
  EXPECT_EQ(eztw32_DIB_WriteToBmp(copy, ""), -2);  // no window system to ask
  EXPECT_EQ(eztw32_FreeNative(copy), 1);
}

TEST_F(Scan, LogFileRecordsCallsAndSaneStatuses) {
  const fs::path old = fs::current_path();
  fs::current_path(env.dir());
  eztw32_LogFile(1);
  const int32_t h = eztw32_Acquire(0);
  eztw32_LogFile(0);
  fs::current_path(old);
  eztw32_FreeNative(h);
  std::ifstream in(env.path("eztw32.log"));
  const std::string log((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(log.find("TWAIN_Acquire -> "), std::string::npos) << log;
  EXPECT_NE(log.find("SANE sane_open: Success"), std::string::npos) << log;
  EXPECT_NE(log.find("SANE sane_start"), std::string::npos) << log;
}

TEST_F(Scan, IdentityAndSelfTest) {
  EXPECT_TRUE(eztw32_SelfTest());
  EXPECT_EQ(eztw32_TestParam(), 0);
  EXPECT_TRUE(eztw32_IsTwainAvailable());
  EXPECT_EQ(eztw32_GetTwainState(), 1);
  EXPECT_TRUE(eztw32_IsJpegAvailable());
  EXPECT_GT(eztw32_GetVersion(), 0);
  std::string name(255, ' ');
  eztw32_GetBuildName(name);
  EXPECT_EQ(std::string(name.c_str()), "eztw32 for Linux 1.0 (SANE)");
  EXPECT_FALSE(eztw32_SupportsFileXfer());
}

TEST_F(Scan, CapabilitiesFollowTheDeviceOptions) {
  EXPECT_EQ(eztw32_GetPixelType(), -1);  // no source open
  ASSERT_TRUE(eztw32_OpenSource("test:0"));
  EXPECT_EQ(eztw32_SetCurrentPixelType(2), 1);
  EXPECT_EQ(eztw32_GetPixelType(), 2);
  EXPECT_EQ(eztw32_GetBitDepth(), 24);
  EXPECT_EQ(eztw32_SetCurrentResolution(300), 1);
  EXPECT_EQ(eztw32_GetCurrentResolution(), 300);
  EXPECT_EQ(eztw32_SetCurrentResolution(5000), 0);  // beyond the device's range
  EXPECT_EQ(eztw32_GetCurrentResolution(), 300);
  double l = -1, t = -1, r = -1, b = -1;
  ASSERT_TRUE(eztw32_GetDefaultImageLayout(&l, &t, &r, &b));
  EXPECT_NEAR(r, 200 / 25.4, 1e-3);  // the whole 200 mm area, in inches
  ASSERT_TRUE(eztw32_SetImageLayout(1, 1, 2, 3));
  ASSERT_TRUE(eztw32_GetImageLayout(&l, &t, &r, &b));
  EXPECT_NEAR(l, 1, 0.04);
  EXPECT_NEAR(b, 3, 0.04);
  EXPECT_FALSE(eztw32_SetImageLayout(0, 0, 20, 20));  // larger than the glass
  EXPECT_EQ(eztw32_SetBrightness(100), 0);            // the test scanner has no brightness
  EXPECT_EQ(eztw32_GetDuplexSupport(), 0);
  EXPECT_TRUE(eztw32_ResetImageLayout());
  const int32_t h = eztw32_AcquireNative(0, 0);
  ASSERT_NE(h, 0);
  EXPECT_EQ(eztw32_DIB_XResolution(h), 300);
  EXPECT_EQ(eztw32_DIB_Width(h), 2362);  // 200 mm at 300 dpi
  eztw32_FreeNative(h);
}

}  // namespace
