// SPDX-License-Identifier: GPL-2.0-or-later
// Sorrelby: the sample program of the Quillmere wrapper library.
#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "commandline.h"
#include "messages.h"
#include "sorrelby.h"

namespace {

// The status of a command line that could not be used, as command-line tools
// report misuse.
constexpr int kUsageError = 2;

std::vector<std::string> arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  using Action = sorrelby::CommandLine::Action;
  // Help and version are answered before any window system is needed.
  const sorrelby::CommandLine early = sorrelby::readCommandLine(arguments(argc, argv));
  if (early.action == Action::Help || early.action == Action::Version) {
    std::fputs(early.text.c_str(), stdout);
    return 0;
  }
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  const sorrelby::CommandLine rest = sorrelby::readCommandLine(arguments(argc, argv));
  if (rest.action == Action::Unknown) {
    std::fputs(rest.text.c_str(), stderr);
    return kUsageError;
  }
  sorrelby::installMessageSink({});
  AppSys();
  Main();
  return 0;
}
