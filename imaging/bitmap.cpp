#include "bitmap.h"

#include <QFile>
#include <QImageReader>

#include "imagefile_p.h"

namespace imaging {

namespace {

bool isBitmapFormat(const QByteArray& format) {
  return format == "bmp" || format == "gif" || format == "jpeg" || format == "png";
}

bool covers(QSize have, QSize fit) {
  return have.width() >= fit.width() && have.height() >= fit.height();
}

}  // namespace

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

bool Bitmap::load(const QByteArray& name, const Need& need) {
  clear();
  QFile file;
  if (!openRegularFile(name, file)) return false;
  QImageReader reader(&file);
  reader.setAllocationLimit(kAllocationLimitMB);
  // The content decides the format; the name only chose the bitmap path.
  if (!isBitmapFormat(reader.format())) return false;
  const QSize full = reader.size();
  if (full.isValid() && qint64(full.width()) * full.height() > kMaxImagePixels) return false;
  const QSize fit = (need && full.isValid()) ? need(full) : QSize();
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

bool Bitmap::enough(QSize fit) const {
  if (image_.size() == size_) return true;
  if (!fit.isValid()) return false;
  return covers(image_.size(), fit.boundedTo(size_));
}

const QImage& Bitmap::pixels(QSize fit) {
  if (image_.isNull() || enough(fit)) return image_;
  Bitmap again;
  if (again.load(name_, [fit](QSize) { return fit; }) && again.size_ == size_ &&
      again.image_.width() > image_.width())
    image_ = std::move(again.image_);
  return image_;
}

}  // namespace imaging
