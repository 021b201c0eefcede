#include "common/Global_File.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "common/ApplicationName.h"
#include "platform/Clock.h"
#include "common/DateTimeFormat.h"
#include "common/Exceptions.h"
#include "common/Global_Computer.h"
#include "common/Global_Utils.h"
#include "platform/Port.h"
#include "platform/ProcessRunner.h"

namespace orvane {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

bool StartsWith(const std::string& text, std::string_view prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

bool IsDriveLetterPath(const std::string& path) { return path.size() >= 2 && path[1] == ':' && path[0] != '\\'; }

struct PathFailure {};

// Splits path (after its root) into folders, resolving "." and ".."; ".." never climbs above the
// root.
std::string JoinResolved(const std::string& root, const std::string& rest, char separator) {
  std::vector<std::string> folders;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t next = rest.find(separator, pos);
    if (next == std::string::npos) next = rest.size();
    const std::string folder = rest.substr(pos, next - pos);
    if (folder == "..") {
      if (!folders.empty()) folders.pop_back();
    } else if (!folder.empty() && folder != ".") {
      folders.push_back(folder);
    }
    pos = next + 1;
  }
  std::string result = root;
  for (const std::string& folder : folders) {
    if (!result.empty() && result.back() != separator) result += separator;
    result += folder;
  }
  if (result.empty() || result.back() != separator) result += separator;
  return result;
}

// The root of an absolute Windows path ("C:\", "\\server\share\") and what follows it.
void SplitWindowsRoot(const std::string& path, std::string& root, std::string& rest) {
  if (StartsWith(path, "\\\\")) {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) {
      root = path + "\\";
      rest.clear();
      return;
    }
    if (server + 1 >= path.size()) {
      root = path;
      rest.clear();
      return;
    }
    size_t share = path.find('\\', server + 1);
    if (share == std::string::npos) share = path.size();
    root = path.substr(0, share) + "\\";
    rest = share < path.size() ? path.substr(share + 1) : std::string();
    return;
  }
  root = path.substr(0, 2) + "\\";
  rest = path.size() > 3 ? path.substr(3) : std::string();
}

std::string MakeAbsoluteWindows(std::string base, const std::string& currentDirectory) {
  // As the system's full-path resolution does, "/" in a folder counts as "\".
  for (char& c : base) {
    if (c == '/') c = '\\';
  }
  const bool absolute = StartsWith(base, "\\\\") || (IsDriveLetterPath(base) && base.size() >= 3 && base[2] == '\\');
  std::string root, rest;
  if (absolute) {
    SplitWindowsRoot(base, root, rest);
    return JoinResolved(root, rest, '\\');
  }
  std::string current = currentDirectory;
  for (char& c : current) {
    if (c == '/') c = '\\';
  }
  if (!(StartsWith(current, "\\\\") || (IsDriveLetterPath(current) && current.size() >= 3 && current[2] == '\\'))) {
    throw PathFailure{};
  }
  std::string currentRoot, currentRest;
  SplitWindowsRoot(current, currentRoot, currentRest);
  if (IsDriveLetterPath(base)) {
    // "D:name": relative to the current directory when it is on that drive, else to the drive's root.
    const bool sameDrive = (base[0] | 0x20) == (current[0] | 0x20) && IsDriveLetterPath(current);
    if (sameDrive) return JoinResolved(currentRoot, currentRest + "\\" + base.substr(2), '\\');
    return JoinResolved(base.substr(0, 2) + "\\", base.substr(2), '\\');
  }
  if (StartsWith(base, "\\")) return JoinResolved(currentRoot, base.substr(1), '\\');
  return JoinResolved(currentRoot, currentRest + "\\" + base, '\\');
}

std::string MakeAbsolutePosix(const std::string& base, const std::string& currentDirectory) {
  if (StartsWith(base, "/")) return JoinResolved("/", base.substr(1), '/');
  if (!StartsWith(currentDirectory, "/")) throw PathFailure{};
  return JoinResolved("/", currentDirectory.substr(1) + "/" + base, '/');
}

// The parent of an absolute folder that ends with its separator, the separator kept.
std::string ParentFolder(const std::string& folder, char separator) {
  const size_t last = folder.size() >= 2 ? folder.rfind(separator, folder.size() - 2) : std::string::npos;
  if (last == std::string::npos) throw PathFailure{};
  return folder.substr(0, last + 1);
}

std::string ResolveWindows(std::string name, std::string base) {
  while (true) {
    name = Trim(name);
    if (name.empty()) return base;
    if (name.size() >= 3 && name[1] == ':' && name[2] == '\\') return name;
    if (StartsWith(name, "\\\\")) return name;
    if (StartsWith(name, ".\\")) {
      name.erase(0, 2);
      continue;
    }
    if (StartsWith(name, "..\\")) {
      base = ParentFolder(base, '\\');
      // A ".." step never reaches the root of a drive or of a network name.
      if (base == "\\\\" || (base.size() == 3 && base[1] == ':' && base[2] == '\\')) throw PathFailure{};
      name.erase(0, 3);
      continue;
    }
    if (StartsWith(name, "\\")) {
      if (!IsDriveLetterPath(base)) throw PathFailure{};
      return base.substr(0, 2) + name;
    }
    return base + name;
  }
}

std::string ResolvePosix(std::string name, std::string base) {
  while (true) {
    name = Trim(name);
    if (name.empty()) return base;
    if (StartsWith(name, "/")) return name;
    if (StartsWith(name, "./")) {
      name.erase(0, 2);
      continue;
    }
    if (StartsWith(name, "../")) {
      base = ParentFolder(base, '/');
      if (base == "/") throw PathFailure{};
      name.erase(0, 3);
      continue;
    }
    return base + name;
  }
}

// ---- File-name masks

constexpr size_t kTokenSearchLength = 300;
constexpr size_t kKeptAfterToken = 400;
// A replacement may hold "?" and so start another token; a value that names itself would never
// end, so the number of replacements is bounded far above any real mask.
constexpr int kMaxReplacements = 1000;

// The position Count characters after Pos, or the end: a UTF-8 character counts once.
size_t AfterCharacters(const std::string& text, size_t pos, size_t count) {
  for (; pos < text.size(); ++pos) {
    if ((static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) continue;
    if (count-- == 0) return pos;
  }
  return text.size();
}

[[noreturn]] void InvalidMask(const std::string& mask) {
  throw Exception("FileLogger : Masque de fichier invalide \"" + mask + "\"");
}

// When a name formatted with Format at Now may next change: the start of the next period of the
// format's finest unit.
TDateTime NextChangeOf(const std::string& format, TDateTime now, TDateTime current) {
  static constexpr char kUnits[] = {'z', 's', 'n', 'h', 'd', 'm', 'y'};
  char unit = 0;
  for (char letter : kUnits) {
    for (char c : format) {
      if ((c | 0x20) == letter) {
        unit = letter;
        break;
      }
    }
    if (unit != 0) break;
  }
  if (unit == 0) return current;
  if (unit == 'z') return now;
  const DateTimeParts p = DecodeDateTime(now);
  const TDateTime dayStart = EncodeDateTime(p.year, p.month, p.day);
  const auto atMs = [&](int64_t msOfDay) { return dayStart + static_cast<double>(msOfDay) / 86400000.0; };
  switch (unit) {
    case 's': return atMs((static_cast<int64_t>((p.hour * 60 + p.minute) * 60 + p.second) + 1) * 1000);
    case 'n': return atMs((static_cast<int64_t>(p.hour * 60 + p.minute) + 1) * 60000);
    case 'h': return atMs((static_cast<int64_t>(p.hour) + 1) * 3600000);
    case 'd': return dayStart + 1;
    case 'm':
      if (p.month == 12) return p.year == 9999 ? kNoChangeTime : EncodeDateTime(p.year + 1, 1, 1);
      return EncodeDateTime(p.year, p.month + 1, 1);
    default:
      return p.year == 9999 ? kNoChangeTime : EncodeDateTime(p.year + 1, 1, 1);
  }
}

}  // namespace

std::string GetAbsoluteFileName(const std::string& fileName, const std::string& basePath, PathStyle style,
                                const std::string& currentDirectory) {
  try {
    if (style == PathStyle::Windows) {
      return ResolveWindows(fileName, MakeAbsoluteWindows(basePath, currentDirectory));
    }
    // A "\" in a configured name reads as "/".
    std::string name = fileName, base = basePath;
    for (char& c : name) {
      if (c == '\\') c = '/';
    }
    for (char& c : base) {
      if (c == '\\') c = '/';
    }
    return ResolvePosix(name, MakeAbsolutePosix(base, currentDirectory));
  } catch (const PathFailure&) {
    throw Exception("Erreur GetAbsoluteFileName(" + fileName + "," + basePath + ")");
  }
}

std::string TGlobalFile::GetAbsoluteFileName(const std::string& fileName, const std::string& basePath) const {
  return orvane::GetAbsoluteFileName(fileName, basePath, NativePathStyle(), CurrentDirectory());
}

std::string TGlobalFile::ExpandFileMask(const std::string& mask, TDateTime& nextChange) const {
  nextChange = kNoChangeTime;
  std::string result = mask;
  // One reading of the clock for the whole mask, so its date tokens agree.
  std::optional<TDateTime> now;
  const auto dateToken = [&](const std::string& format) {
    if (!now) now = Port<Clock>().Now();
    nextChange = NextChangeOf(format, *now, nextChange);
    return FormatDateTime(format, *now);
  };
  int replacements = 0;
  for (size_t first; (first = result.find('?')) != std::string::npos;) {
    const size_t second = result.find('?', first + 1);
    if (second == std::string::npos || second >= AfterCharacters(result, first + 1, kTokenSearchLength))
      InvalidMask(mask);
    if (++replacements > kMaxReplacements) InvalidMask(mask);
    const std::string token = result.substr(first, second - first + 1);
    std::string replacement;
    if (token == "?STATION_NAME?") {
      replacement = GetStationName(true, true);
    } else if (token == "?STATION_NAME_NOTS?") {
      replacement = GetStationName(false, false);
    } else if (token == "?DATE?") {
      replacement = dateToken("yyyymmdd");
    } else if (token == "?DATEHEURE?") {
      replacement = dateToken("yyyymmddhhnnss");
    } else if (token == "?EXENAME?") {
      replacement = ProgramBaseName();
    } else if (StartsWith(token, "?FORMATDATE")) {
      replacement = dateToken(token.substr(11, token.size() - 12));
    } else if (StartsWith(token, "?PARAMSTR=")) {
      GetParamValue(token.substr(10, token.size() - 11), replacement);
    } else {
      InvalidMask(mask);
    }
    std::string expanded = result.substr(0, first);
    expanded += replacement;
    expanded += result.substr(second + 1, AfterCharacters(result, second + 1, kKeptAfterToken) - (second + 1));
    result = std::move(expanded);
  }
  return result;
}

std::string TGlobalFile::ExpandFileMask(const std::string& mask, bool& isDated) const {
  TDateTime nextChange = kNoChangeTime;
  std::string result = ExpandFileMask(mask, nextChange);
  isDated = nextChange < kNoChangeTime;
  return result;
}

std::string TGlobalFile::ExpandFileMask(const std::string& mask) const {
  TDateTime nextChange = kNoChangeTime;
  return ExpandFileMask(mask, nextChange);
}

namespace {

// The logging thread expands its file names with the instance while the window thread works.
std::mutex gInstanceLock;
std::atomic<TGlobalFile*> gInstance{nullptr};

}  // namespace

TGlobalFile& GlobalFile() {
  if (TGlobalFile* instance = gInstance.load(std::memory_order_acquire)) return *instance;
  std::lock_guard<std::mutex> lock(gInstanceLock);
  TGlobalFile* instance = gInstance.load(std::memory_order_relaxed);
  if (instance == nullptr) {
    instance = new TGlobalFile;
    gInstance.store(instance, std::memory_order_release);
  }
  return *instance;
}

void ReleaseGlobalFile() {
  std::lock_guard<std::mutex> lock(gInstanceLock);
  delete gInstance.exchange(nullptr);
}

uint32_t RunProcess(const std::string& program, const std::string& parameters, uint16_t showWindow, bool wait) {
  const std::string commandLine = Trim(program + " " + parameters);
  const ProcessRunner::Outcome outcome = Port<ProcessRunner>().Run(commandLine, showWindow, wait);
  if (!outcome.started) {
    if (outcome.error == 2) {
      throw Exception("Impossible d'exécuter le programme suivant :\r" + commandLine + "\rProgramme non trouvé !");
    }
    throw Exception("Incapable d'exécuter le programme suivant :\r" + commandLine + "\r. Code d'erreur " +
                    std::to_string(outcome.error));
  }
  return wait ? outcome.exitCode : kNoExitCode;
}

}  // namespace orvane
