#include <QtTest>
class W : public QObject {
  Q_OBJECT
};
QTEST_MAIN(W)
#include "window_test.moc"
