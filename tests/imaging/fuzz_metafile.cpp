// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the metafile path as the preview takes it, from the file
// through the converter helper (a separate process beside this binary) to the
// parsed and drawn picture. Whatever the helper does, this side must neither
// crash nor overrun its bounds.
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "metafile.h"

namespace {
QTemporaryDir* dir = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  dir = new QTemporaryDir;
  if (imaging::emfConverterPath().isEmpty()) std::abort();  // nothing would be fuzzed
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString name = dir->filePath("input.emf");
  {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
  }
  imaging::Metafile metafile;
  if (metafile.load(QFile::encodeName(name))) {
    const QImage& image = metafile.rendered(QSize(194, 218), QRectF(1, 1, 192, 216));
    if (image.size() != QSize(194, 218)) std::abort();
  }
  return 0;
}
