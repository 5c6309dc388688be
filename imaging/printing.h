// Printing of an image file over the whole sheet of the default printer.
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
  // Starts a document queued under `docName`; false when the printer cannot
  // be opened.
  bool startDocument(const QString& docName);
  // Draws `image` stretched onto `target` (0.1 mm) of the current page.
  void drawImage(const QImage& image, const geometry::RectF& target);
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

// Prints `cFile` as one page on which the bitmap covers the whole sheet. A
// file that is no readable bitmap gives an empty page. With no default
// printer, or one that cannot be opened, one message box says so and nothing
// else happens. `outputFile` as for PrinterPS().
void DokDruck(const imaging::FileName& cFile, const QString& outputFile = QString());

#endif
