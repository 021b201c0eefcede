#include "common/ApplicationName.h"

#include "common/CommandLine.h"
#include "common/Port.h"

namespace orvane {
namespace {

size_t LastSeparator(const std::string& path, PathStyle style) {
  return style == PathStyle::Windows ? path.find_last_of("\\/:") : path.rfind('/');
}

}  // namespace

std::string ProgramBaseName(const std::string& programPath, PathStyle style) {
  const size_t separator = LastSeparator(programPath, style);
  std::string name = separator == std::string::npos ? programPath : programPath.substr(separator + 1);
  if (style == PathStyle::Windows) {
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
  } else {
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
  }
  return name;
}

std::string FolderOf(const std::string& programPath, PathStyle style) {
  const size_t separator = LastSeparator(programPath, style);
  return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

std::string ApplicationTitle() { return ProgramBaseName(Port<CommandLine>().ProgramPath(), NativePathStyle()); }

std::string ApplicationKey() { return ApplicationTitle(); }

std::string ProgramFolder() { return FolderOf(Port<CommandLine>().ProgramPath(), NativePathStyle()); }

}  // namespace orvane
