// SPDX-License-Identifier: GPL-2.0-or-later
#include <png.h>

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>

#include "streaming_p.h"

namespace imaging {

// ---- area averaging ------------------------------------------------------------

std::vector<AreaReducer::Share> AreaReducer::shares(int source, int target) {
  // Source pixel i spans [i, i + 1), which is [i * s, (i + 1) * s) in target
  // pixels with s <= 1, so it touches at most two of them.
  std::vector<Share> out(size_t(std::max(source, 0)));
  const double s = double(target) / source;
  for (int i = 0; i < source; ++i) {
    const double from = i * s;
    const double to = (i + 1) * s;
    const int first = std::min(int(from), target - 1);
    const double edge = first + 1;
    if (to > edge && first + 1 < target)
      out[size_t(i)] = {first, float(edge - from), float(to - edge)};
    else
      out[size_t(i)] = {first, float(std::min(to, double(target)) - from), 0.f};
  }
  return out;
}

AreaReducer::AreaReducer(QSize source, QSize target)
    : target_(target),
      columns_(shares(source.width(), target.width())),
      rows_(shares(source.height(), target.height())),
      sums_(size_t(target.width()) * size_t(target.height()) * 4, 0.f),
      row_(size_t(target.width()) * 4, 0.f) {}

template <int R, int G, int B, int A, int Step>
void AreaReducer::reduceAcross(const uchar* pixels, int x0, int dx, int count) {
  const size_t columns = columns_.size();
  const uchar* p = pixels;
  for (int k = 0; k < count; ++k, p += Step) {
    const size_t x = size_t(x0 + k * dx);
    if (x >= columns) break;
    float b = p[B], g = p[G], r = p[R], a = 255.f;
    if constexpr (A >= 0) {
      if (p[A] != 255) {
        opaque_ = false;
        a = p[A];
        const float f = a / 255.f;
        b *= f;
        g *= f;
        r *= f;
      }
    }
    const Share& c = columns_[x];
    float* t = &row_[size_t(c.first) * 4];
    t[0] += b * c.weight0;
    t[1] += g * c.weight0;
    t[2] += r * c.weight0;
    t[3] += a * c.weight0;
    if (c.weight1 != 0.f) {
      t[4] += b * c.weight1;
      t[5] += g * c.weight1;
      t[6] += r * c.weight1;
      t[7] += a * c.weight1;
    }
  }
}

void AreaReducer::add(int y, const uchar* pixels, Layout layout, int x0, int dx, int count) {
  if (y < 0 || size_t(y) >= rows_.size()) return;
  std::fill(row_.begin(), row_.end(), 0.f);
  switch (layout) {
    case Layout::Rgb:
      reduceAcross<0, 1, 2, -1, 3>(pixels, x0, dx, count);
      break;
    case Layout::Rgba:
      reduceAcross<0, 1, 2, 3, 4>(pixels, x0, dx, count);
      break;
    case Layout::Bgra:
      reduceAcross<2, 1, 0, 3, 4>(pixels, x0, dx, count);
      break;
  }
  addRowDown(y);
}

void AreaReducer::addRgbValues(int y, const QRgb* pixels, int x0, int dx, int count) {
  std::vector<uchar> bytes(size_t(count) * 4);
  for (int k = 0; k < count; ++k) {
    bytes[size_t(k) * 4] = uchar(qRed(pixels[k]));
    bytes[size_t(k) * 4 + 1] = uchar(qGreen(pixels[k]));
    bytes[size_t(k) * 4 + 2] = uchar(qBlue(pixels[k]));
    bytes[size_t(k) * 4 + 3] = uchar(qAlpha(pixels[k]));
  }
  add(y, bytes.data(), Layout::Rgba, x0, dx, count);
}

void AreaReducer::addRowDown(int y) {
  const Share& r = rows_[size_t(y)];
  const size_t stride = row_.size();
  float* first = &sums_[size_t(r.first) * stride];
  for (size_t i = 0; i < stride; ++i) first[i] += row_[i] * r.weight0;
  if (r.weight1 != 0.f) {
    float* second = first + stride;
    for (size_t i = 0; i < stride; ++i) second[i] += row_[i] * r.weight1;
  }
}

QImage AreaReducer::result() const {
  QImage image(target_, opaque_ ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  const auto level = [](float v) { return int(std::clamp(std::lround(v), 0L, 255L)); };
  for (int y = 0; y < target_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const float* s = &sums_[size_t(y) * size_t(target_.width()) * 4];
    for (int x = 0; x < target_.width(); ++x, s += 4) {
      const int a = opaque_ ? 255 : level(s[3]);
      line[x] =
          qRgba(std::min(level(s[2]), a), std::min(level(s[1]), a), std::min(level(s[0]), a), a);
    }
  }
  return image;
}

// ---- PNG -----------------------------------------------------------------------

namespace {

struct PngInput {
  QIODevice* device;
};

void readFromDevice(png_structp png, png_bytep out, size_t length) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (input->device->read(reinterpret_cast<char*>(out), qint64(length)) != qint64(length))
    png_error(png, "file ends early");
}

// Failures are results here, not messages: the load just fails.
void quietWarning(png_structp, png_const_charp) {}
[[noreturn]] void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// What crosses the setjmp boundary: only plain data and objects owned by the
// caller, so that libpng's longjmp on an error skips no destructor.
struct PngJob {
  QSize target;
  const Cancelled* cancelled;
  std::vector<uchar>* row;
  std::vector<AreaReducer>* holder;  // gets the reducer once the size is known
  bool finished = false;
};

void runPng(png_structp png, png_infop info, PngJob* job) {
  if (setjmp(png_jmpbuf(png))) return;
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || job->target.width() > int(width) ||
      job->target.height() > int(height))
    return;
  // Every kind becomes 8-bit RGB or RGBA. A damaged checksum costs a wrong
  // pixel at worst, so the checksums are not worked out.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
  png_read_update_info(png, info);
  const int channels = png_get_channels(png, info);
  if ((channels != 3 && channels != 4) || png_get_rowbytes(png, info) != size_t(width) * channels)
    return;
  const AreaReducer::Layout layout =
      channels == 4 ? AreaReducer::Layout::Rgba : AreaReducer::Layout::Rgb;
  job->row->resize(size_t(width) * 4);
  job->holder->emplace_back(QSize(int(width), int(height)), job->target);
  AreaReducer& reducer = job->holder->back();
  png_bytep row = job->row->data();
  // Without interlace handling libpng hands out each pass as a small image
  // of its own; every pixel still comes exactly once.
  const int passes = interlaced ? PNG_INTERLACE_ADAM7_PASSES : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const png_uint_32 cols = interlaced ? PNG_PASS_COLS(width, pass) : width;
    const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
    if (cols == 0 || rows == 0) continue;
    const int x0 = interlaced ? int(PNG_PASS_START_COL(pass)) : 0;
    const int dx = interlaced ? 1 << PNG_PASS_COL_SHIFT(pass) : 1;
    for (png_uint_32 i = 0; i < rows; ++i) {
      if (*job->cancelled && (*job->cancelled)()) return;
      png_read_row(png, row, nullptr);
      const int y = interlaced ? int(PNG_ROW_FROM_PASS_ROW(i, pass)) : int(i);
      reducer.add(y, row, layout, x0, dx, int(cols));
    }
  }
  job->finished = true;
}

}  // namespace

QImage readPngReduced(QIODevice& device, QSize target, const Cancelled& cancelled) {
  if (target.isEmpty()) return {};
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return {};
  }
  PngInput input{&device};
  png_set_read_fn(png, &input, readFromDevice);
  std::vector<uchar> row;
  std::vector<AreaReducer> holder;
  PngJob job{target, &cancelled, &row, &holder};
  runPng(png, info, &job);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!job.finished || holder.empty()) return {};
  return holder.back().result();
}

// ---- BMP -----------------------------------------------------------------------

namespace {

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitfields = 3;
constexpr quint32 kBiAlphaBitfields = 6;
constexpr int kFileHeaderBytes = 14;
constexpr int kCoreHeaderBytes = 12;
constexpr int kInfoHeaderBytes = 40;
constexpr int kMaxSide = 1'000'000;

struct BmpLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  qint64 pixelOffset = 0;
  qint64 stride = 0;
  std::vector<QRgb> palette;
  quint32 masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};

quint32 le32(const uchar* p) { return qFromLittleEndian<quint32>(p); }
quint16 le16(const uchar* p) { return qFromLittleEndian<quint16>(p); }

// Reads and checks the headers; false for anything not streamed here, and
// for offsets or sizes that do not fit the file.
bool readLayout(QIODevice& device, BmpLayout& out) {
  if (!device.seek(0)) return false;
  const QByteArray head = device.read(kFileHeaderBytes + 124);
  const auto* p = reinterpret_cast<const uchar*>(head.constData());
  if (head.size() < kFileHeaderBytes + kCoreHeaderBytes || p[0] != 'B' || p[1] != 'M') return false;
  out.pixelOffset = le32(p + 10);
  const quint32 headerSize = le32(p + 14);
  const uchar* h = p + kFileHeaderBytes;
  quint32 compression = kBiRgb;
  quint32 colours = 0;
  int entryBytes = 4;
  if (headerSize == kCoreHeaderBytes) {
    out.width = le16(h + 4);
    out.height = qint16(le16(h + 6));
    out.bits = le16(h + 10);
    entryBytes = 3;
  } else if (headerSize >= kInfoHeaderBytes && headerSize <= 124 &&
             head.size() >= kFileHeaderBytes + qsizetype(headerSize)) {
    out.width = qint32(le32(h + 4));
    out.height = qint32(le32(h + 8));
    out.bits = le16(h + 14);
    compression = le32(h + 16);
    colours = le32(h + 32);
  } else {
    return false;
  }
  if (le16(h + (headerSize == kCoreHeaderBytes ? 8 : 12)) != 1) return false;  // planes
  if (out.height < 0) {
    if (out.height == std::numeric_limits<qint32>::min()) return false;
    out.topDown = true;
    out.height = -out.height;
  }
  // Rows wider or taller than libpng's own limit are left to Qt, whose
  // allocation limit then decides.
  if (out.width <= 0 || out.height <= 0 || out.width > kMaxSide || out.height > kMaxSide)
    return false;
  qint64 tableAt = kFileHeaderBytes + headerSize;
  if (compression == kBiRgb) {
    switch (out.bits) {
      case 16:
        out.masks[0] = 0x7C00, out.masks[1] = 0x03E0, out.masks[2] = 0x001F;
        break;
      case 24:
        out.masks[0] = 0xFF0000, out.masks[1] = 0xFF00, out.masks[2] = 0xFF;
        break;
      case 32:
        // Newer headers may give such pixels an alpha channel: left to Qt.
        if (headerSize > kInfoHeaderBytes) return false;
        out.masks[0] = 0xFF0000, out.masks[1] = 0xFF00, out.masks[2] = 0xFF;
        break;
      case 1:
      case 4:
      case 8:
        break;
      default:
        return false;
    }
  } else if ((compression == kBiBitfields || compression == kBiAlphaBitfields) &&
             (out.bits == 16 || out.bits == 32)) {
    const int maskCount = compression == kBiAlphaBitfields ? 4 : 3;
    // In a plain info header the masks follow it; larger headers hold them.
    QByteArray masks;
    if (headerSize == kInfoHeaderBytes) {
      if (!device.seek(tableAt)) return false;
      masks = device.read(4 * maskCount);
      tableAt += 4 * maskCount;
    } else {
      masks = head.mid(kFileHeaderBytes + kInfoHeaderBytes, 4 * maskCount);
      if (headerSize >= 56 && maskCount == 3) masks += head.mid(kFileHeaderBytes + 52, 4);
    }
    if (masks.size() < 4 * maskCount) return false;
    for (int i = 0; i < masks.size() / 4 && i < 4; ++i)
      out.masks[i] = le32(reinterpret_cast<const uchar*>(masks.constData()) + 4 * i);
    for (int i = 0; i < 3; ++i)
      if (out.masks[i] == 0) return false;
  } else {
    return false;
  }
  if (out.bits <= 8) {
    const quint32 maxColours = 1u << out.bits;
    const quint32 count = colours == 0 || colours > maxColours ? maxColours : colours;
    if (!device.seek(tableAt)) return false;
    const QByteArray table = device.read(qint64(count) * entryBytes);
    if (table.size() != qsizetype(count) * entryBytes) return false;
    out.palette.assign(maxColours, qRgb(0, 0, 0));
    for (quint32 i = 0; i < count; ++i) {
      const auto* e = reinterpret_cast<const uchar*>(table.constData()) + i * entryBytes;
      out.palette[i] = qRgb(e[2], e[1], e[0]);
    }
    tableAt += qint64(count) * entryBytes;
  }
  // The pixels start after the headers and the table and end in the file.
  out.stride = (qint64(out.width) * out.bits + 31) / 32 * 4;
  return out.pixelOffset >= tableAt && out.pixelOffset + out.stride * out.height <= device.size();
}

// A mask's value scaled to 0..255.
struct Channel {
  quint32 mask;
  int shift;
  quint32 max;
  explicit Channel(quint32 m) : mask(m), shift(0), max(0) {
    if (m == 0) return;
    while (!((m >> shift) & 1)) ++shift;
    max = m >> shift;
  }
  int operator()(quint32 v) const {
    return max == 0 ? 255 : int((quint64((v & mask) >> shift) * 255 + max / 2) / max);
  }
};

}  // namespace

QSize streamableBmpSize(QIODevice& device) {
  // Left where it was: a reader may have read the headers already.
  const qint64 at = device.pos();
  BmpLayout layout;
  const bool ok = readLayout(device, layout);
  device.seek(at);
  return ok ? QSize(layout.width, layout.height) : QSize();
}

QImage readBmpReduced(QIODevice& device, QSize target, const Cancelled& cancelled) {
  BmpLayout layout;
  if (target.isEmpty() || !readLayout(device, layout) || target.width() > layout.width ||
      target.height() > layout.height || !device.seek(layout.pixelOffset))
    return {};
  AreaReducer reducer(QSize(layout.width, layout.height), target);
  std::vector<uchar> raw(size_t(layout.stride));
  std::vector<QRgb> row(size_t(layout.width));
  const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]),
      alpha(layout.masks[3]);
  // 32-bit pixels without an alpha mask are opaque, as Qt reads them.
  const bool hasAlpha = layout.masks[3] != 0;
  for (int i = 0; i < layout.height; ++i) {
    if (cancelled && cancelled()) return {};
    if (device.read(reinterpret_cast<char*>(raw.data()), layout.stride) != layout.stride) return {};
    const uchar* s = raw.data();
    switch (layout.bits) {
      case 1:
      case 4:
      case 8: {
        const int bits = layout.bits;
        const int perByte = 8 / bits;
        const int valueMask = (1 << bits) - 1;
        for (int x = 0; x < layout.width; ++x) {
          const int shift = 8 - bits * (x % perByte + 1);
          row[size_t(x)] = layout.palette[size_t((s[x / perByte] >> shift) & valueMask)];
        }
        break;
      }
      case 24:
        for (int x = 0; x < layout.width; ++x, s += 3) row[size_t(x)] = qRgb(s[2], s[1], s[0]);
        break;
      case 16:
      case 32:
        for (int x = 0; x < layout.width; ++x) {
          const quint32 v = layout.bits == 16 ? le16(s + 2 * x) : le32(s + 4 * x);
          row[size_t(x)] = qRgba(red(v), green(v), blue(v), hasAlpha ? alpha(v) : 255);
        }
        break;
    }
    const int y = layout.topDown ? i : layout.height - 1 - i;
    reducer.add(y, row.data(), 0, 1, layout.width);
  }
  return reducer.result();
}

}  // namespace imaging
