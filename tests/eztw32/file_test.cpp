// SPDX-License-Identifier: MIT
// What the library does with the names it is given: each writer against each
// kind of node that can sit at the target name, the loaders against nodes
// that are not files, the log file against a planted link, and scan areas
// that are not numbers. Runs through the wrapper against SANE's test scanner.
#include <gtest/gtest.h>
#include <quillmere/eztw32fu.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <limits>

#include "library_fixture.h"
#include "sane_env.h"

using namespace eztwtest;

namespace {

constexpr int32_t kOk = 0, kCannotCreate = -2, kWriteFailed = -4;
constexpr uid_t kNobody = 65534;
constexpr int kFileErrorCode = 14;  // the library's last error code for file errors
// Children end with _exit: the parent's exit handlers would remove its folders.
// A child that has not returned by then is stuck, however slow the machine.
constexpr unsigned kHangSeconds = 10;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
mode_t modeOf(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

class FileSafety : public LibraryTest {
 protected:
  static void SetUpTestSuite() {
    SaneEnv::configDir();
    // The log file goes to the working folder: a folder of its own.
    static SaneEnv logs;
    fs::current_path(logs.dir());
    LibraryTest::SetUpTestSuite();
  }
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    eztw32_SetIndicators(false);
    eztw32_SetSaveFormat(2);
    dib = eztw32_DIB_Allocate(24, 64, 48);
    ASSERT_NE(dib, 0);
  }
  void TearDown() override {
    eztw32_FreeNative(dib);
    LibraryTest::TearDown();
  }
  // Entries a writer may have left behind: hidden names in the folder.
  std::vector<std::string> hidden(const fs::path& dir) const {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().filename().string().front() == '.') found.push_back(e.path().filename());
    return found;
  }
  SaneEnv env;
  int32_t dib = 0;
};

// ---- writers ---------------------------------------------------------------

struct Writer {
  const char* name;
  const char* file;  // the extension chooses the format for the native writer
  bool scans;
  std::function<int32_t(int32_t dib, const std::string& path)> write;
};

// The test scanner with a small page: 75 dpi over 40 x 30 mm.
bool openSmallPage() {
  if (!eztw32_OpenSource("test:0") || eztw32_SetCurrentResolution(75) <= 0 ||
      eztw32_SetCurrentUnits(6) <= 0 || !eztw32_SetImageLayout(0, 0, 40, 30))
    return false;
  eztw32_SetCurrentUnits(0);
  return true;
}

const Writer kWriters[] = {
    {"DibBmp", "out.bmp", false,
     [](int32_t h, const std::string& p) { return eztw32_DIB_WriteToBmp(h, p); }},
    {"DibJpeg", "out.jpg", false,
     [](int32_t h, const std::string& p) { return eztw32_DIB_WriteToJpeg(h, p); }},
    {"Native", "out.jpg", false,
     [](int32_t h, const std::string& p) { return eztw32_WriteNativeToFilename(h, p); }},
    {"Acquire", "out.bmp", true,
     [](int32_t, const std::string& p) {
       if (eztw32_GetTwainState() < kSourceOpen && !openSmallPage()) return -100;
       return eztw32_AcquireToFilename(0, p);
     }},
};

void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

enum class Target {
  Private,        // a 0600 file
  ReadOnly,       // a 0444 file: refused, even for root
  ForeignOwner,   // a 0640 file of another user (when we may give files away)
  Symlink,        // a link to a 0640 file: the file is replaced, the link stays
  DanglingLink,   // a link to nothing: refused, nothing created
  HardLink,       // one of two names of a file: this name gets the new file
  Fifo,           // refused without opening it
  Directory,      // refused
  MissingFolder,  // refused
};

const char* targetName(Target t) {
  static const char* const names[] = {"Private", "ReadOnly",     "ForeignOwner",
                                      "Symlink", "DanglingLink", "HardLink",
                                      "Fifo",    "Directory",    "MissingFolder"};
  return names[static_cast<int>(t)];
}

void PrintTo(Target t, std::ostream* os) { *os << targetName(t); }

class Writers : public FileSafety,
                public ::testing::WithParamInterface<std::tuple<Writer, Target>> {};

TEST_P(Writers, TargetKinds) {
  const auto& [w, kind] = GetParam();
  const fs::path target = env.path(w.file);
  const fs::path real = env.path("real-file");  // behind a link
  const fs::path other = env.path("other-name");
  const std::string old = "old content";
  auto plant = [&](const fs::path& p, mode_t mode) {
    std::ofstream(p) << old;
    ::chmod(p.c_str(), mode);
  };
  fs::path written = target;  // where the image should end up
  fs::path named = target;    // the name handed to the writer
  mode_t keptMode = 0;
  uid_t keptOwner = ::geteuid();
  bool accepted = true;
  switch (kind) {
    case Target::Private:
      plant(target, 0600), keptMode = 0600;
      break;
    case Target::ReadOnly:
      plant(target, 0444), keptMode = 0444, accepted = false;
      break;
    case Target::ForeignOwner:
      plant(target, 0640), keptMode = 0640;
      if (::geteuid() == 0 && ::chown(target.c_str(), kNobody, kNobody) == 0) keptOwner = kNobody;
      break;
    case Target::Symlink:
      plant(real, 0640), keptMode = 0640, written = real;
      fs::create_symlink(real.filename(), target);
      break;
    case Target::DanglingLink:
      fs::create_symlink("absent-file", target), accepted = false;
      break;
    case Target::HardLink:
      plant(target, 0600), keptMode = 0600;
      fs::create_hard_link(target, other);
      break;
    case Target::Fifo:
      ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
      accepted = false;
      break;
    case Target::Directory:
      fs::create_directory(target), accepted = false;
      break;
    case Target::MissingFolder:
      named = env.path("missing") / w.file, accepted = false;
      break;
  }
  fs::remove(fs::current_path() / "eztw32.log");
  eztw32_LogFile(1);
  const int32_t rc = w.write(dib, named.string());
  eztw32_LogFile(0);
  const std::string log = slurp(fs::current_path() / "eztw32.log");

  if (accepted) {
    ASSERT_EQ(rc, kOk);
    const std::string format = identify(written, "%m");
    EXPECT_TRUE(format == "BMP" || format == "BMP3" || format == "JPEG") << format;
    EXPECT_EQ(modeOf(written), keptMode);
    struct stat st {};
    ::stat(written.c_str(), &st);
    EXPECT_EQ(st.st_uid, keptOwner);
  } else {
    EXPECT_EQ(rc, kCannotCreate);
  }
  switch (kind) {
    case Target::ReadOnly:
      EXPECT_EQ(slurp(target), old);
      EXPECT_EQ(modeOf(target), 0444);
      break;
    case Target::Symlink:
      EXPECT_TRUE(fs::is_symlink(target));
      EXPECT_EQ(fs::read_symlink(target), real.filename());
      break;
    case Target::DanglingLink:
      EXPECT_TRUE(fs::is_symlink(target));
      EXPECT_FALSE(fs::exists(env.path("absent-file")));
      break;
    case Target::HardLink:
      // The other name keeps the old file: the target was replaced, not rewritten.
      EXPECT_EQ(slurp(other), old);
      EXPECT_EQ(fs::hard_link_count(other), 1u);
      break;
    case Target::Fifo:
      EXPECT_TRUE(fs::is_fifo(target));
      break;
    case Target::Directory:
      EXPECT_TRUE(fs::is_directory(target));
      break;
    default:
      break;
  }
  EXPECT_TRUE(hidden(env.dir()).empty()) << hidden(env.dir()).front();
  if (w.scans) {
    // A refused name costs no scan; an accepted one does (the log shows it).
    EXPECT_EQ(log.find("sane_start") != std::string::npos, accepted) << log;
    if (!accepted) {
      EXPECT_EQ(eztw32_LastErrorCode(), kFileErrorCode);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, Writers,
    ::testing::Combine(::testing::ValuesIn(kWriters),
                       ::testing::Values(Target::Private, Target::ReadOnly, Target::ForeignOwner,
                                         Target::Symlink, Target::DanglingLink, Target::HardLink,
                                         Target::Fifo, Target::Directory, Target::MissingFolder)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + targetName(std::get<1>(info.param));
    });

class FullDisk : public FileSafety, public ::testing::WithParamInterface<Writer> {};

// A file system that takes only a few hundred bytes: the write fails with -4,
// and when the process is killed for it instead, nothing is left either. The
// existing file is untouched in both cases.
TEST_P(FullDisk, FailedWriteKeepsTheOldFileAndLeavesNothing) {
  const Writer& w = GetParam();
  const fs::path target = env.path(w.file);
  std::ofstream(target) << "old content";
  const int32_t h = dib;
  const auto writeLimited = [&](bool ignoreSignal) {
    // The scanner driver runs in a process of its own that shares page data
    // through a memory file: it is started before the limit is set.
    if (w.scans && !openSmallPage()) ::_exit(100);
    if (ignoreSignal) std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = {256, 256};
    ::setrlimit(RLIMIT_FSIZE, &small);
    ::alarm(kHangSeconds);
    ::_exit(-w.write(h, target.string()));
  };
  EXPECT_EXIT(writeLimited(true), ::testing::ExitedWithCode(-kWriteFailed), "");
  EXPECT_EQ(slurp(target), "old content");
  EXPECT_TRUE(hidden(env.dir()).empty()) << hidden(env.dir()).front();
  EXPECT_EXIT(writeLimited(false), ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(slurp(target), "old content");
  EXPECT_TRUE(hidden(env.dir()).empty()) << hidden(env.dir()).front();
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

// Root passes every permission check, so this runs as another user: a file of
// root's in a folder anybody may write is still not ours to replace.
TEST_F(FileSafety, FileTheUserMayNotWriteIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
  const fs::path target = env.path("roots.bmp");
  std::ofstream(target) << "root's";
  ::chmod(target.c_str(), 0644);
  ::chmod(env.dir().c_str(), 0777);
  const int32_t h = dib;
  EXPECT_EXIT(
      {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(100);
        ::_exit(-eztw32_DIB_WriteToBmp(h, target.string()));
      },
      ::testing::ExitedWithCode(-kCannotCreate), "");
  EXPECT_EQ(slurp(target), "root's");
}

// ---- loaders -----------------------------------------------------------------

// A FIFO with no writer and an endless device: each loader says no at once
// instead of waiting for data that never comes.
TEST_F(FileSafety, LoadersRefuseFifosAndDevicesWithoutWaiting) {
  const fs::path fifo = env.path("pipe.bmp");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::function<int32_t(const std::string&)> loaders[] = {
      [](const std::string& p) { return eztw32_DIB_LoadFromFilename(p); },
      [](const std::string& p) { return eztw32_LoadNativeFromFilename(p); }};
  for (const auto& load : loaders)
    for (const std::string& node : {fifo.string(), std::string("/dev/zero"), env.dir().string()}) {
      EXPECT_EXIT(
          {
            ::alarm(kHangSeconds);
            ::_exit(load(node) == 0 ? 0 : 1);
          },
          ::testing::ExitedWithCode(0), "")
          << node;
    }
}

// ---- log file --------------------------------------------------------------

TEST_F(FileSafety, LogFileIsPrivateAndNeverFollowsALink) {
  const fs::path log = fs::current_path() / "eztw32.log";
  const fs::path victim = env.path("victim.txt");
  std::ofstream(victim) << "keep";
  fs::remove(log);
  fs::create_symlink(victim, log);
  eztw32_LogFile(1);
  eztw32_GetTwainState();
  eztw32_LogFile(0);
  EXPECT_EQ(slurp(victim), "keep");
  fs::remove(log);
  eztw32_LogFile(1);
  eztw32_GetTwainState();
  eztw32_LogFile(0);
  ASSERT_TRUE(fs::is_regular_file(log));
  EXPECT_EQ(modeOf(log), 0600);
  EXPECT_NE(slurp(log).find("log opened"), std::string::npos) << slurp(log);
}

// ---- scan area ---------------------------------------------------------------

TEST_F(FileSafety, LayoutEdgesMustBeNumbers) {
  ASSERT_TRUE(eztw32_OpenSource("test:0"));
  ASSERT_TRUE(eztw32_SetImageLayout(0.5, 0.5, 2, 3));
  double before[4], after[4];
  ASSERT_TRUE(eztw32_GetImageLayout(&before[0], &before[1], &before[2], &before[3]));
  const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (const double b : bad)
    for (int edge = 0; edge < 4; ++edge) {
      double e[4] = {0.25, 0.25, 1.5, 1.5};
      e[edge] = b;
      EXPECT_FALSE(eztw32_SetImageLayout(e[0], e[1], e[2], e[3])) << b << " at " << edge;
    }
  ASSERT_TRUE(eztw32_GetImageLayout(&after[0], &after[1], &after[2], &after[3]));
  for (int edge = 0; edge < 4; ++edge) EXPECT_EQ(after[edge], before[edge]) << edge;
}

}  // namespace
