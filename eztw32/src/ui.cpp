#include "ui.h"

#include <sane/saneopts.h>

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
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <cstdio>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "capabilities.h"

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

// Runs work on a thread while a local event loop serves the GUI; returns
// once work has ended. An exception in work is raised again here.
void serveWhile(const std::function<void()>& work, std::atomic<bool>& done) {
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });
  if (!done) loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

QString q(const std::string& s) { return QString::fromLocal8Bit(s.c_str()); }

// Clipboard of a process without a GUI: kept here so that the library's own
// calls still meet.
std::mutex localClipMutex;
std::unique_ptr<Dib> localClip;

constexpr const char* kBmpMime = "image/bmp";

}  // namespace

bool available() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  return app && QThread::currentThread() == app->thread();
}

void whileWorking(const std::function<void()>& work) {
  if (!available()) {
    work();
    return;
  }
  BusyCursor busy;
  std::atomic<bool> done{false};
  serveWhile(work, done);
}

std::optional<DeviceInfo> selectSource(int32_t hwnd, Session& session, const std::string& current,
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

  std::vector<DeviceInfo> shown;
  auto fill = [&] {
    const auto known = session.knownDevices();
    shown = known ? *known : std::vector<DeviceInfo>{};
    list->clear();
    list->unsetCursor();
    int at = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      list->addItem(q(shown[i].sourceName()));
      if (shown[i].name == current) at = static_cast<int>(i);
    }
    if (!shown.empty()) list->setCurrentRow(at);
    status->setText(shown.empty() ? QObject::tr("No scanner found.")
                                  : QObject::tr("%n scanner(s) found.", "", list->count()));
    select->setEnabled(!shown.empty());
    refresh->setEnabled(true);
  };
  // The search runs on its own thread; this timer picks up its result.
  QTimer poll;
  poll.setInterval(30);
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    if (session.discovering()) return;
    poll.stop();
    fill();
  });
  auto search = [&](bool renew) {
    session.startDiscovery(renew);
    if (!session.discovering()) return fill();
    status->setText(QObject::tr("Searching for scanners..."));
    list->setCursor(Qt::BusyCursor);
    select->setEnabled(list->count() > 0);
    refresh->setEnabled(false);
    poll.start();
  };
  QObject::connect(refresh, &QPushButton::clicked, &dialog, [&] { search(true); });
  search(false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // A refresh still running when Select was pressed leaves the rows shown.
  const int row = list->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= shown.size()) return std::nullopt;
  return shown[static_cast<std::size_t>(row)];
}

bool sourceDialog(int32_t hwnd, Device& device, const std::string& title) {
  QDialog dialog(parentFor(hwnd));
  dialog.setObjectName(kSourceDialog);
  dialog.setWindowTitle(q(title));
  auto* form = new QFormLayout;
  auto* mode = new QComboBox(&dialog);
  mode->setObjectName("mode");
  for (const auto& m : device.choices(SANE_NAME_SCAN_MODE)) mode->addItem(q(m));
  mode->setCurrentText(q(device.text(SANE_NAME_SCAN_MODE).value_or("")));
  if (mode->count()) form->addRow(QObject::tr("Mode:"), mode);

  auto* depth = new QComboBox(&dialog);
  depth->setObjectName("depth");
  for (double d : device.numberChoices(SANE_NAME_BIT_DEPTH)) depth->addItem(QString::number(d));
  depth->setCurrentText(QString::number(device.number(SANE_NAME_BIT_DEPTH).value_or(8)));
  if (depth->count()) form->addRow(QObject::tr("Bit depth:"), depth);

  auto* res = new QSpinBox(&dialog);
  res->setObjectName("resolution");
  res->setSuffix(" dpi");
  const auto rr = device.range(SANE_NAME_SCAN_RESOLUTION);
  res->setRange(rr ? static_cast<int>(rr->min) : 1, rr ? static_cast<int>(rr->max) : 9600);
  res->setValue(static_cast<int>(resolution(device, false)));
  form->addRow(QObject::tr("Resolution:"), res);

  auto* source = new QComboBox(&dialog);
  source->setObjectName("source");
  for (const auto& s : device.choices(SANE_NAME_SCAN_SOURCE)) source->addItem(q(s));
  source->setCurrentText(q(device.text(SANE_NAME_SCAN_SOURCE).value_or("")));
  if (source->count()) form->addRow(QObject::tr("Source:"), source);

  const auto area = scanArea(device);
  const auto maxArea = maxScanArea(device);
  QDoubleSpinBox* edges[4] = {};
  if (area && maxArea) {
    const char* names[4] = {"left", "top", "right", "bottom"};
    const QString labels[4] = {QObject::tr("Left (mm):"), QObject::tr("Top (mm):"),
                               QObject::tr("Right (mm):"), QObject::tr("Bottom (mm):")};
    const double values[4] = {area->l, area->t, area->r, area->b};
    for (int i = 0; i < 4; ++i) {
      edges[i] = new QDoubleSpinBox(&dialog);
      edges[i]->setObjectName(names[i]);
      edges[i]->setDecimals(1);
      edges[i]->setRange(i % 2 ? maxArea->t : maxArea->l, i % 2 ? maxArea->b : maxArea->r);
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
  // pending one would outlive this library if the caller unloads it.
  QTimer focus;
  focus.setSingleShot(true);
  QObject::connect(&focus, &QTimer::timeout, scan, [scan] { scan->setFocus(); });
  focus.start(0);
  if (dialog.exec() != QDialog::Accepted) return false;

  // Mode first: it may change which other options are active.
  if (mode->count()) device.setText(SANE_NAME_SCAN_MODE, mode->currentText().toStdString());
  if (depth->count() && device.settable(SANE_NAME_BIT_DEPTH))
    device.setNumber(SANE_NAME_BIT_DEPTH, depth->currentText().toDouble());
  setResolution(device, res->value(), 0);
  if (source->count()) device.setText(SANE_NAME_SCAN_SOURCE, source->currentText().toStdString());
  if (edges[0])
    setScanArea(device,
                {edges[0]->value(), edges[1]->value(), edges[2]->value(), edges[3]->value()});
  return true;
}

Status runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                   TransferProgress& progress, const std::function<Status()>& work) {
  Status result{};
  if (!available()) {
    result = work();
    progress.done = true;
    return result;
  }
  BusyCursor busy;
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
    QObject::connect(&showLater, &QTimer::timeout, d, [&progress, d] {
      if (!progress.done) d->show();
    });
    showLater.start(500);
    // A cancel also interrupts a read that waits for the device.
    auto cancel = [&progress] {
      if (!progress.cancel.exchange(true) && progress.interrupt) progress.interrupt();
    };
    QObject::connect(d, &QProgressDialog::canceled, d, [cancel, d] {
      cancel();
      d->setLabelText(QObject::tr("Cancelling..."));
    });
    QObject::connect(&timer, &QTimer::timeout, d, [&progress, cancel, d] {
      const long long expected = progress.linesExpected, read = progress.linesRead;
      if (d->wasCanceled()) cancel();
      if (progress.cancel) return;
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
    timer.start(100);
  }
  serveWhile([&] { result = work(); }, progress.done);
  return result;
}

std::optional<std::string> askSaveFile(int32_t hwnd, FileFormat format, const std::string& title) {
  QFileDialog dialog(parentFor(hwnd), q(title));
  dialog.setObjectName(kSaveDialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Start where relative names land, not in a folder remembered from before
  // that may be gone.
  dialog.setDirectory(QDir::currentPath());
  if (format == FileFormat::Jpeg) {
    dialog.setNameFilter(QObject::tr("JPEG images (*.jpg *.jpeg)"));
    dialog.setDefaultSuffix("jpg");
  } else {
    dialog.setNameFilter(QObject::tr("BMP images (*.bmp)"));
    dialog.setDefaultSuffix("bmp");
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

void message(int32_t hwnd, const std::string& text, const std::string& title) {
  if (!available()) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return;
  }
  QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Ok, parentFor(hwnd));
  box.setObjectName(kMessageBox);
  box.exec();
}

bool putOnClipboard(const Dib& dib) {
  if (!available()) {
    std::lock_guard lock(localClipMutex);
    localClip = dib.clone();
    return true;
  }
  const auto bytes = bmpFileBytes(dib);
  const QByteArray bmp(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qsizetype>(bytes.size()));
  auto* mime = new QMimeData;
  mime->setData(kBmpMime, bmp);
  mime->setImageData(QImage::fromData(bmp, "BMP"));
  QGuiApplication::clipboard()->setMimeData(mime);
  return true;
}

std::unique_ptr<Dib> takeFromClipboard() {
  if (!available()) {
    std::lock_guard lock(localClipMutex);
    return localClip ? localClip->clone() : nullptr;
  }
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return nullptr;
  QByteArray bmp;
  if (mime->hasFormat(kBmpMime)) {
    bmp = mime->data(kBmpMime);
  } else if (mime->hasImage()) {
    QImage image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull()) return nullptr;
    if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_Grayscale8)
      image = image.convertToFormat(QImage::Format_RGB888);
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) return nullptr;
  } else {
    return nullptr;
  }
  return decodeBmp(reinterpret_cast<const uint8_t*>(bmp.constData()),
                   static_cast<std::size_t>(bmp.size()))
      .dib;
}

}  // namespace eztw::ui
