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
