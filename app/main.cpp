// Sorrelby: the sample program of the Quillmere wrapper library.
#include <QApplication>

#include "messages.h"
#include "sorrelby.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  sorrelby::installMessageSink(sorrelby::showMessageBox);
  AppSys();
  Main();
  return 0;
}
