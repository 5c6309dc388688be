// SPDX-License-Identifier: GPL-2.0-or-later
#include "metafile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <QThread>
#include <algorithm>
#include <chrono>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "emfcheck.h"
#include "imagefile_p.h"

namespace imaging {

namespace {

// What the converter child may use; past the wall-clock limit it is killed.
constexpr int kConverterMemoryMB = 512;
constexpr int kConverterCpuSeconds = 5;
constexpr std::chrono::seconds kConverterWallLimit{8};

constexpr const char* kConverterName = "sorrelby-emf2svg";
constexpr qint64 kCancelCheckMs = 100;

#ifndef SORRELBY_LIBEXEC_FROM_BIN
#define SORRELBY_LIBEXEC_FROM_BIN "../libexec/sorrelby"
#endif

// Collects the converter's output and refuses it as soon as it passes the
// size or element bounds: every element (and declaration) opens with a '<'
// not followed by '/'.
class SvgCollector {
 public:
  bool add(const char* data, qsizetype n) {
    if (svg_.size() + n > kMaxSvgBytes) return false;
    for (qsizetype i = 0; i < n; ++i) {
      if (afterOpen_ && data[i] != '/' && ++elements_ > kMaxSvgElements) return false;
      afterOpen_ = data[i] == '<';
    }
    svg_.append(data, n);
    return true;
  }
  QByteArray take() { return std::move(svg_); }

 private:
  QByteArray svg_;
  qsizetype elements_ = 0;
  bool afterOpen_ = false;
};

#ifdef Q_OS_UNIX

extern "C" char** environ;

void closeBoth(int fds[2]) {
  ::close(fds[0]);
  ::close(fds[1]);
}

// Runs the converter helper on the open file `fd` (from its start) and
// returns the SVG, or nothing when the helper fails, overruns a limit or
// cannot be started. posix_spawn, not fork: this process has threads.
QByteArray convertToSvg(int fd, const std::function<bool()>& cancelled) {
  const QByteArray helper = QFile::encodeName(emfConverterPath());
  if (helper.isEmpty() || ::lseek(fd, 0, SEEK_SET) != 0) return {};
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    closeBoth(out);
    return {};
  }
  posix_spawn_file_actions_adddup2(&actions, fd, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const QByteArray memory = QByteArray::number(kConverterMemoryMB);
  const QByteArray cpu = QByteArray::number(kConverterCpuSeconds);
  char* argv[] = {const_cast<char*>(helper.constData()), const_cast<char*>(memory.constData()),
                  const_cast<char*>(cpu.constData()), nullptr};
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, helper.constData(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    return {};
  }

  SvgCollector collector;
  bool complete = false;
  const auto deadline = std::chrono::steady_clock::now() + kConverterWallLimit;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || (cancelled && cancelled())) break;
    pollfd pfd{out[0], POLLIN, 0};
    const int ready = ::poll(&pfd, 1, int(std::min<qint64>(left.count(), kCancelCheckMs)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;
    if (ready < 0) break;
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (n == 0) {
      complete = true;
      break;
    }
    if (!collector.add(buffer, n)) break;
  }
  ::close(out[0]);
  if (!complete) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return collector.take();
}

#else

QByteArray convertToSvg(int, const std::function<bool()>&) { return {}; }

#endif

}  // namespace

QString emfConverterPath() {
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {dir + QLatin1Char('/') + QLatin1String(kConverterName),
        dir + QStringLiteral("/" SORRELBY_LIBEXEC_FROM_BIN "/") + QLatin1String(kConverterName)}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.absoluteFilePath();
  }
  return {};
}

bool looksLikeEmf(const QByteArray& bytes) {
  return emf::looksLikeEmf(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           std::size_t(bytes.size()));
}

Metafile::Metafile() = default;
Metafile::~Metafile() = default;
Metafile::Metafile(Metafile&&) noexcept = default;
Metafile& Metafile::operator=(Metafile&&) noexcept = default;

void Metafile::clear() {
  svg_.reset();
  image_ = QImage();
  imageCanvas_ = QSize();
  imageTarget_ = QRectF();
}

bool Metafile::load(const QByteArray& name, const std::function<bool()>& cancelled) {
  clear();
  QFile file;
  if (!openRegularFile(name, file) || file.size() > emf::kMaxFileBytes) return false;
  // Only the header here; the helper checks every record before converting.
  unsigned char header[emf::kMinHeaderBytes];
  if (file.read(reinterpret_cast<char*>(header), sizeof header) != qint64(sizeof header) ||
      !emf::hasEmfHeader(header, sizeof header))
    return false;
  const QByteArray svg = convertToSvg(file.handle(), cancelled);
  if (svg.isEmpty()) return false;
  auto renderer = std::make_unique<QSvgRenderer>(svg);
  if (!renderer->isValid() || renderer->defaultSize().isEmpty()) return false;
  svg_ = std::move(renderer);
  return true;
}

QSizeF Metafile::size() const { return svg_ ? QSizeF(svg_->defaultSize()) : QSizeF(); }

const QImage& Metafile::rendered(QSize canvas, const QRectF& target) {
  if (!svg_ || canvas.isEmpty()) {
    image_ = QImage();
    return image_;
  }
  if (image_.isNull() || canvas != imageCanvas_ || target != imageTarget_) {
    image_ = QImage(canvas, QImage::Format_RGB32);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    svg_->render(&painter, target);
    imageCanvas_ = canvas;
    imageTarget_ = target;
  }
  return image_;
}

void Metafile::draw(QPainter& painter, const QRectF& target) const {
  if (svg_) svg_->render(&painter, target);
}

void Metafile::moveToThread(QThread* thread) {
  if (svg_) svg_->moveToThread(thread);
}

}  // namespace imaging
