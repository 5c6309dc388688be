// SPDX-License-Identifier: GPL-2.0-or-later
// The command line: the program takes no arguments of its own beyond the two
// every desktop program answers, --help and --version.
#ifndef SORRELBY_COMMANDLINE_H
#define SORRELBY_COMMANDLINE_H

#include <string>
#include <vector>

namespace sorrelby {

struct CommandLine {
  enum class Action { Run, Help, Version, Unknown };
  Action action = Action::Run;
  // What to print: the usage or version text on standard output, or the
  // complaint about an unknown argument on standard error.
  std::string text;
};

// Reads the arguments after the program's name. --help (-h) and --version
// win wherever they stand; otherwise the first argument names an unknown
// option. Qt's own options are taken out by QApplication before the final
// reading, so that they are not unknown.
CommandLine readCommandLine(const std::vector<std::string>& args);

}  // namespace sorrelby

#endif
