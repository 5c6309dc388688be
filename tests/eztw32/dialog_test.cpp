// SPDX-License-Identifier: MIT
// The library's windows in a Qt application (offscreen), driven by the
// test: source selection, the source's dialog, progress with Cancel, the
// save dialog, the error box and the system clipboard.
#include <quillmere/eztw32fu.h>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "sane_env.h"

using namespace eztwtest;

class DialogTest : public QObject {
  Q_OBJECT

 public:
  DialogTest() { main_.resize(300, 200); }

 private:
  // Runs act on the top-level window of that object name once it shows.
  // Runs act on the top-level window of that object name once it shows,
  // and again while that same window stays up (a dialog may still be
  // loading when first asked); stops once the window is gone.
  void whenShown(const QString& name, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(scope_.get());
    auto target = std::make_shared<QPointer<QWidget>>();
    auto seen = std::make_shared<bool>(false);
    connect(timer, &QTimer::timeout, this, [timer, name, act, target, seen] {
      if (*seen && target->isNull()) {
        timer->stop();
        timer->deleteLater();
        return;
      }
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible() && (!*seen || w == target->data())) {
          *seen = true;
          *target = w;
          act(w);
          return;
        }
    });
    timer->start(50);
  }
  int32_t hwnd() { return static_cast<int32_t>(main_.winId()); }
  void clickChild(QWidget* w, const char* name) {
    auto* b = w->findChild<QPushButton*>(name);
    QVERIFY(b);
    b->click();
  }

  QWidget main_;
  std::unique_ptr<QObject> scope_;  // owns one test's pending actions
  std::unique_ptr<SaneEnv> env_;
  std::vector<std::string> messages_;

 private slots:
  void initTestCase() {
    quillmere::setMessageSink(
        [this](const std::string& text, const std::string&) { messages_.push_back(text); });
    QVERIFY(eztw32_LoadDll() != 0);
    main_.show();
    eztw32_SetAppTitle("Dialog test");
  }
  void init() {
    env_ = std::make_unique<SaneEnv>();
    scope_ = std::make_unique<QObject>();
    messages_.clear();
    eztw32_SetHideUI(false);
    eztw32_SuppressErrorMessages(true);
  }
  void cleanup() {
    scope_.reset();
    env_.reset();
    const int state = eztw32_GetTwainState();
    // Unwind whatever a failed test left, so the next one starts clean.
    if (state >= 5) eztw32_DisableSource();
    if (state >= 4) eztw32_CloseSource();
    if (state >= 3) eztw32_CloseSourceManager(0);
    if (state >= 2) eztw32_UnloadSourceManager();
    QCOMPARE(state, 1);
  }
  void cleanupTestCase() { eztw32_UnLoadDll(); }

  void sourceDialogScansWithChosenOptions() {
    QWidget* parent = nullptr;
    QString title;
    whenShown("eztw32SourceDialog", [&](QWidget* w) {
      parent = w->parentWidget();
      title = w->windowTitle();
      auto* res = w->findChild<QSpinBox*>("resolution");
      QVERIFY(res);
      res->setValue(60);
      clickChild(w, "scanButton");
    });
    const int32_t h = eztw32_Acquire(hwnd());
    QVERIFY(h != 0);
    QCOMPARE(parent, &main_);
    QVERIFY(title.startsWith("Dialog test"));
    QCOMPARE(eztw32_DIB_XResolution(h), 60);
    QCOMPARE(eztw32_DIB_Width(h), 188);  // 80 mm at 60 dpi, as SANE's test scanner rounds
    eztw32_FreeNative(h);
  }

  void returnKeyScans() {
    whenShown("eztw32SourceDialog", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    const int32_t h = eztw32_Acquire(hwnd());
    QVERIFY(h != 0);
    eztw32_FreeNative(h);
  }

  void cancelInSourceDialog() {
    whenShown("eztw32SourceDialog", [this](QWidget* w) { clickChild(w, "cancelButton"); });
    eztw32_SetSaveFormat(2);
    const auto file = env_->path("MYTEST.BMP");
    QCOMPARE(eztw32_AcquireToFilename(hwnd(), file.string()), -1);
    QVERIFY(eztw32_UserClosedSource());
    QCOMPARE(eztw32_LastErrorCode(), 1);
    QVERIFY(!fs::exists(file));
    // And the next one works.
    whenShown("eztw32SourceDialog", [this](QWidget* w) { clickChild(w, "scanButton"); });
    QCOMPARE(eztw32_AcquireToFilename(hwnd(), file.string()), 0);
    QVERIFY(fs::exists(file));
  }

  void saveDialogCancelGivesMinusTen() {
    eztw32_SetHideUI(true);
    eztw32_SetSaveFormat(4);
    whenShown("eztw32SaveDialog", [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(eztw32_AcquireToFilename(hwnd(), ""), -10);
  }

  void progressCancel_data() {
    QTest::addColumn<bool>("handScanner");
    QTest::newRow("knownHeight") << false;
    QTest::newRow("unknownHeight") << true;
  }
  void progressCancel() {
    QFETCH(bool, handScanner);
    // A slow device: a pause after each buffer, a page of many buffers.
    env_->writeConf({{"read-delay", "true"},
                     {"read-delay-duration", "200000"},
                     {"hand-scanner", handScanner ? "true" : "false"}});
    eztw32_SetHideUI(true);
    eztw32_SetSaveFormat(2);
    QString label;
    int maximum = -1;
    whenShown("eztw32Progress", [&](QWidget* w) {
      auto* p = qobject_cast<QProgressDialog*>(w);
      if (!p) return;
      label = p->labelText();
      maximum = p->maximum();
      auto* cancel = p->findChild<QPushButton*>();
      if (cancel) cancel->click();
    });
    const auto file = env_->path("slow.bmp");
    QVERIFY(eztw32_OpenSource("test:0"));
    QCOMPARE(eztw32_SetCurrentResolution(300), 1);
    QCOMPARE(eztw32_AcquireToFilename(hwnd(), file.string()), -1);
    QCOMPARE(eztw32_GetTwainState(), 4);
    QVERIFY(eztw32_CloseSource() && eztw32_CloseSourceManager(hwnd()) &&
            eztw32_UnloadSourceManager());
    QVERIFY2(label.contains("lines read"), qPrintable(label));
    QCOMPARE(maximum, handScanner ? 0 : 1000);
    QCOMPARE(eztw32_LastErrorCode(), 1);
    QCOMPARE(eztw32_GetResultCode(), 3);
    for (const auto& e : fs::directory_iterator(env_->dir())) QVERIFY(!e.is_regular_file());
  }

  void clipboardHoldsTheScan() {
    eztw32_SetHideUI(true);
    QVERIFY(eztw32_AcquireToClipboard(hwnd(), 0));
    const QImage image = QGuiApplication::clipboard()->image();
    QCOMPARE(image.size(), QSize(314, 393));  // 80 x 100 mm at 100 dpi
    const int32_t h = eztw32_DIB_GetFromClipboard();
    QCOMPARE(eztw32_DIB_Width(h), 314);
    QCOMPARE(eztw32_DIB_Depth(h), 8);
    const auto file = env_->path("MYTEST.BMP");
    QCOMPARE(eztw32_DIB_WriteToBmp(h, file.string()), 0);
    QCOMPARE(identify(file, "%wx%h"), std::string("314x393"));
    eztw32_FreeNative(h);
  }

  void errorBoxUnlessSuppressed() {
    env_->writeConf({{"read-status-code", "\"SANE_STATUS_JAMMED\""}});
    eztw32_SetHideUI(true);
    eztw32_SuppressErrorMessages(false);
    QString text;
    whenShown("eztw32Message", [&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      text = box->text();
      QCOMPARE(box->windowTitle(), QString("Dialog test"));
      box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(eztw32_Acquire(hwnd()), 0);
    QVERIFY(text.contains("jammed"));
    QCOMPARE(eztw32_LastErrorCode(), 5);
  }

  void selectSourceKeepsTheChoice() {
    // The dialog opens while the devices are still being searched for.
    whenShown("eztw32SelectSource", [](QWidget* w) {
      auto* list = w->findChild<QListWidget*>("sources");
      QVERIFY(list);
      if (list->count() < 2) return;
      list->setCurrentRow(1);
      QTest::keyClick(w, Qt::Key_Return);
    });
    QVERIFY(eztw32_SelectImageSource(hwnd()));
    QVERIFY(QString::fromStdString(eztw32_GetDefaultSourceName()).endsWith("(test:1)"));
    whenShown("eztw32SelectSource", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QVERIFY(!eztw32_SelectImageSource(hwnd()));
    QCOMPARE(messages_.size(), size_t{1});  // the wrapper's "could not select a Source"
    QVERIFY(QString::fromStdString(eztw32_GetDefaultSourceName()).endsWith("(test:1)"));
    // The choice opens by its name.
    QVERIFY(eztw32_OpenDefaultSource());
    QVERIFY(QString::fromStdString(eztw32_GetSourceName()).endsWith("(test:1)"));
    QVERIFY(eztw32_CloseSource() && eztw32_CloseSourceManager(hwnd()) &&
            eztw32_UnloadSourceManager());
  }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
