// SPDX-License-Identifier: GPL-2.0-or-later
#include "printing.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "bitmap.h"
#include "messagesink.h"
#include "metafile.h"

namespace {

// The largest rectangle of `image`'s proportions inside `area`, centred in
// it. Rectangles count both corners as inside: {x1, .., x2} is x2 - x1 + 1
// units wide.
geometry::RectF fitCentred(QSizeF image, const geometry::RectF& area) {
  const double aw = area.x2 - area.x1 + 1;
  const double ah = area.y2 - area.y1 + 1;
  if (image.isEmpty() || aw <= 0 || ah <= 0) return area;
  const double scale = std::min(aw / image.width(), ah / image.height());
  const double w = image.width() * scale;
  const double h = image.height() * scale;
  const double x1 = area.x1 + (aw - w) / 2;
  const double y1 = area.y1 + (ah - h) / 2;
  return geometry::RectF{x1, y1, x1 + w - 1, y1 + h - 1};
}

}  // namespace

PrintSurface::PrintSurface() = default;
PrintSurface::PrintSurface(std::unique_ptr<QPrinter> device) : device_(std::move(device)) {}
PrintSurface::~PrintSurface() = default;

QSizeF PrintSurface::paperSize() const {
  if (!device_) return QSizeF();
  return device_->pageLayout().fullRect(QPageLayout::Millimeter).size() * 10.0;
}

geometry::RectF PrintSurface::printableArea() const {
  if (!device_) return {};
  QPageLayout layout = device_->pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  const QMarginsF m = layout.minimumMargins() * 10.0;
  const QSizeF paper = paperSize();
  return geometry::RectF{m.left(), m.bottom(), paper.width() - m.right() - 1,
                         paper.height() - m.top() - 1};
}

bool PrintSurface::startDocument(const QString& docName) {
  if (!device_) return false;
  device_->setDocName(docName);
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(device_.get())) return false;
  // The page in 0.1 mm over the whole sheet.
  const QSizeF paper = paperSize();
  painter->setWindow(QRect(0, 0, qRound(paper.width()), qRound(paper.height())));
  painter->setViewport(QRect(0, 0, device_->width(), device_->height()));
  painter_ = std::move(painter);
  return true;
}

void PrintSurface::drawImage(const QImage& image, const geometry::RectF& target) {
  if (!painter_ || image.isNull()) return;
  const QRectF area = geometry::toQRectF(target, qRound(paperSize().height()));
  painter_->drawImage(area, image, QRectF(image.rect()));
}

void PrintSurface::drawMetafile(const imaging::Metafile& metafile, const geometry::RectF& target) {
  if (!painter_ || metafile.isNull()) return;
  metafile.draw(*painter_, geometry::toQRectF(target, qRound(paperSize().height())));
}

bool PrintSurface::endDocument() {
  if (!painter_) return false;
  const bool ok = painter_->end();
  painter_.reset();
  return ok;
}

std::unique_ptr<QPrinter> PrintSurface::detach() {
  painter_.reset();
  return std::move(device_);
}

std::unique_ptr<PrintSurface> PrinterPS(const QString& outputFile) {
  std::unique_ptr<QPrinter> printer;
  if (outputFile.isEmpty()) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  } else {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(outputFile);
  }
  printer->setFullPage(true);
  return std::make_unique<PrintSurface>(std::move(printer));
}

void DestroyDevice(PrintSurface* oPS) {
  if (!oPS || !oPS->device()) return;
  std::unique_ptr<QPrinter> device = oPS->detach();
  device.reset();
}

void DokDruck(const imaging::FileName& cFile, const QString& outputFile) {
  const QString title = QStringLiteral("Print");
  std::unique_ptr<PrintSurface> oPS = PrinterPS(outputFile);
  if (!oPS) {
    imaging::showMessage(QStringLiteral("No default printer is set up. Nothing was printed."),
                         title);
    return;
  }
  imaging::Bitmap oBitmap;
  imaging::Metafile oMetafile;
  const geometry::RectF aRect = oPS->printableArea();
  // A metafile by its name, anything else as a bitmap by its content; what
  // cannot be read leaves an empty page.
  if (cFile && imaging::kindOfName(*cFile) == imaging::FileKind::Metafile)
    oMetafile.load(*cFile);
  else if (cFile)
    oBitmap.load(*cFile);

  const QString docName = cFile ? QFileInfo(QFile::decodeName(*cFile)).fileName() : QString();
  if (!oPS->startDocument(docName)) {
    const QString name = outputFile.isEmpty() ? oPS->device()->printerName() : outputFile;
    DestroyDevice(oPS.get());
    imaging::showMessage(
        QStringLiteral("The printer \"%1\" could not be opened. Nothing was printed.").arg(name),
        title);
    return;
  }
  // Fitted, not stretched: a landscape photo on a portrait sheet keeps its
  // proportions.
  if (!oBitmap.isNull())
    oPS->drawImage(oBitmap.pixels(), fitCentred(QSizeF(oBitmap.size()), aRect));
  else if (!oMetafile.isNull())
    oPS->drawMetafile(oMetafile, fitCentred(oMetafile.size(), aRect));
  const bool sent = oPS->endDocument();
  DestroyDevice(oPS.get());
  if (!sent)
    imaging::showMessage(QStringLiteral("The page could not be sent to the printer."), title);
}
