#include "metafile.h"

#include <emf2svg.h>

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <cstdlib>

#include "imagefile_p.h"

namespace imaging {

namespace {

quint32 u32At(const QByteArray& data, qsizetype offset) {
  return qFromLittleEndian<quint32>(data.constData() + offset);
}

constexpr quint32 kEmrHeader = 1;
constexpr quint32 kEmrEof = 14;
constexpr quint32 kEmfSignature = 0x464D4520;  // " EMF"
constexpr qsizetype kMinHeaderBytes = 88;

}  // namespace

bool looksLikeEmf(const QByteArray& data) {
  if (data.size() < kMinHeaderBytes) return false;
  if (u32At(data, 0) != kEmrHeader || u32At(data, 40) != kEmfSignature) return false;
  const quint32 headerSize = u32At(data, 4);
  if (headerSize < kMinHeaderBytes || headerSize > quint32(data.size())) return false;
  // Walk the records: each must be a positive multiple of 4 long and end
  // inside the data; the last must be the end-of-file record.
  qsizetype offset = 0;
  quint32 type = 0;
  while (offset + 8 <= data.size()) {
    type = u32At(data, offset);
    const quint32 size = u32At(data, offset + 4);
    if (size < 8 || size % 4 != 0 || size > quint32(data.size() - offset)) return false;
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

  generatorOptions options{};
  char nameSpace[] = "";
  options.nameSpace = nameSpace;
  options.emfplus = true;
  options.svgDelimiter = true;
  char* out = nullptr;
  size_t outLength = 0;
  const int ok = emf2svg(data.data(), size_t(data.size()), &out, &outLength, &options);
  const QByteArray svg = (ok && out) ? QByteArray(out, qsizetype(outLength)) : QByteArray();
  std::free(out);
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
