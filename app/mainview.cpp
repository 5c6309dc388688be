// SPDX-License-Identifier: GPL-2.0-or-later
#include "mainview.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QResizeEvent>

#include <algorithm>

#include "imageview.h"
#include "sorrelby.h"

namespace sorrelby {

MainView::MainView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("mainView"));
  view_ = new ImageView(this, nullptr, {}, {}, {}, true);
  view_->setObjectName(QStringLiteral("currentImage"));
  statusLine_ = new QLabel(this);
  statusLine_->setObjectName(QStringLiteral("statusLine"));
  statusLine_->setTextFormat(Qt::PlainText);
  statusLine_->setContentsMargins(6, 0, 6, 0);
  setStatus(QStringLiteral("No image yet. File > Acquire from Source scans one into memory."));
  layOut();
}

void MainView::showImage(const QByteArray& file) {
  view_->load(file.isEmpty() ? imaging::FileName() : imaging::FileName(file));
  view_->display();
}

void MainView::setStatus(const QString& text) {
  status_ = text;
  const int room = std::max(0, statusLine_->contentsRect().width());
  statusLine_->setText(statusLine_->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
  statusLine_->setToolTip(text);
}

QByteArray MainView::heldImageFile() const {
  return scratch_.isValid() ? QFile::encodeName(scratch_.filePath(QStringLiteral("held-image.bmp")))
                            : QByteArray();
}

void MainView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void MainView::layOut() {
  // Positions in the program's lower-left convention: the status line at
  // the bottom, the image above it.
  const int lineHeight = fontMetrics().height() + 8;
  const int w = width();
  const int h = height();
  statusLine_->setGeometry(0, std::max(0, h - lineHeight), w, lineHeight);
  view_->create(this, nullptr, {0, lineHeight}, {w, std::max(0, h - lineHeight)}, {}, true);
  setStatus(status_);  // shortened anew for the new width
}

MainView* mainView() { return oDlg ? dynamic_cast<MainView*>(oDlg->centralWidget()) : nullptr; }

void reportStatus(const std::string& text) {
  if (MainView* v = mainView()) v->setStatus(QString::fromLocal8Bit(text));
}

void showImageFile(const std::string& name) {
  if (MainView* v = mainView())
    v->showImage(name.empty() ? QByteArray()
                              : QFile::encodeName(
                                    QFileInfo(QFile::decodeName(QByteArray::fromStdString(name)))
                                        .absoluteFilePath()));
}

}  // namespace sorrelby
