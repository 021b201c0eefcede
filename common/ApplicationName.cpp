#include "common/ApplicationName.h"

#include "platform/CommandLine.h"
#include "common/Global_Utils.h"
#include "platform/Port.h"

namespace orvane {
namespace {

size_t LastSeparator(const std::string& path, PathStyle style) {
  return style == PathStyle::Windows ? path.find_last_of("\\/:") : path.rfind('/');
}

std::string FileNameOf(const std::string& programPath, PathStyle style) {
  const size_t separator = LastSeparator(programPath, style);
  return separator == std::string::npos ? programPath : programPath.substr(separator + 1);
}

// Only the letters a to z change, as the configuration's ExeName is written.
std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string OwnPath() { return Port<CommandLine>().ProgramPath(); }

}  // namespace

std::string ProgramBaseName(const std::string& programPath, PathStyle style) {
  std::string name = FileNameOf(programPath, style);
  if (style == PathStyle::Windows) {
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
  } else {
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
  }
  return name;
}

std::string ApplicationTitleOf(const std::string& programPath, PathStyle style) {
  std::string name = FileNameOf(programPath, style);
  name.resize(std::min(name.find('.'), name.size()));
  return LowerCaseFrom(name, 1);
}

std::string ApplicationKeyOf(const std::string& programPath, PathStyle style) {
  const std::string key = AsciiUpper(ProgramBaseName(programPath, style));
  const std::string title = ApplicationTitleOf(programPath, style);
  if (!title.empty() && key.size() >= title.size() && SameTextNoCase(key.substr(0, title.size()), title))
    return AsciiUpper(title);
  return key;
}

std::string FolderOf(const std::string& programPath, PathStyle style) {
  const size_t separator = LastSeparator(programPath, style);
  return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

std::string ProgramBaseName() { return ProgramBaseName(OwnPath(), NativePathStyle()); }

std::string ApplicationTitle() { return ApplicationTitleOf(OwnPath(), NativePathStyle()); }

std::string ApplicationKey() { return ApplicationKeyOf(OwnPath(), NativePathStyle()); }

std::string ProgramFolder() { return FolderOf(OwnPath(), NativePathStyle()); }

}  // namespace orvane
