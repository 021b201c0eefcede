// A program for the Windows adapter tests to start: "exit N" ends with code N; "dump File"
// writes the arguments it read from its own command line to File, one per line.
#include <fstream>
#include <string>

#include "platform/CommandLine.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"

int main() {
  const std::vector<std::string> arguments = orvane::PlatformAdapter<orvane::CommandLine>().Arguments();
  if (arguments.size() >= 2 && arguments[0] == "exit") return std::stoi(arguments[1]);
  if (arguments.size() >= 2 && arguments[0] == "dump") {
    std::ofstream out(orvane::Utf8ToWide(arguments[1]).c_str(), std::ios::binary);
    for (size_t i = 2; i < arguments.size(); ++i) out << arguments[i] << '\n';
    return out ? 0 : 1;
  }
  return 99;
}
