#include "metafile.h"

#include <emf2svg.h>

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "imagefile_p.h"

namespace imaging {

namespace {

// Reads by bytes from a plain pointer: the QByteArray may be the shared
// empty one, which some compilers then take for a one-byte array.
quint32 u32At(const uchar* data, qsizetype offset) {
  const uchar* p = data + offset;
  return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

constexpr quint32 kEmrHeader = 1;
constexpr quint32 kEmrEof = 14;
constexpr quint32 kEmfSignature = 0x464D4520;  // " EMF"
constexpr qsizetype kMinHeaderBytes = 88;
constexpr qsizetype kMaxSvgBytes = 256LL * 1024 * 1024;
constexpr std::chrono::seconds kConvertTimeLimit{5};

// Runs the converter on `emf`; an empty result when it fails.
QByteArray convertInProcess(QByteArray emf) {
  generatorOptions options{};
  char nameSpace[] = "";
  options.nameSpace = nameSpace;
  options.emfplus = true;
  options.svgDelimiter = true;
  char* out = nullptr;
  size_t outLength = 0;
  const int ok = emf2svg(emf.data(), size_t(emf.size()), &out, &outLength, &options);
  QByteArray svg;
  if (ok && out && outLength <= size_t(kMaxSvgBytes)) svg = QByteArray(out, qsizetype(outLength));
  std::free(out);
  return svg;
}

#ifdef Q_OS_UNIX

// The converter has not been written for hostile input. It runs in a child
// process, so that a crash or an endless loop in it costs only that file:
// the child writes the SVG into a pipe, and the parent gives it a few
// seconds and a size limit.
QByteArray convertToSvg(QByteArray emf) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {};
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return {};
  }
  if (pid == 0) {
    ::close(fds[0]);
    const QByteArray svg = convertInProcess(std::move(emf));
    const char* p = svg.constData();
    qsizetype left = svg.size();
    while (left > 0) {
      const ssize_t n = ::write(fds[1], p, size_t(left));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ::_exit(2);
      p += n;
      left -= n;
    }
    ::_exit(svg.isEmpty() ? 1 : 0);
  }
  ::close(fds[1]);
  QByteArray svg;
  bool complete = false;
  const auto deadline = std::chrono::steady_clock::now() + kConvertTimeLimit;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd pfd{fds[0], POLLIN, 0};
    const int ready = ::poll(&pfd, 1, int(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (n == 0) {
      complete = true;
      break;
    }
    if (svg.size() + n > kMaxSvgBytes) break;
    svg.append(buffer, n);
  }
  ::close(fds[0]);
  if (!complete) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return svg;
}

#else

QByteArray convertToSvg(QByteArray emf) { return convertInProcess(std::move(emf)); }

#endif

}  // namespace

bool looksLikeEmf(const QByteArray& bytes) {
  if (bytes.size() < kMinHeaderBytes) return false;
  const uchar* data = reinterpret_cast<const uchar*>(bytes.constData());
  const qsizetype length = bytes.size();
  if (u32At(data, 0) != kEmrHeader || u32At(data, 40) != kEmfSignature) return false;
  const quint32 headerSize = u32At(data, 4);
  if (headerSize < kMinHeaderBytes || headerSize > quint32(length)) return false;
  // The description (UTF-16) must lie inside the header record.
  const quint32 descriptionChars = u32At(data, 60);
  const quint32 descriptionOffset = u32At(data, 64);
  if (descriptionChars != 0 &&
      (descriptionOffset < kMinHeaderBytes || descriptionOffset > headerSize ||
       descriptionChars > (headerSize - descriptionOffset) / 2))
    return false;
  // Walk the records: each must be a positive multiple of 4 long and end
  // inside the data; the last must be the end-of-file record.
  qsizetype offset = 0;
  quint32 type = 0;
  while (offset + 8 <= length) {
    type = u32At(data, offset);
    const quint32 size = u32At(data, offset + 4);
    if (size < 8 || size % 4 != 0 || size > quint32(length - offset)) return false;
    offset += size;
    if (type == kEmrEof) break;
  }
  return type == kEmrEof;
}

Metafile::Metafile() = default;
Metafile::~Metafile() = default;

void Metafile::clear() { svg_.reset(); }

bool Metafile::load(const QByteArray& name) {
  clear();
  QFile file;
  if (!openRegularFile(name, file) || file.size() > kMaxMetafileBytes) return false;
  QByteArray data = file.readAll();
  if (!looksLikeEmf(data)) return false;
  // Without a description its offset means nothing, but the converter would
  // read a text from there up to a terminator that may never come.
  if (u32At(reinterpret_cast<const uchar*>(data.constData()), 60) == 0)
    std::fill_n(data.data() + 64, 4, '\0');

  const QByteArray svg = convertToSvg(std::move(data));
  if (svg.isEmpty()) return false;

  auto renderer = std::make_unique<QSvgRenderer>(svg);
  if (!renderer->isValid() || renderer->defaultSize().isEmpty()) return false;
  svg_ = std::move(renderer);
  return true;
}

QSizeF Metafile::size() const { return svg_ ? QSizeF(svg_->defaultSize()) : QSizeF(); }

void Metafile::draw(QPainter& painter, const QRectF& target) const {
  if (svg_) svg_->render(&painter, target);
}

}  // namespace imaging
