// SPDX-License-Identifier: GPL-2.0-or-later
#include "functionlist.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>

#include <memory>

#include "geometry.h"
#include "messages.h"

namespace {

// The list window ends its viewer's loop when it is closed from its frame or
// with Escape.
class ListWindow : public QWidget {
 public:
  explicit ListWindow(QEventLoop& loop) : loop_(loop) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    loop_.quit();
    QWidget::closeEvent(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
      close();
    else
      QWidget::keyPressEvent(event);
  }

 private:
  QEventLoop& loop_;
};

std::string readWhole(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

bool isBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

int desktopHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

}  // namespace

namespace sorrelby {

QString functionListPath(const std::string& cXFile) {
  const QString name = QString::fromLocal8Bit(cXFile);
  if (name.isEmpty() || name.contains(QLatin1Char('/')) || QFileInfo::exists(name)) return name;
  const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(name);
  return QFileInfo::exists(shipped) ? shipped : name;
}

}  // namespace sorrelby

void showfunctionlist(const std::string& cXFile, const std::string& cTitle) {
  std::string cText = readWhole(sorrelby::functionListPath(cXFile));
  if (isBlank(cText)) {
    sorrelby::message("Dateifehler");
    return;
  }

  constexpr int kWidth = 700, kHeight = 450;
  QEventLoop loop;
  auto window = std::make_unique<ListWindow>(loop);
  window->setObjectName(QStringLiteral("functionListWindow"));
  window->setGeometry(geometry::placeInParent(50, 50, kWidth, kHeight, desktopHeight()));
  window->setWindowTitle(QString::fromLocal8Bit(cTitle));
  window->show();
  window->activateWindow();

  auto* edit = new QPlainTextEdit(window.get());
  edit->setObjectName(QStringLiteral("functionListText"));
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The lists line up their columns with blanks.
  edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  edit->setGeometry(geometry::placeInParent(50, 50, 550, 350, kHeight));
  edit->setPlainText(QString::fromLocal8Bit(cText));
  edit->show();

  loop.exec();

  // The text goes back into memory only; the file is never written.
  cText = edit->toPlainText().toLocal8Bit().toStdString();
}
