// SPDX-License-Identifier: MIT
// Writes a function list file from the wrapper's function table.
//   quillmere_functionlist 1 OUT        part one: binding, status, sources, acquisition
//   quillmere_functionlist 2 OUT        part two: DIBs, capabilities, errors
//   quillmere_functionlist not IN OUT   the wrappers whose exports IN names (one per
//                                       line, # comments) as not honoured
#include "function_table.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string resultText(const std::string& conv) {
  if (conv == "Number") return "number";
  if (conv == "AboveZero") return "logical (above 0)";
  if (conv == "ExactlyOne") return "logical (exactly 1)";
  if (conv == "ExactlyZero") return "logical (exactly 0)";
  if (conv == "NameText") return "text";
  return "no value";
}

std::string line(const quillmere::FunctionEntry& e) {
  std::string params = e.parameters;
  std::string s = std::string(e.wrapper) + params;
  if (s.size() < 56) s.resize(56, ' ');
  s += " -> ";
  s += *e.exportName ? e.exportName : "(binding)";
  s += ", ";
  s += resultText(e.result);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s 1|2 OUT | not IN OUT\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  std::ostringstream out;
  int count = 0;
  if (mode == "1" || mode == "2") {
    const bool one = mode == "1";
    const std::set<std::string> partOne = {"binding", "status", "sources", "acquire"};
    out << (one ? "Quillmere functions, part one: binding, status, sources, acquisition\n"
                : "Quillmere functions, part two: DIBs, device capabilities, errors\n");
    out << "wrapper(parameters)                                      -> export, result\n\n";
    std::string family;
    for (const auto& e : quillmere::functionTable()) {
      if (partOne.count(e.family) != (one ? 1u : 0u)) continue;
      if (family != e.family) {
        if (!family.empty()) out << '\n';
        family = e.family;
        out << "[" << family << "]\n";
      }
      out << line(e) << '\n';
      ++count;
    }
    out << '\n' << count << " functions\n";
  } else if (mode == "not" && argc >= 4) {
    std::ifstream in(argv[2]);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[2]);
      return 1;
    }
    std::set<std::string> missing;
    for (std::string l; std::getline(in, l);) {
      auto end = l.find_first_of("# \t\r");
      l = l.substr(0, end);
      if (!l.empty()) missing.insert(l);
    }
    out << "Quillmere functions whose export libeztw32 for Linux cannot honour on SANE\n\n";
    for (const auto& e : quillmere::functionTable())
      if (missing.count(e.exportName)) {
        out << line(e) << '\n';
        ++count;
      }
    if (count == 0) out << "None: every function is ported.\n";
  } else {
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
  }
  const char* path = argv[argc - 1];
  std::ofstream f(path, std::ios::binary);
  f << out.str();
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", path);
    return 1;
  }
  return 0;
}
