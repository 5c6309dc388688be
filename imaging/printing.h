// SPDX-License-Identifier: GPL-2.0-or-later
// Printing of an image file on the default printer: one page on which the
// image fills the printable area with its proportions kept, centred.
#ifndef SORRELBY_IMAGING_PRINTING_H
#define SORRELBY_IMAGING_PRINTING_H

#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>

#include "geometry.h"
#include "imagefile.h"

class QPainter;
class QPrinter;

namespace imaging {
class Metafile;
}

// A drawing surface on a printer: its page is the whole sheet, its unit
// 0.1 mm, y upwards from the lower-left corner.
class PrintSurface {
 public:
  PrintSurface();  // bound to no device
  explicit PrintSurface(std::unique_ptr<QPrinter> device);
  ~PrintSurface();
  PrintSurface(const PrintSurface&) = delete;
  PrintSurface& operator=(const PrintSurface&) = delete;

  QPrinter* device() const { return device_.get(); }
  // The paper's width and height in 0.1 mm; empty without a device.
  QSizeF paperSize() const;
  // The part of the sheet the printer can mark, {x1, y1, x2, y2} in 0.1 mm
  // from the sheet's lower-left corner: the sheet less the printer's
  // smallest margins. All zero without a device.
  geometry::RectF printableArea() const;
  // Starts a document queued under `docName`; false when the printer cannot
  // be opened.
  bool startDocument(const QString& docName);
  // Draws `image` stretched onto `target` (0.1 mm) of the current page.
  void drawImage(const QImage& image, const geometry::RectF& target);
  // Draws `metafile` stretched onto `target` (0.1 mm) of the current page.
  void drawMetafile(const imaging::Metafile& metafile, const geometry::RectF& target);
  // Ends the document and so sends the job; false when that failed.
  bool endDocument();
  // Detaches the surface from its device and hands the device over.
  std::unique_ptr<QPrinter> detach();

 private:
  std::unique_ptr<QPrinter> device_;
  std::unique_ptr<QPainter> painter_;
};

// Opens the default printer and returns a surface on it; null when there is
// no default printer. `outputFile`, when given, prints into that PDF file
// instead (used by tests and for printing to a file).
std::unique_ptr<PrintSurface> PrinterPS(const QString& outputFile = QString());

// Detaches `oPS` from its device, if it has one, and destroys the device. The
// surface itself stays.
void DestroyDevice(PrintSurface* oPS);

// Prints `cFile`, a bitmap or a metafile, as one page on which the image is
// as large as the printable area allows with its proportions kept, centred
// in it. A file that is no readable image gives an empty page. With no
// default printer, or one that cannot be opened, one message box says so and
// nothing else happens. `outputFile` as for PrinterPS().
void DokDruck(const imaging::FileName& cFile, const QString& outputFile = QString());

#endif
