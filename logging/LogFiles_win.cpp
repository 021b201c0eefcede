#include <windows.h>

#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/LogFiles.h"

namespace orvane {
namespace {

std::string ErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD size = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = size && buffer ? std::wstring(buffer, size) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "Erreur E/S " + std::to_string(error);
  return WideToUtf8(text);
}

[[noreturn]] void Fail(const std::string& name, DWORD error) {
  throw EInOutError(ErrorText(error) + " (" + name + ")");
}

class WinLogFile : public LogFile {
 public:
  WinLogFile(HANDLE handle, std::string name) : handle_(handle), name_(std::move(name)) {}
  ~WinLogFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  void Write(const std::string& bytes) override {
    // The writers of one file take turns: each line goes whole to the file's end, which Wine
    // does not ensure for a handle that may only append. The lock is a byte far beyond any
    // log's end, so it never covers the file's content.
    OVERLAPPED turn{};
    turn.Offset = 0xFFFFFFFE;
    turn.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn)) Fail(name_, GetLastError());
    struct Unlock {
      HANDLE handle;
      OVERLAPPED* turn;
      ~Unlock() { UnlockFileEx(handle, 0, 1, 0, turn); }
    } unlock{handle_, &turn};
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(handle_, end, nullptr, FILE_END)) Fail(name_, GetLastError());
    size_t done = 0;
    while (done < bytes.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
      if (!WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr)) Fail(name_, GetLastError());
      done += written;
    }
  }
  void Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) Fail(name_, GetLastError());
  }

 private:
  HANDLE handle_;
  std::string name_;
};

// Creates the folders above Name that are missing, as a configured log\ folder may be.
void CreateParentFolders(const std::wstring& name) {
  // Past the drive ("C:\") or the server and share of a network name.
  size_t start = 3;
  if (name.rfind(L"\\\\", 0) == 0) {
    start = name.find(L'\\', 2);
    start = start == std::wstring::npos ? name.size() : name.find(L'\\', start + 1);
  }
  for (size_t slash = name.find_first_of(L"\\/", start); slash != std::wstring::npos;
       slash = name.find_first_of(L"\\/", slash + 1)) {
    const std::wstring folder = name.substr(0, slash);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

class WinLogFiles : public LogFiles {
 public:
  bool Exists(const std::string& name) override {
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  std::unique_ptr<LogFile> Open(const std::string& name, OpenMode mode) override {
    // Readers may read, copy or move the file between lines and even while a line is written.
    // Other writers too: the stations that run the program from a shared folder all write the
    // same log and take turns with a lock (see Write), which needs read or write access: an
    // appending handle also asks to read.
    const std::wstring wide = Utf8ToWide(name);
    const auto open = [&] {
      return CreateFileW(wide.c_str(), mode == OpenMode::Append ? FILE_APPEND_DATA | FILE_READ_DATA : GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         mode == OpenMode::Append ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE handle = open();
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND && mode == OpenMode::Create) {
      CreateParentFolders(wide);
      handle = open();
    }
    if (handle == INVALID_HANDLE_VALUE) Fail(name, GetLastError());
    auto file = std::make_unique<WinLogFile>(handle, name);
    // A device (NUL, CON, a port) or a pipe would swallow the lines or hold the writer.
    if (GetFileType(handle) != FILE_TYPE_DISK) FailNotRegularFile(name);
    return file;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return MoveFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str()) != 0;
  }
};

}  // namespace

template <>
LogFiles& PlatformAdapter<LogFiles>() {
  static WinLogFiles adapter;
  return adapter;
}

}  // namespace orvane
