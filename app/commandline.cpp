// SPDX-License-Identifier: GPL-2.0-or-later
#include "commandline.h"

namespace sorrelby {

namespace {

constexpr const char* kUsage =
    "Usage: sorrelby [--help] [--version]\n"
    "\n"
    "Sorrelby, the sample program of the Quillmere scanning library: select a\n"
    "scanner, acquire an image into memory, into MYTEST.JPG or MYTEST.BMP in the\n"
    "current folder or by way of the clipboard, and browse image files.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Qt's own options (-platform, -display, -style, ...) are accepted as well.\n";

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return {CommandLine::Action::Help, kUsage};
    if (arg == "--version")
      return {CommandLine::Action::Version, std::string("sorrelby ") + SORRELBY_VERSION + "\n"};
  }
  if (args.empty()) return {};
  const std::string& first = args.front();
  const std::string what =
      !first.empty() && first[0] == '-' ? "unknown option" : "unexpected argument";
  return {CommandLine::Action::Unknown,
          "sorrelby: " + what + " '" + first + "'\nTry 'sorrelby --help' for more information.\n"};
}

}  // namespace sorrelby
