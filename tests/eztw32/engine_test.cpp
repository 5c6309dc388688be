// SPDX-License-Identifier: MIT
// SANE in the engine process: backends that crash or hang (a SANE backend
// built to misbehave, loaded by SANE's dll backend) end with a clear failure
// while the host keeps running and scans again from the real test device;
// the engine ends with its host; the distribution's SANE configuration works.
#include <gtest/gtest.h>
#include <quillmere/eztw32fu.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "library_fixture.h"
#include "sane_env.h"

extern char** environ;

using namespace eztwtest;
using namespace std::chrono_literals;

namespace {

constexpr int kErrCancelled = 1;
constexpr int kErrDriverStopped = 17;
constexpr int kRcFailure = 1, kRcCancel = 3;

class Engine : public LibraryTest {
 protected:
  // These tests make the driver fail on purpose: its messages are expected.
  static void SetUpTestSuite() {
    LibraryTest::SetUpTestSuite();
    quillmere::setMessageSink([](const std::string&, const std::string&) {});
  }
  void TearDown() override {
    LibraryTest::TearDown();
    for (const char* v : {"EZTW32_TRANSFER_TIMEOUT", "EZTW32_OPEN_TIMEOUT"}) ::unsetenv(v);
  }
  void expectNoFiles() {
    for (const auto& e : fs::directory_iterator(env.dir()))
      EXPECT_FALSE(e.is_regular_file()) << "left behind: " << e.path();
  }
  // The host recovered: the real test device scans into a file, pixel for
  // pixel as scanimage sees it.
  void expectTestScannerWorks() {
    ASSERT_TRUE(eztw32_OpenSource("test:0")) << "last error " << eztw32_LastErrorCode();
    ASSERT_GT(eztw32_SetCurrentPixelType(2), 0);
    ASSERT_GT(eztw32_SetCurrentResolution(75), 0);
    eztw32_SetSaveFormat(2);
    const fs::path ours = env.path("after.bmp");
    EXPECT_EQ(eztw32_AcquireToFilename(0, ours.string()), 0) << eztw32_LastErrorCode();
    EXPECT_TRUE(eztw32_CloseSource());
    const fs::path peer = env.path("peer.pnm");
    ASSERT_EQ(run("scanimage -d test:0 --mode Color --depth 8 --resolution 75 --format=pnm -o '" +
                  peer.string() + "'")
                  .first,
              0);
    EXPECT_EQ(differingPixels(ours, peer), 0);
  }
  SaneEnv env;
};

struct Fault {
  const char* name;
  const char* device;
  const char* variable;  // a deadline shortened for the test, or null
};
class Faults : public Engine, public ::testing::WithParamInterface<Fault> {};

TEST_P(Faults, TransferFailsClearlyAndTheHostScansAgain) {
  const Fault& f = GetParam();
  if (f.variable) ::setenv(f.variable, "1", 1);
  ASSERT_TRUE(eztw32_OpenSource(f.device)) << "last error " << eztw32_LastErrorCode();
  eztw32_SetSaveFormat(2);
  EXPECT_EQ(eztw32_AcquireToFilename(0, env.path("MYTEST.BMP").string()), -1);
  EXPECT_EQ(eztw32_LastErrorCode(), kErrDriverStopped);
  EXPECT_EQ(eztw32_GetResultCode(), kRcFailure);
  // The source went with the driver; the source manager stays open.
  EXPECT_EQ(eztw32_GetTwainState(), 3);
  EXPECT_FALSE(eztw32_CloseSource());
  expectNoFiles();
  // A one-call acquisition from state 1 fails the same way and leaves no DIB.
  EXPECT_TRUE(eztw32_UnloadSourceManager());
  eztw32_ClearError();
  ASSERT_TRUE(eztw32_OpenSource(f.device));
  EXPECT_EQ(eztw32_AcquireNative(0, 0), 0);
  EXPECT_EQ(eztw32_LastErrorCode(), kErrDriverStopped);
  if (f.variable) ::unsetenv(f.variable);
  expectTestScannerWorks();
}

INSTANTIATE_TEST_SUITE_P(FaultyBackend, Faults,
                         ::testing::Values(Fault{"SegfaultInRead", "faulty:segv-read", nullptr},
                                           Fault{"ReadNeverReturns", "faulty:hang-read",
                                                 "EZTW32_TRANSFER_TIMEOUT"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Engine, OpenThatHangsFailsAtItsDeadline) {
  ::setenv("EZTW32_OPEN_TIMEOUT", "1", 1);
  EXPECT_FALSE(eztw32_OpenSource("faulty:hang-open"));
  EXPECT_EQ(eztw32_LastErrorCode(), kErrDriverStopped);
  EXPECT_EQ(eztw32_GetTwainState(), 3);
  ::unsetenv("EZTW32_OPEN_TIMEOUT");
  expectTestScannerWorks();
}

// SANE's thread helper ends a backend's reader thread with an asynchronous
// cancel at each frame's last bytes; one that catches the thread holding a
// lock (inside free(), in SANE) must not stall the frame: every page arrives.
TEST_F(Engine, ReaderThreadCancelledAtTheFrameEndHoldingALock) {
  ::setenv("EZTW32_TRANSFER_TIMEOUT", "10", 1);
  ASSERT_TRUE(eztw32_OpenSource("faulty:thread-reader")) << "last error " << eztw32_LastErrorCode();
  for (int page = 1; page <= 2; ++page) {
    const int32_t h = eztw32_AcquireNative(0, 0);
    ASSERT_NE(h, 0) << "page " << page << ", last error " << eztw32_LastErrorCode();
    EXPECT_EQ(eztw32_DIB_Width(h), 64);
    EXPECT_EQ(eztw32_DIB_Height(h), 8);
    EXPECT_EQ(eztw32_FreeNative(h), 1);
  }
  EXPECT_TRUE(eztw32_CloseSource());
}

// Cancel from the progress window ends the transfer as cancelled although
// the backend ignores sane_cancel, long before the transfer deadline.
class Cancel : public Engine, public ::testing::WithParamInterface<const char*> {};

TEST_P(Cancel, FromTheProgressWindowEndsTheTransfer) {
  ::setenv("EZTW32_TRANSFER_TIMEOUT", "120", 1);
  ASSERT_TRUE(eztw32_OpenSource(GetParam()));
  eztw32_SetSaveFormat(2);
  QTimer clicker;
  bool clicked = false;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible() && !clicked)
        if (auto* b = p->findChild<QPushButton*>()) {
          clicked = true;
          b->click();
        }
  });
  clicker.start(50);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(eztw32_AcquireToFilename(0, env.path("MYTEST.BMP").string()), -1);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(clicked);
  EXPECT_EQ(eztw32_LastErrorCode(), kErrCancelled);
  EXPECT_EQ(eztw32_GetResultCode(), kRcCancel);
  EXPECT_LT(took, 30s) << "ended by the transfer deadline, not by the cancel";
  clicker.stop();
  if (eztw32_GetTwainState() == 4) eztw32_CloseSource();
  expectNoFiles();
  expectTestScannerWorks();
}

INSTANTIATE_TEST_SUITE_P(FaultyBackend, Cancel,
                         ::testing::Values("faulty:hang-read", "faulty:ignore-cancel"),
                         [](const auto& info) {
                           return std::string(info.param).substr(7) == "hang-read"
                                      ? std::string("ReadNeverReturns")
                                      : std::string("CancelIgnored");
                         });

// Whether a process has ended (gone, or a zombie nobody reaped yet).
bool ended(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return true;
  return line.substr(line.rfind(')') + 2, 1) == "Z";
}

class EndsWithHost : public ::testing::TestWithParam<const char*> {};

TEST_P(EndsWithHost, EngineEndsWhenItsHostIsKilled) {
  SaneEnv env;
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string mode = GetParam();
  char* argv[] = {const_cast<char*>(ENGINE_HOST), const_cast<char*>(mode.c_str()), nullptr};
  pid_t host = 0;
  ASSERT_EQ(::posix_spawn(&host, ENGINE_HOST, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  char line[32] = {};
  std::FILE* in = ::fdopen(out[0], "r");
  ASSERT_NE(std::fgets(line, sizeof line, in), nullptr);
  std::fclose(in);
  const long engine = std::atol(line);
  ASSERT_GT(engine, 0) << "the host found no engine";
  ASSERT_FALSE(ended(engine));
  ::kill(host, SIGKILL);
  ::waitpid(host, nullptr, 0);
  const auto start = std::chrono::steady_clock::now();
  while (!ended(engine) && std::chrono::steady_clock::now() - start < 10s)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(ended(engine)) << "engine " << engine << " outlived its host";
  std::printf("engine ended %.3f s after its host\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The engine's death signal follows the thread that started it; from a
// thread that ended since, the engine notices the vanished host by itself,
// also while a backend holds it inside a call that never returns.
INSTANTIATE_TEST_SUITE_P(Host, EndsWithHost, ::testing::Values("main", "thread", "hung"));

// What users have: the distribution's SANE configuration (dozens of
// backends) with the test backend enabled besides.
TEST_F(Engine, DistributionConfiguration) {
  if (!fs::exists("/etc/sane.d/dll.conf")) GTEST_SKIP() << "no /etc/sane.d here";
  const fs::path conf = env.path("sane.d");
  fs::copy("/etc/sane.d", conf, fs::copy_options::recursive);
  std::ofstream(conf / "dll.conf", std::ios::app) << "\ntest\n";
  const std::string saved = std::getenv("SANE_CONFIG_DIR");
  ::setenv("SANE_CONFIG_DIR", conf.c_str(), 1);
  // Discovery runs every enabled backend's probe in the engine.
  ASSERT_TRUE(eztw32_GetSourceList());
  EXPECT_TRUE(eztw32_GetNextSourceName());
  expectTestScannerWorks();
  eztw32_UnloadSourceManager();
  ::setenv("SANE_CONFIG_DIR", saved.c_str(), 1);
  fs::remove_all(conf);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // The test backend and the misbehaving one, found by SANE's dll backend
  // in the engine through these two variables.
  std::ofstream(SaneEnv::configDir() / "sane" / "dll.conf") << "test\nfaulty\n";
  std::string path = FAULTY_BACKEND_DIR;
  if (const char* old = std::getenv("LD_LIBRARY_PATH"); old && *old) path += std::string(":") + old;
  ::setenv("LD_LIBRARY_PATH", path.c_str(), 1);
  return RUN_ALL_TESTS();
}
