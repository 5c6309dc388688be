// SPDX-License-Identifier: GPL-2.0-or-later
// Image files made by the tests themselves: plain colours, halves, stripes,
// small metafiles, and broken or oversized variants of each.
#ifndef SORRELBY_TESTS_IMAGING_TESTIMAGES_H
#define SORRELBY_TESTS_IMAGING_TESTIMAGES_H

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QRect>
#include <QtEndian>

namespace testimages {

inline QImage solid(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// Left half `left`, right half `right`.
inline QImage halves(QSize size, QColor left, QColor right) {
  QImage image = solid(size, left);
  for (int y = 0; y < size.height(); ++y)
    for (int x = size.width() / 2; x < size.width(); ++x) image.setPixelColor(x, y, right);
  return image;
}

// One-pixel columns, black and white in turn.
inline QImage stripes(QSize size) {
  QImage image = solid(size, Qt::white);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); x += 2) image.setPixelColor(x, y, Qt::black);
  return image;
}

// A picture with something everywhere: colour gradients, a disc and
// pseudo-random grain, the same for the same size.
inline QImage photo(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  quint32 state = 12345;
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      state = state * 1664525u + 1013904223u;
      const int grain = int(state >> 27) - 16;
      const int dx = x - size.width() / 2, dy = y - size.height() / 3;
      const bool disc = dx * dx + dy * dy < size.height() * size.height() / 16;
      const int r = 255 * x / size.width() + grain;
      const int g = disc ? 220 + grain : 255 * y / size.height() - grain;
      const int b = disc ? 40 : 128 + grain * 2;
      line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
    }
  }
  return image;
}

// A BMP of `image` with `bits` per pixel (1, 4, 8 through a palette; 24;
// 32 with an opaque fourth byte), rows bottom-up or top-down.
inline QByteArray bmp(const QImage& image, int bits, bool topDown) {
  QImage indexed;
  QList<QRgb> palette;
  if (bits <= 8) {
    indexed = bits == 1 ? image.convertToFormat(QImage::Format_Mono)
                        : image.convertToFormat(QImage::Format_Indexed8);
    if (bits == 4) {
      QList<QRgb> sixteen;
      for (int i = 0; i < 16; ++i) sixteen.append(qRgb(i * 17, 255 - i * 17, (i * 97) % 256));
      indexed = image.convertToFormat(QImage::Format_Indexed8, sixteen);
    }
    palette = indexed.colorTable();
    palette.resize(1 << bits);
  }
  const int w = image.width(), h = image.height();
  const int stride = (w * bits + 31) / 32 * 4;
  const int offset = 14 + 40 + int(palette.size()) * 4;
  QByteArray out(offset + stride * h, '\0');
  uchar* d = reinterpret_cast<uchar*>(out.data());
  d[0] = 'B';
  d[1] = 'M';
  qToLittleEndian(quint32(out.size()), d + 2);
  qToLittleEndian(quint32(offset), d + 10);
  qToLittleEndian(quint32(40), d + 14);
  qToLittleEndian(qint32(w), d + 18);
  qToLittleEndian(qint32(topDown ? -h : h), d + 22);
  qToLittleEndian(quint16(1), d + 26);
  qToLittleEndian(quint16(bits), d + 28);
  qToLittleEndian(quint32(stride * h), d + 34);
  for (int i = 0; i < palette.size(); ++i) {
    d[54 + 4 * i] = uchar(qBlue(palette[i]));
    d[55 + 4 * i] = uchar(qGreen(palette[i]));
    d[56 + 4 * i] = uchar(qRed(palette[i]));
  }
  for (int y = 0; y < h; ++y) {
    uchar* row = d + offset + stride * (topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      if (bits <= 8) {
        const int index = bits == 1 ? indexed.pixelIndex(x, y) : indexed.pixelIndex(x, y);
        const int shift = 8 - bits * (x % (8 / bits) + 1);
        row[x * bits / 8] |= uchar(index << shift);
      } else {
        const QRgb p = image.pixel(x, y);
        uchar* px = row + x * bits / 8;
        px[0] = uchar(qBlue(p));
        px[1] = uchar(qGreen(p));
        px[2] = uchar(qRed(p));
        if (bits == 32) px[3] = 255;
      }
    }
  }
  return out;
}

inline bool writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray encode(const QImage& image, const char* format) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return data;
}

inline void putU32(QByteArray& b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}

// An enhanced metafile of `sizePx` pixels holding one rectangle `box`
// (left, top, right, bottom in the metafile's own units) filled with
// `colour`.
inline QByteArray emf(QSize sizePx, QRect box, QColor colour) {
  const quint32 colorRef =
      quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
  QByteArray records;
  for (quint32 v : {39u, 24u, 1u, 0u, colorRef, 0u}) putU32(records, v);  // brush
  for (quint32 v : {37u, 12u, 1u}) putU32(records, v);                    // select it
  for (quint32 v : {43u, 24u}) putU32(records, v);                        // rectangle
  for (int v : {box.left(), box.top(), box.right(), box.bottom()}) putU32(records, quint32(v));
  for (quint32 v : {14u, 20u, 0u, 16u, 20u}) putU32(records, v);  // end of file
  QByteArray header;
  putU32(header, 1);
  putU32(header, 88);
  for (int v : {0, 0, sizePx.width(), sizePx.height()}) putU32(header, quint32(v));
  for (int v : {0, 0, sizePx.width() * 2540 / 96, sizePx.height() * 2540 / 96})
    putU32(header, quint32(v));
  for (quint32 v : {0x464D4520u, 0x10000u, quint32(88 + records.size()), 5u}) putU32(header, v);
  putU32(header, 2);  // two handles, no reserved bits
  for (quint32 v : {0u, 0u, 0u, 1024u, 768u, 271u, 203u}) putU32(header, v);
  return header + records;
}

inline quint32 crc32(const QByteArray& data) {
  quint32 crc = 0xFFFFFFFFu;
  for (char ch : data) {
    crc ^= quint8(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A PNG whose header claims `size` while its data holds one tiny image.
inline QByteArray pngClaiming(QSize size) {
  QByteArray png = encode(solid(QSize(1, 1), Qt::red), "png");
  // IHDR data starts at 16: width, height big-endian; its CRC follows at 29.
  qToBigEndian(quint32(size.width()), png.data() + 16);
  qToBigEndian(quint32(size.height()), png.data() + 20);
  qToBigEndian(crc32(png.mid(12, 17)), png.data() + 29);
  return png;
}

// A JPEG whose frame header claims `size` (at most 65535 each way).
inline QByteArray jpegClaiming(QSize size) {
  QByteArray jpeg = encode(solid(QSize(16, 16), Qt::red), "jpeg");
  const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  if (sof >= 0) {
    qToBigEndian(quint16(size.height()), jpeg.data() + sof + 5);
    qToBigEndian(quint16(size.width()), jpeg.data() + sof + 7);
  }
  return jpeg;
}

inline QByteArray bmpClaiming(QSize size) {
  QByteArray bmp = encode(solid(QSize(2, 2), Qt::red), "bmp");
  qToLittleEndian(qint32(size.width()), bmp.data() + 18);
  qToLittleEndian(qint32(size.height()), bmp.data() + 22);
  return bmp;
}

inline QByteArray gifClaiming(const QByteArray& gif, QSize size) {
  QByteArray out = gif;
  qToLittleEndian(quint16(size.width()), out.data() + 6);
  qToLittleEndian(quint16(size.height()), out.data() + 8);
  return out;
}

// A valid progressive JPEG of `size` and `components` (1 grey, 3 colour,
// all 1 x 1 sampled) made of a single DC scan of a flat mid-grey: about one
// bit per 8 x 8 block, so a huge frame costs a small file.
inline QByteArray progressiveJpeg(QSize size, int components) {
  QByteArray j("\xFF\xD8", 2);
  const auto u16 = [&j](int v) {
    j.append(char(v >> 8));
    j.append(char(v & 0xFF));
  };
  j.append("\xFF\xDB", 2);  // quantisation table 0, all ones
  u16(67);
  j.append('\0');
  j.append(QByteArray(64, '\1'));
  j.append("\xFF\xC2", 2);  // progressive frame
  u16(8 + 3 * components);
  j.append('\x08');
  u16(size.height());
  u16(size.width());
  j.append(char(components));
  for (int c = 1; c <= components; ++c) {
    j.append(char(c));
    j.append('\x11');
    j.append('\0');
  }
  j.append("\xFF\xC4", 2);  // DC table 0: one code of one bit, difference 0
  u16(20);
  j.append('\0');
  j.append('\1');
  j.append(QByteArray(15, '\0'));
  j.append('\0');
  j.append("\xFF\xDA", 2);  // the DC scan of every component
  u16(6 + 2 * components);
  j.append(char(components));
  for (int c = 1; c <= components; ++c) {
    j.append(char(c));
    j.append('\0');
  }
  j.append(QByteArray(3, '\0'));
  const qint64 blocks = qint64((size.width() + 7) / 8) * ((size.height() + 7) / 8) * components;
  j.append(QByteArray(blocks / 8, '\0'));
  if (blocks % 8) j.append(char(0xFF >> (blocks % 8)));
  j.append("\xFF\xD9", 2);
  return j;
}

// An enhanced metafile of `sizePx` pixels with `count` small rectangles.
inline QByteArray emfWithRectangles(QSize sizePx, int count) {
  QByteArray one = emf(sizePx, QRect(1, 1, 3, 3), Qt::blue);
  // emf() ends with one rectangle record (24 bytes) and the end record (20).
  const qsizetype eof = one.size() - 20;
  const QByteArray rectangle = one.mid(eof - 24, 24);
  QByteArray out = one.left(eof);
  for (int i = 1; i < count; ++i) out += rectangle;
  out += one.mid(eof);
  qToLittleEndian(quint32(out.size()), out.data() + 48);  // total bytes
  qToLittleEndian(quint32(count + 4), out.data() + 52);   // records
  return out;
}

// A copy of `data` with `count` bytes after `from` changed, the same way
// for the same `seed`.
inline QByteArray mutated(QByteArray data, qsizetype from, int count, quint32 seed) {
  quint32 state = seed * 2654435761u + 1;
  for (int i = 0; i < count && data.size() > from; ++i) {
    state = state * 1664525u + 1013904223u;
    const qsizetype at = from + qsizetype(state >> 8) % (data.size() - from);
    data[at] = char(state >> 24);
  }
  return data;
}

}  // namespace testimages

#endif
