// SPDX-License-Identifier: GPL-2.0-or-later
#include "bitmap.h"

#include <QFile>
#include <QImageReader>
#include <QList>
#include <algorithm>

#include "imagefile_p.h"
#include "streaming_p.h"

namespace imaging {

namespace {

bool isBitmapFormat(const QByteArray& format) {
  return format == "bmp" || format == "gif" || format == "jpeg" || format == "png";
}

bool covers(QSize have, QSize fit) {
  return have.width() >= fit.width() && have.height() >= fit.height();
}

bool readBytes(QIODevice& device, uchar* out, qint64 n) {
  return device.read(reinterpret_cast<char*>(out), n) == n;
}

int u16At(const uchar* p) { return p[0] << 8 | p[1]; }

// JPEG markers that matter for the frame's memory.
constexpr uchar kSoi = 0xD8;
constexpr uchar kSos = 0xDA;
constexpr uchar kEoi = 0xD9;
bool isStartOfFrame(uchar m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}
bool isProgressive(uchar m) { return m == 0xC2 || m == 0xC6 || m == 0xCA || m == 0xCE; }

}  // namespace

qint64 jpegCoefficientBytes(QIODevice& jpeg) {
  uchar head[2];
  if (!readBytes(jpeg, head, 2) || head[0] != 0xFF || head[1] != kSoi) return -1;
  struct Component {
    int h, v;
  };
  QList<Component> components;
  int width = 0, height = 0;
  bool progressive = false;
  for (;;) {
    uchar marker[2];
    if (!readBytes(jpeg, marker, 2) || marker[0] != 0xFF) return -1;
    if (marker[1] == 0xFF) {  // fill byte
      jpeg.seek(jpeg.pos() - 1);
      continue;
    }
    if (marker[1] == kEoi || (marker[1] >= 0xD0 && marker[1] <= 0xD7)) return -1;
    uchar lengthBytes[2];
    if (!readBytes(jpeg, lengthBytes, 2)) return -1;
    const int length = u16At(lengthBytes) - 2;
    if (length < 0) return -1;
    QByteArray segment(length, Qt::Uninitialized);
    if (!readBytes(jpeg, reinterpret_cast<uchar*>(segment.data()), length)) return -1;
    const auto* p = reinterpret_cast<const uchar*>(segment.constData());
    if (isStartOfFrame(marker[1])) {
      if (length < 6) return -1;
      progressive = isProgressive(marker[1]);
      height = u16At(p + 1);
      width = u16At(p + 3);
      const int count = p[5];
      if (count < 1 || length < 6 + 3 * count) return -1;
      for (int i = 0; i < count; ++i) {
        const int sampling = p[6 + 3 * i + 1];
        components.append({std::max(1, sampling >> 4), std::max(1, sampling & 15)});
      }
    } else if (marker[1] == kSos) {
      if (components.isEmpty() || length < 1) return -1;
      // One scan holding every component is decoded row by row; anything
      // else keeps every coefficient of the frame until the last scan.
      if (!progressive && p[0] == components.size()) return 0;
      int hMax = 1, vMax = 1;
      for (const Component& c : components) {
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
      }
      // Blocks of 8 x 8 coefficients of two bytes, each component padded to
      // whole MCUs.
      const qint64 mcusAcross = (width + 8 * hMax - 1) / (8 * hMax);
      const qint64 mcusDown = (height + 8 * vMax - 1) / (8 * vMax);
      qint64 bytes = 0;
      for (const Component& c : components) bytes += mcusAcross * c.h * mcusDown * c.v * 64 * 2;
      return bytes;
    }
  }
}

QSize jpegDecodeSize(QSize full, QSize fit) {
  if (!fit.isValid()) return full;
  for (int denom : {8, 4, 2}) {
    const QSize reduced(full.width() / denom, full.height() / denom);
    if (!reduced.isEmpty() && covers(reduced, fit)) return reduced;
  }
  return full;
}

void Bitmap::clear() {
  name_.clear();
  size_ = QSize();
  image_ = QImage();
}

bool Bitmap::load(const QByteArray& name, const Need& need, Reduction reduction,
                  const Cancelled& cancelled) {
  clear();
  QFile file;
  if (!openRegularFile(name, file)) return false;
  // The JPEG decoder's own buffers are not covered by the allocation limit.
  if (file.peek(2) == QByteArray("\xFF\xD8", 2)) {
    const qint64 coefficients = jpegCoefficientBytes(file);
    if (coefficients < 0 || coefficients > kMaxJpegCoefficientBytes || !file.seek(0)) return false;
  }
  QImageReader reader(&file);
  reader.setAllocationLimit(kAllocationLimitMB);
  // The content decides the format; the name only chose the bitmap path.
  if (!isBitmapFormat(reader.format())) return false;
  QSize full = reader.size();
  // Qt reports no size for top-down BMPs.
  const QSize bmpSize = reader.format() == "bmp" ? streamableBmpSize(file) : QSize();
  if (bmpSize.isValid()) full = bmpSize;
  if (full.isValid() && qint64(full.width()) * full.height() > kMaxImagePixels) return false;
  const QSize fit = (need && full.isValid()) ? need(full) : QSize();
  const bool smaller = fit.isValid() && !fit.isEmpty() && fit.width() <= full.width() &&
                       fit.height() <= full.height() && fit != full;
  if (reduction == Reduction::Exact && smaller && (reader.format() == "png" || bmpSize.isValid())) {
    if (!file.seek(0)) return false;
    QImage image = reader.format() == "png" ? readPngReduced(file, fit, cancelled)
                                            : readBmpReduced(file, fit, cancelled);
    if (image.isNull()) return false;
    name_ = name;
    size_ = full;
    image_ = std::move(image);
    return true;
  }
  if (reader.format() == "jpeg" && full.isValid() && fit.isValid()) {
    const QSize decode = jpegDecodeSize(full, fit);
    if (decode != full) reader.setScaledSize(decode);
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) return false;
  name_ = name;
  size_ = full.isValid() ? full : image.size();
  image_ = std::move(image);
  return true;
}

bool Bitmap::hasPixelsFor(QSize fit) const {
  if (image_.size() == size_) return true;
  if (!fit.isValid()) return false;
  return covers(image_.size(), fit.boundedTo(size_));
}

const QImage& Bitmap::pixels(QSize fit) {
  if (image_.isNull() || hasPixelsFor(fit)) return image_;
  Bitmap again;
  if (again.load(name_, [fit](QSize) { return fit; }) && again.size_ == size_ &&
      again.image_.width() > image_.width())
    image_ = std::move(again.image_);
  return image_;
}

}  // namespace imaging
