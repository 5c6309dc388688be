// SPDX-License-Identifier: MIT
// The library's windows in Qt: source selection, the source's user
// interface, the progress window, the save dialog, message boxes and the
// system clipboard. Built as a plugin that the library loads only inside a
// running QApplication; it knows the library only through plugin_api.h.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>

#include "plugin_api.h"

namespace eztw::ui {

namespace {

// The window a dialog belongs to: the one the handle names, else the
// application's active window, else its first visible main window, so a
// dialog never opens unowned behind the program.
QWidget* parentFor(int32_t hwnd) {
  const auto tops = QApplication::topLevelWidgets();
  if (hwnd != 0)
    for (QWidget* w : tops)
      if (static_cast<int32_t>(w->internalWinId()) == hwnd) return w;
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* w : tops)
    if (w->isVisible() && w->windowType() == Qt::Window && !qobject_cast<QDialog*>(w)) return w;
  return nullptr;
}

// How long the GUI thread may wait in a call before the cursor says so.
constexpr int kBusyDelayMs = 200;
// How long a transfer runs before its progress window shows.
constexpr int kProgressDelayMs = 500;
constexpr int kProgressUpdateMs = 100;
// How often the selection dialog looks whether its search has landed.
constexpr int kSearchPollMs = 30;

// A busy cursor over the application once a wait outlasts kBusyDelayMs.
class BusyCursor {
 public:
  BusyCursor() {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
      QApplication::setOverrideCursor(Qt::BusyCursor);
      shown_ = true;
    });
    timer_.start(kBusyDelayMs);
  }
  ~BusyCursor() {
    if (shown_) QApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  QTimer timer_;
  bool shown_ = false;
};

// Runs task on a thread while a local event loop serves the GUI; returns
// once it has ended, with done set.
void serveWhile(Task& task, std::atomic<bool>& done) {
  QEventLoop loop;
  std::thread worker([&] {
    task.run();
    done = true;
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });
  if (!done) loop.exec();
  worker.join();
}

QString q(const std::string& s) { return QString::fromLocal8Bit(s.c_str()); }
std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }

constexpr const char* kBmpMime = "image/bmp";

class QtWindows final : public Windows {
 public:
  bool onGuiThread() const override {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
  }

  void whileWorking(Task& task) override {
    BusyCursor busy;
    std::atomic<bool> done{false};
    serveWhile(task, done);
  }

  std::optional<std::string> selectSource(int32_t hwnd, DeviceSearch& search,
                                          const std::string& current,
                                          const std::string& title) override;
  std::optional<SourceSettings> sourceDialog(int32_t hwnd, const SourceSettings& now,
                                             const std::string& title) override;
  void runTransfer(int32_t hwnd, bool showProgress, const std::string& title, TransferWatch& watch,
                   Task& task) override;
  std::optional<std::string> askSaveFile(int32_t hwnd, SaveKind kind,
                                         const std::string& title) override;

  void message(int32_t hwnd, const std::string& text, const std::string& title) override {
    QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Ok, parentFor(hwnd));
    box.setObjectName(kMessageBox);
    box.exec();
  }

  bool putOnClipboard(const std::vector<uint8_t>& bmpFile) override {
    const QByteArray bmp(reinterpret_cast<const char*>(bmpFile.data()),
                         static_cast<qsizetype>(bmpFile.size()));
    auto* mime = new QMimeData;
    mime->setData(kBmpMime, bmp);
    mime->setImageData(QImage::fromData(bmp, "BMP"));
    QGuiApplication::clipboard()->setMimeData(mime);
    return true;
  }

  std::vector<uint8_t> takeFromClipboard() override;
};

std::optional<std::string> QtWindows::selectSource(int32_t hwnd, DeviceSearch& search,
                                                   const std::string& current,
                                                   const std::string& title) {
  QDialog dialog(parentFor(hwnd));
  dialog.setObjectName(kSelectDialog);
  dialog.setWindowTitle(q(title) + QObject::tr(" - Select Source"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* status = new QLabel(&dialog);
  status->setObjectName(kSearchStatus);
  layout->addWidget(status);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(kSourceList);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* select = buttons->button(QDialogButtonBox::Ok);
  select->setText(QObject::tr("Select"));
  select->setDefault(true);
  QPushButton* refresh = buttons->addButton(QObject::tr("Refresh"), QDialogButtonBox::ActionRole);
  refresh->setObjectName(kRefreshButton);
  refresh->setAutoDefault(false);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);

  std::vector<SourceEntry> shown;
  auto fill = [&] {
    shown = search.found();
    list->clear();
    list->unsetCursor();
    int at = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      list->addItem(q(shown[i].label));
      if (shown[i].device == current) at = static_cast<int>(i);
    }
    if (!shown.empty()) list->setCurrentRow(at);
    status->setText(shown.empty() ? QObject::tr("No scanner found.")
                                  : QObject::tr("%n scanner(s) found.", "", list->count()));
    select->setEnabled(!shown.empty());
    refresh->setEnabled(true);
  };
  // The search runs on its own thread; this timer picks up its result.
  QTimer poll;
  poll.setInterval(kSearchPollMs);
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    if (search.running()) return;
    poll.stop();
    fill();
  });
  auto start = [&](bool renew) {
    search.start(renew);
    if (!search.running()) return fill();
    status->setText(QObject::tr("Searching for scanners..."));
    list->setCursor(Qt::BusyCursor);
    select->setEnabled(list->count() > 0);
    refresh->setEnabled(false);
    poll.start();
  };
  QObject::connect(refresh, &QPushButton::clicked, &dialog, [&] { start(true); });
  start(false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // A refresh still running when Select was pressed leaves the rows shown.
  const int row = list->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= shown.size()) return std::nullopt;
  return shown[static_cast<std::size_t>(row)].device;
}

std::optional<SourceSettings> QtWindows::sourceDialog(int32_t hwnd, const SourceSettings& now,
                                                      const std::string& title) {
  QDialog dialog(parentFor(hwnd));
  dialog.setObjectName(kSourceDialog);
  dialog.setWindowTitle(q(title));
  auto* form = new QFormLayout;
  auto* mode = new QComboBox(&dialog);
  mode->setObjectName("mode");
  for (const auto& m : now.modes) mode->addItem(q(m));
  mode->setCurrentText(q(now.mode));
  if (mode->count()) form->addRow(QObject::tr("Mode:"), mode);

  auto* depth = new QComboBox(&dialog);
  depth->setObjectName("depth");
  for (double d : now.depths) depth->addItem(QString::number(d));
  depth->setCurrentText(QString::number(now.depth));
  if (depth->count()) form->addRow(QObject::tr("Bit depth:"), depth);

  auto* res = new QSpinBox(&dialog);
  res->setObjectName("resolution");
  res->setSuffix(" dpi");
  res->setRange(static_cast<int>(now.minResolution), static_cast<int>(now.maxResolution));
  res->setValue(static_cast<int>(now.resolution));
  form->addRow(QObject::tr("Resolution:"), res);

  auto* source = new QComboBox(&dialog);
  source->setObjectName("source");
  for (const auto& s : now.sources) source->addItem(q(s));
  source->setCurrentText(q(now.source));
  if (source->count()) form->addRow(QObject::tr("Source:"), source);

  QDoubleSpinBox* edges[4] = {};
  if (now.area && now.maxArea) {
    const char* names[4] = {"left", "top", "right", "bottom"};
    const QString labels[4] = {QObject::tr("Left (mm):"), QObject::tr("Top (mm):"),
                               QObject::tr("Right (mm):"), QObject::tr("Bottom (mm):")};
    const AreaMm& a = *now.area;
    const AreaMm& m = *now.maxArea;
    const double values[4] = {a.left, a.top, a.right, a.bottom};
    for (int i = 0; i < 4; ++i) {
      edges[i] = new QDoubleSpinBox(&dialog);
      edges[i]->setObjectName(names[i]);
      edges[i]->setDecimals(1);
      edges[i]->setRange(i % 2 ? m.top : m.left, i % 2 ? m.bottom : m.right);
      edges[i]->setValue(values[i]);
      form->addRow(labels[i], edges[i]);
    }
  }
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(&dialog);
  auto* scan = buttons->addButton(QObject::tr("Scan"), QDialogButtonBox::AcceptRole);
  scan->setObjectName("scanButton");
  auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName("cancelButton");
  // Return scans: the Scan button is the default and holds the focus.
  scan->setDefault(true);
  scan->setAutoDefault(true);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  // Timers here are locals, never QTimer::singleShot with a functor: a
  // pending one would run after this call has returned.
  QTimer focus;
  focus.setSingleShot(true);
  QObject::connect(&focus, &QTimer::timeout, scan, [scan] { scan->setFocus(); });
  focus.start(0);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  SourceSettings chosen = now;
  chosen.mode = local(mode->currentText());
  if (depth->count()) chosen.depth = depth->currentText().toDouble();
  chosen.resolution = res->value();
  chosen.source = local(source->currentText());
  if (edges[0])
    chosen.area =
        AreaMm{edges[0]->value(), edges[1]->value(), edges[2]->value(), edges[3]->value()};
  return chosen;
}

void QtWindows::runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                            TransferWatch& watch, Task& task) {
  BusyCursor busy;
  std::atomic<bool> done{false};
  std::unique_ptr<QProgressDialog> dialog;
  QTimer showLater, timer;
  if (showProgress) {
    dialog = std::make_unique<QProgressDialog>(parentFor(hwnd));
    dialog->setObjectName(kProgress);
    dialog->setWindowTitle(q(title));
    dialog->setLabelText(QObject::tr("Scanning..."));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Shown by our own timer once the transfer takes longer than a moment:
    // QProgressDialog's own timing restarts whenever the value is at its
    // minimum, which a busy indicator always is.
    dialog->setMinimumDuration(std::numeric_limits<int>::max());
    dialog->setRange(0, 0);
    QProgressDialog* d = dialog.get();
    showLater.setSingleShot(true);
    QObject::connect(&showLater, &QTimer::timeout, d, [&done, d] {
      if (!done) d->show();
    });
    showLater.start(kProgressDelayMs);
    QObject::connect(d, &QProgressDialog::canceled, d, [&watch, d] {
      watch.cancel();
      d->setLabelText(QObject::tr("Cancelling..."));
    });
    QObject::connect(&timer, &QTimer::timeout, d, [&watch, d] {
      if (d->wasCanceled()) watch.cancel();
      if (watch.cancelRequested()) return;
      const long long expected = watch.linesExpected(), read = watch.linesRead();
      if (expected > 0) {
        d->setRange(0, 1000);
        d->setValue(static_cast<int>(std::min<long long>(1000, read * 1000 / expected)));
      } else {
        // Height unknown (hand scanner): say how much has come in.
        d->setRange(0, 0);
        d->setValue(0);
      }
      d->setLabelText(QObject::tr("Scanning... %1 lines read").arg(read));
    });
    timer.start(kProgressUpdateMs);
  }
  serveWhile(task, done);
}

std::optional<std::string> QtWindows::askSaveFile(int32_t hwnd, SaveKind kind,
                                                  const std::string& title) {
  QFileDialog dialog(parentFor(hwnd), q(title));
  dialog.setObjectName(kSaveDialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Start where relative names land, not in a folder remembered from before
  // that may be gone.
  dialog.setDirectory(QDir::currentPath());
  if (kind == SaveKind::Jpeg) {
    dialog.setNameFilter(QObject::tr("JPEG images (*.jpg *.jpeg)"));
    dialog.setDefaultSuffix("jpg");
  } else {
    dialog.setNameFilter(QObject::tr("BMP images (*.bmp)"));
    dialog.setDefaultSuffix("bmp");
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

std::vector<uint8_t> QtWindows::takeFromClipboard() {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return {};
  QByteArray bmp;
  if (mime->hasFormat(kBmpMime)) {
    bmp = mime->data(kBmpMime);
  } else if (mime->hasImage()) {
    QImage image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull()) return {};
    if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_Grayscale8)
      image = image.convertToFormat(QImage::Format_RGB888);
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) return {};
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(bmp.constData());
  return {bytes, bytes + bmp.size()};
}

}  // namespace

}  // namespace eztw::ui

extern "C" __attribute__((visibility("default"))) eztw::ui::Windows* eztw32_qt_windows(
    int interfaceVersion) {
  if (interfaceVersion != eztw::ui::kInterfaceVersion) {
    std::fprintf(stderr, "libeztw32-qt: built for interface %d, asked for %d\n",
                 eztw::ui::kInterfaceVersion, interfaceVersion);
    return nullptr;
  }
  static eztw::ui::QtWindows windows;
  return &windows;
}
