#include "platform/CommandLine.h"

namespace orvane {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  size_t pos = 0;
  const size_t size = commandLine.size();
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (true) {
    while (pos < size && blank(commandLine[pos])) ++pos;
    if (pos >= size) break;
    std::string word;
    bool quoted = false;
    while (pos < size && (quoted || !blank(commandLine[pos]))) {
      const char c = commandLine[pos++];
      if (c == '"') {
        quoted = !quoted;
      } else {
        word += c;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace orvane
