// SPDX-License-Identifier: MIT
// The library's exports over a scripted SANE table, for what SANE's test
// scanner cannot show: how often SANE is started and asked for its devices,
// pages that end early, and calls arriving while a transfer runs (from a
// GUI timer of the host, or from another thread).
#include <gtest/gtest.h>
#include <quillmere/eztw32_abi.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "sane_api.h"
#include "sane_env.h"
#include "session.h"

using namespace eztwtest;

namespace {

// One grey 8-bit device "fake:0" with an optional feeder of pages. Each page
// announces its height (or -1, unknown) and delivers the scripted number of
// lines before EOF.
struct Script {
  int width = 16;
  int announced = 8;  // lines in the parameters, -1 unknown
  int delivered = 8;  // lines sent before EOF
  int pages = 1;      // sheets sane_start can begin
  int passes = 0;     // colour passes red, green, blue per page; 0 one grey frame
  int frame = 0;
  // Run before each sane_read and each sane_get_devices, on the calling thread.
  std::function<void()> beforeRead, beforeList;

  int inits = 0, exits = 0, deviceLists = 0, opens = 0;
  int sent = 0;
};
Script script;

SANE_Device fakeDevice{"fake:0", "Scripted", "Scanner", "flatbed scanner"};
const SANE_Device* fakeList[] = {&fakeDevice, nullptr};
int dummyHandle;

const eztw::SaneApi kScripted{
    [](SANE_Int* version, SANE_Auth_Callback) {
      ++script.inits;
      if (version) *version = SANE_VERSION_CODE(1, 0, 0);
      return SANE_STATUS_GOOD;
    },
    [] { ++script.exits; },
    [](const SANE_Device*** list, SANE_Bool) {
      if (script.beforeList) script.beforeList();
      ++script.deviceLists;
      *list = fakeList;
      return SANE_STATUS_GOOD;
    },
    [](SANE_String_Const name, SANE_Handle* h) {
      if (std::strcmp(name, "fake:0") != 0) return SANE_STATUS_INVAL;
      ++script.opens;
      *h = &dummyHandle;
      return SANE_STATUS_GOOD;
    },
    [](SANE_Handle) {},
    [](SANE_Handle, SANE_Int) -> const SANE_Option_Descriptor* { return nullptr; },
    [](SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) { return SANE_STATUS_UNSUPPORTED; },
    [](SANE_Handle, SANE_Parameters* p) {
      static constexpr SANE_Frame kPasses[] = {SANE_FRAME_RED, SANE_FRAME_GREEN, SANE_FRAME_BLUE};
      const bool last = script.passes == 0 || script.frame + 1 >= script.passes;
      *p = {script.passes ? kPasses[script.frame % 3] : SANE_FRAME_GRAY,
            last ? SANE_TRUE : SANE_FALSE,
            script.width,
            script.width,
            script.announced,
            8};
      return SANE_STATUS_GOOD;
    },
    [](SANE_Handle) {
      // Passes after the first continue the same page.
      if (script.passes && script.sent > 0) {
        ++script.frame;
      } else {
        if (script.pages <= 0) return SANE_STATUS_NO_DOCS;
        --script.pages;
        script.frame = 0;
      }
      script.sent = 0;
      return SANE_STATUS_GOOD;
    },
    [](SANE_Handle, SANE_Byte* data, SANE_Int max, SANE_Int* length) {
      if (script.beforeRead) script.beforeRead();
      *length = 0;
      const int left = script.delivered * script.width - script.sent;
      if (left <= 0) return SANE_STATUS_EOF;
      // Half a line at a time, so a transfer takes many reads.
      *length = std::min({left, static_cast<int>(max), script.width / 2});
      std::memset(data, 0x80, static_cast<std::size_t>(*length));
      script.sent += *length;
      return SANE_STATUS_GOOD;
    },
    [](SANE_Handle) {},
    [](SANE_Status s) -> SANE_String_Const { return s == SANE_STATUS_GOOD ? "good" : "failed"; },
};

constexpr int32_t kSequenceError = 3, kCancelled = 1, kShortPage = 18, kNoSource = 2;
constexpr int32_t kRcCancel = 3;

class Scripted : public ::testing::Test {
 protected:
  void SetUp() override {
    script = Script{};
    SaneEnv::configDir();  // a private XDG folder: nothing remembered
    ASSERT_TRUE(eztw::Session::instance().useApi(kScripted));
    TWAIN_SetHideUI(1);
    TWAIN_SuppressErrorMessages(1);
  }
  void TearDown() override {
    script.beforeRead = script.beforeList = nullptr;
    if (TWAIN_State() >= 4) TWAIN_CloseSource();
    TWAIN_UnloadSourceManager();
  }
  SaneEnv env;
};

TEST_F(Scripted, SaneStartsOnceAndOpensByNameWithoutListingDevices) {
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(TWAIN_OpenSource("fake:0"), 1);
    script.pages = 1;
    const int32_t h = TWAIN_AcquireNative(0, 0);
    ASSERT_NE(h, 0) << "round " << round << ", last error " << TWAIN_LastErrorCode();
    EXPECT_EQ(DIB_Height(h), 8);
    TWAIN_FreeNative(h);
    ASSERT_EQ(TWAIN_CloseSource(), 1);
    ASSERT_EQ(TWAIN_CloseSourceManager(0), 1);
    ASSERT_EQ(TWAIN_UnloadSourceManager(), 1);
    EXPECT_EQ(TWAIN_State(), 1);
  }
  EXPECT_EQ(script.inits, 1);
  EXPECT_EQ(script.exits, 0);
  EXPECT_EQ(script.deviceLists, 0);

  // Without a remembered source the first device found is used; once one is
  // chosen it opens again by its name. A full source name opens the same way.
  ASSERT_EQ(TWAIN_OpenDefaultSource(), 1);
  EXPECT_EQ(script.deviceLists, 1);
  TWAIN_CloseSource();
  ASSERT_EQ(TWAIN_GetSourceList(), 1);
  ASSERT_EQ(TWAIN_OpenSource("Scripted Scanner (fake:0)"), 1);
  char name[256] = {};
  TWAIN_GetSourceName(name);
  EXPECT_STREQ(name, "Scripted Scanner (fake:0)");
  TWAIN_CloseSource();
  EXPECT_EQ(script.deviceLists, 1) << "the device list is kept for the process";

  // An unknown name is looked up once more among the devices, then refused.
  EXPECT_EQ(TWAIN_OpenSource("no such scanner"), 0);
  EXPECT_EQ(TWAIN_LastErrorCode(), kNoSource);
  EXPECT_EQ(script.deviceLists, 2);
}

TEST_F(Scripted, SelectionOpensAtOnceOverTheActiveWindowAndFillsWhenFound) {
  QWidget main;
  main.show();
  main.activateWindow();
  std::atomic<bool> listing{false}, found{false};
  script.beforeList = [&] {
    listing = true;
    while (!found) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  QWidget* parent = nullptr;
  QString firstStatus;
  int firstCount = -1, stage = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != "eztw32SelectSource" || !w->isVisible()) continue;
      auto* list = w->findChild<QListWidget*>("sources");
      auto* refresh = w->findChild<QPushButton*>("refreshButton");
      if (stage == 0 && listing) {
        // Shown while the search still runs.
        parent = w->parentWidget();
        firstStatus = w->findChild<QLabel*>("searchStatus")->text();
        firstCount = list->count();
        found = true;
        stage = 1;
      } else if (stage == 1 && list->count() == 1) {
        refresh->click();
        stage = 2;
      } else if (stage == 2 && refresh->isEnabled() && list->count() == 1) {
        qobject_cast<QDialog*>(w)->accept();
        stage = 3;
      }
    }
  });
  timer.start(10);
  EXPECT_EQ(TWAIN_SelectImageSource(0), 1);
  EXPECT_EQ(stage, 3);
  EXPECT_EQ(parent, &main);
  EXPECT_TRUE(firstStatus.startsWith("Searching")) << firstStatus.toStdString();
  EXPECT_EQ(firstCount, 0);
  EXPECT_EQ(script.deviceLists, 2);  // the first search and the refresh
  char name[256] = {};
  EXPECT_EQ(TWAIN_GetDefaultSourceName(name), 1);
  EXPECT_STREQ(name, "Scripted Scanner (fake:0)");
  EXPECT_EQ(script.deviceLists, 2);
}

struct Page {
  const char* name;
  int announced, delivered, passes;
  int height;  // of the delivered page, 0 for a failure
};
class Pages : public Scripted, public ::testing::WithParamInterface<Page> {};

TEST_P(Pages, AreWholeOrNotDelivered) {
  const Page& c = GetParam();
  for (const bool toFile : {false, true}) {
    script.announced = c.announced, script.delivered = c.delivered, script.pages = 1;
    script.passes = c.passes, script.sent = 0, script.frame = 0;
    const fs::path file = env.path("PAGE.BMP");
    ASSERT_EQ(TWAIN_OpenSource("fake:0"), 1);
    int32_t h = 0, rc = 0;
    if (toFile)
      rc = TWAIN_AcquireToFilename(0, file.c_str());
    else
      h = TWAIN_AcquireNative(0, 0);
    TWAIN_CloseSource();
    if (c.height == 0) {
      EXPECT_EQ(toFile ? rc : h, toFile ? -1 : 0);
      EXPECT_EQ(TWAIN_LastErrorCode(), kShortPage);
      EXPECT_FALSE(fs::exists(file));
    } else if (toFile) {
      ASSERT_EQ(rc, 0);
      EXPECT_EQ(QImage(QString::fromStdString(file.string())).height(), c.height);
      fs::remove(file);
    } else {
      ASSERT_NE(h, 0);
      EXPECT_EQ(DIB_Height(h), c.height);
      TWAIN_FreeNative(h);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, Pages,
    ::testing::Values(Page{"Whole", 8, 8, 0, 8}, Page{"EndsMidPage", 8, 5, 0, 0},
                      Page{"EndsBeforeFirstLine", 8, 0, 0, 0}, Page{"HandScannerRows", -1, 5, 0, 5},
                      Page{"HandScannerNoRows", -1, 0, 0, 0}, Page{"ThreePasses", 8, 8, 3, 8},
                      // The device calls its second pass the last.
                      Page{"TwoOfThreePasses", 8, 8, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A call made while a file acquisition is reading, from the host's event
// loop or from another thread, and what it must do.
enum class Outcome { Refused, Cancels };  // refused with 0, or a request to cancel
enum class Caller { HostTimer, OtherThread };
struct Interruption {
  const char* name;
  std::function<int32_t()> call;
  Outcome outcome;
  Caller caller;
};
class MidTransfer : public Scripted, public ::testing::WithParamInterface<Interruption> {};

TEST_P(MidTransfer, IsRefusedOrCancelsWithoutHarm) {
  const Interruption& c = GetParam();
  script.announced = script.delivered = 64;
  std::atomic<bool> inRead{false}, released{false};
  script.beforeRead = [&] {
    inRead = true;
    while (!released) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  int32_t answer = -99, errorThen = -99;
  auto interrupt = [&] {
    answer = c.call();
    errorThen = TWAIN_LastErrorCode();
    released = true;
  };
  std::thread other;
  QTimer timer;  // the host's timer, served while the library waits
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!inRead || released || other.joinable()) return;
    if (c.caller == Caller::OtherThread)
      other = std::thread(interrupt);
    else
      interrupt();
  });
  timer.start(5);
  const fs::path file = env.path("PAGE.BMP");
  const int32_t rc = TWAIN_AcquireToFilename(0, file.c_str());
  if (other.joinable()) other.join();
  ASSERT_TRUE(released) << "the call was never made mid-transfer";
  if (c.outcome == Outcome::Cancels) {
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(TWAIN_GetResultCode(), kRcCancel);
    EXPECT_EQ(TWAIN_LastErrorCode(), kCancelled);
    EXPECT_FALSE(fs::exists(file));
  } else {
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(errorThen, kSequenceError);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(QImage(QString::fromStdString(file.string())).height(), 64);
  }
  EXPECT_EQ(TWAIN_State(), 1);
  // And the library takes calls again.
  EXPECT_EQ(TWAIN_OpenSource("fake:0"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, MidTransfer,
    ::testing::Values(Interruption{"UnloadSourceManager",
                                   [] { return TWAIN_UnloadSourceManager(); }, Outcome::Refused,
                                   Caller::HostTimer},
                      Interruption{"CloseSourceManager", [] { return TWAIN_CloseSourceManager(0); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"CloseSource", [] { return TWAIN_CloseSource(); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"OpenSource", [] { return TWAIN_OpenSource("fake:0"); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"Acquire", [] { return TWAIN_AcquireNative(0, 0); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"SetResolution", [] { return TWAIN_SetCurrentResolution(300); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"SetSaveFormat", [] { return TWAIN_SetSaveFormat(4); },
                                   Outcome::Refused, Caller::HostTimer},
                      Interruption{"DisableSource", [] { return TWAIN_DisableSource(); },
                                   Outcome::Cancels, Caller::HostTimer},
                      Interruption{"AbortAll", [] { return TWAIN_AbortAllPendingXfers(); },
                                   Outcome::Cancels, Caller::HostTimer},
                      Interruption{"CloseSourceFromThread", [] { return TWAIN_CloseSource(); },
                                   Outcome::Refused, Caller::OtherThread},
                      Interruption{"AbortFromThread", [] { return TWAIN_AbortAllPendingXfers(); },
                                   Outcome::Cancels, Caller::OtherThread}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
