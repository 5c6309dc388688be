// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's client area: the current image, fitted with its
// proportions by the imaging layer's view, and below it one line saying what
// the last command did. The commands reach it through the free functions.
#ifndef SORRELBY_MAINVIEW_H
#define SORRELBY_MAINVIEW_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <string>

class ImageView;
class QLabel;

namespace sorrelby {

class MainView : public QWidget {
 public:
  explicit MainView(QWidget* parent);

  // Shows the image file `file` (its absolute name); an empty name, or one
  // that cannot be read, leaves the area blank.
  void showImage(const QByteArray& file);
  // Replaces the status line; a text too long for it is shortened in the
  // middle and shown whole as its tooltip.
  void setStatus(const QString& text);
  QString status() const { return status_; }
  ImageView* view() const { return view_; }
  // A file of this program's own, removed with the view, into which the
  // image held in memory is written for display.
  QByteArray heldImageFile() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOut();

  ImageView* view_;
  QLabel* statusLine_;
  QString status_;
  QTemporaryDir scratch_;
};

// The main window's view; null while there is no main window.
MainView* mainView();

// What the last command did, for the status line.
void reportStatus(const std::string& text);
// Shows the image file `name` (resolved against the current directory now)
// in the main window.
void showImageFile(const std::string& name);

}  // namespace sorrelby

#endif
