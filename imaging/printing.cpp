#include "printing.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "bitmap.h"
#include "messagesink.h"

PrintSurface::PrintSurface() = default;
PrintSurface::PrintSurface(std::unique_ptr<QPrinter> device) : device_(std::move(device)) {}
PrintSurface::~PrintSurface() = default;

QSizeF PrintSurface::paperSize() const {
  if (!device_) return QSizeF();
  return device_->pageLayout().fullRect(QPageLayout::Millimeter).size() * 10.0;
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
  const QSizeF aSize = oPS->paperSize();
  const geometry::RectF aRect{0, 0, aSize.width(), aSize.height()};
  // Anything the bitmap object cannot read leaves an empty page.
  if (cFile) oBitmap.load(*cFile);

  const QString docName = cFile ? QFileInfo(QFile::decodeName(*cFile)).fileName() : QString();
  if (!oPS->startDocument(docName)) {
    const QString name = outputFile.isEmpty() ? oPS->device()->printerName() : outputFile;
    DestroyDevice(oPS.get());
    imaging::showMessage(
        QStringLiteral("The printer \"%1\" could not be opened. Nothing was printed.").arg(name),
        title);
    return;
  }
  oPS->drawImage(oBitmap.pixels(), aRect);
  const bool sent = oPS->endDocument();
  DestroyDevice(oPS.get());
  if (!sent)
    imaging::showMessage(QStringLiteral("The page could not be sent to the printer."), title);
}
