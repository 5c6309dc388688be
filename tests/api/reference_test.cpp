// SPDX-License-Identifier: MIT
// The reference in the public headers against the wrapper's own function
// table and the ABI table, so that neither drifts from the code.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "function_table.h"

namespace {

std::string readFile(const char* path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string collapseSpaces(std::string s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  return out;
}

// The doc comment that ends right before the declaration of `name`: the line
// that starts with `lead` and contains " name(".
std::string commentBefore(const std::string& text, const std::string& lead,
                          const std::string& name) {
  std::size_t at = 0;
  for (at = text.find(" " + name + "("); at != std::string::npos;
       at = text.find(" " + name + "(", at + 1)) {
    const auto lineStart = text.rfind('\n', at) + 1;
    if (text.compare(lineStart, lead.size(), lead) == 0) break;
  }
  if (at == std::string::npos) return {};
  const auto lineStart = text.rfind('\n', at) + 1;
  const auto end = text.rfind("*/", at);
  const auto begin = text.rfind("/**", at);
  if (end == std::string::npos || begin == std::string::npos || begin > end) return {};
  // Only blank space may stand between the comment and the declaration.
  if (text.find_first_not_of(" \n", end + 2) < lineStart) return {};
  return text.substr(begin, end + 2 - begin);
}

// name(parameters) of every export, in order, from the ABI table's rows
// "X(family, name, (parameters), (arguments))".
std::vector<std::string> abiExports() {
  const std::string abi = readFile(ABI_HEADER);
  std::vector<std::string> out;
  for (auto at = abi.find("  X("); at != std::string::npos; at = abi.find("  X(", at + 1)) {
    const auto name = abi.find(", ", at) + 2;
    const auto open = abi.find(", (", name);
    const auto close = abi.find("), (", open);
    out.push_back(abi.substr(name, open - name) + "(" + abi.substr(open + 3, close - open - 3) +
                  ")");
  }
  return out;
}

// name(parameters) of every declaration "EZTW32_API int32_t EZTW32_CALL name(...);".
std::vector<std::string> cHeaderExports() {
  const std::string header = readFile(C_HEADER);
  const std::string lead = "EZTW32_API int32_t EZTW32_CALL ";
  std::vector<std::string> out;
  for (auto at = header.find(lead); at != std::string::npos; at = header.find(lead, at + 1)) {
    const auto start = at + lead.size();
    out.push_back(collapseSpaces(header.substr(start, header.find(");", start) + 1 - start)));
  }
  return out;
}

TEST(CHeader, DeclaresExactlyTheAbiTableInItsOrder) {
  const auto table = abiExports();
  ASSERT_EQ(table.size(), 129u);
  EXPECT_EQ(cHeaderExports(), table);
}

TEST(CHeader, EveryExportIsDocumentedWithItsWrapper) {
  const std::string header = readFile(C_HEADER);
  for (const auto& f : quillmere::functionTable()) {
    if (*f.exportName == '\0') continue;
    const std::string doc = commentBefore(header, "EZTW32_API ", f.exportName);
    SCOPED_TRACE(f.exportName);
    EXPECT_NE(doc.find("@brief"), std::string::npos);
    EXPECT_NE(doc.find("@return"), std::string::npos);
    EXPECT_NE(doc.find(std::string("@see ") + f.wrapper + "()"), std::string::npos) << doc;
  }
}

TEST(WrapperHeader, EveryWrapperNamesTheOneExportItCalls) {
  const std::string header = readFile(WRAPPER_HEADER);
  std::size_t documented = 0;
  for (const auto& f : quillmere::functionTable()) {
    const std::string doc = commentBefore(header, "QUILLMERE_EXPORT ", f.wrapper);
    SCOPED_TRACE(f.wrapper);
    ASSERT_NE(doc.find("@brief"), std::string::npos) << "no reference comment";
    const bool returnsValue = std::string(f.result) != "None";
    EXPECT_EQ(doc.find("@return") != std::string::npos, returnsValue) << doc;
    if (*f.exportName == '\0') continue;  // the two binding functions
    EXPECT_NE(doc.find(std::string("Calls `") + f.exportName + "`."), std::string::npos) << doc;
    EXPECT_EQ(doc.find("Calls `"), doc.rfind("Calls `")) << "names more than one export";
    ++documented;
  }
  EXPECT_EQ(documented, 129u);
}

}  // namespace
