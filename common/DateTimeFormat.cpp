#include "common/DateTimeFormat.h"

#include <cstring>

#include "platform/Port.h"
#include "platform/RegionalSettings.h"

namespace orvane {
namespace {

constexpr size_t kMaxCharacters = 256;

bool IsLeadByte(unsigned char c) { return c >= 0xC0; }
bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool StartsWithNoCase(std::string_view text, size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[pos + i]) != word[i]) return false;
  }
  return true;
}

// Renders into a fixed buffer: the output holds at most 256 characters, and a UTF-8 character
// counts once, so a cut never splits one.
class Renderer {
 public:
  Renderer(const FormatSettings& settings, TDateTime value) : settings_(settings), value_(value) {}

  void Render(std::string_view format) { Append(format, 0); }
  std::string Result() const { return std::string(buffer_, length_); }

 private:
  const DateTimeParts& Parts() {
    if (!decoded_) {
      parts_ = DecodeDateTime(value_);
      decoded_ = true;
    }
    return parts_;
  }

  void Put(const char* text, size_t size) {
    if (full_) return;
    for (size_t i = 0; i < size; ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (!IsContinuationByte(c)) {
        if (characters_ == kMaxCharacters) {
          full_ = true;
          return;
        }
        ++characters_;
      }
      if (length_ == sizeof(buffer_)) {
        full_ = true;
        return;
      }
      buffer_[length_++] = static_cast<char>(c);
    }
  }
  void Put(std::string_view text) { Put(text.data(), text.size()); }

  // Text known to be ASCII (digits, format characters): one byte is one character.
  void PutAscii(const char* text, size_t size) {
    if (!full_ && characters_ + size <= kMaxCharacters && length_ + size <= sizeof(buffer_)) {
      std::memcpy(buffer_ + length_, text, size);
      length_ += size;
      characters_ += size;
    } else {
      Put(text, size);
    }
  }

  // At least minDigits digits; values here are never negative. Time stamps are written for every
  // log line, so the common one-, two- and four-digit fields skip the general loop.
  void PutNumber(int value, int minDigits) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char out[12];
    if (value < 100 && minDigits <= 2) {
      if (value < 10 && minDigits <= 1) {
        out[0] = static_cast<char>('0' + value);
        PutAscii(out, 1);
      } else {
        PutAscii(kPairs + 2 * value, 2);
      }
      return;
    }
    if (value < 10000 && minDigits == 4) {
      std::memcpy(out, kPairs + 2 * (value / 100), 2);
      std::memcpy(out + 2, kPairs + 2 * (value % 100), 2);
      PutAscii(out, 4);
      return;
    }
    char digits[12];
    int n = 0;
    do {
      digits[n++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0);
    while (n < minDigits) digits[n++] = '0';
    for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    PutAscii(out, static_cast<size_t>(n));
  }

  void Append(std::string_view format, int level) {
    // A regional format met at the third level renders as nothing.
    if (level >= 2) return;
    char lastToken = ' ';
    bool use12Hour = false;
    // Without any a, no hour of this format can be on the twelve-hour clock.
    const bool mayHaveAmPm = std::memchr(format.data(), 'a', format.size()) != nullptr ||
                             std::memchr(format.data(), 'A', format.size()) != nullptr;
    size_t pos = 0;
    const size_t size = format.size();
    while (pos < size && !full_) {
      const char starter = format[pos];
      if (IsLeadByte(static_cast<unsigned char>(starter))) {
        size_t end = pos + 1;
        while (end < size && IsContinuationByte(static_cast<unsigned char>(format[end]))) ++end;
        Put(format.data() + pos, end - pos);
        pos = end;
        lastToken = ' ';
        continue;
      }
      ++pos;
      char token = Upper(starter);
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      // The length of the run of the same character, the starter included.
      const auto runCount = [&] {
        int count = 1;
        while (pos < size && format[pos] == starter) ++pos, ++count;
        return count;
      };
      switch (token) {
        case 'Y': {
          const int count = runCount();
          if (count <= 2) {
            PutNumber(Parts().year % 100, 2);
          } else {
            PutNumber(Parts().year, 4);
          }
          break;
        }
        case 'M': {
          const int count = runCount();
          const int month = Parts().month;
          if (count <= 2) {
            PutNumber(month, count);
          } else if (count == 3) {
            Put(settings_.shortMonthNames[month - 1]);
          } else {
            Put(settings_.longMonthNames[month - 1]);
          }
          break;
        }
        case 'D': {
          const int count = runCount();
          if (count <= 2) {
            PutNumber(Parts().day, count);
          } else if (count == 3) {
            Put(settings_.shortDayNames[Parts().dayOfWeek - 1]);
          } else if (count == 4) {
            Put(settings_.longDayNames[Parts().dayOfWeek - 1]);
          } else if (count == 5) {
            Append(settings_.shortDateFormat, level + 1);
          } else {
            Append(settings_.longDateFormat, level + 1);
          }
          break;
        }
        case 'E':
          runCount();
          PutNumber(Parts().year, 1);
          break;
        case 'G':
          // A Gregorian calendar has no era name.
          runCount();
          break;
        case 'H': {
          const int count = runCount();
          if (!use12Hour && mayHaveAmPm) use12Hour = NextAOrHBeginsAmPm(format, pos);
          int hour = Parts().hour;
          if (use12Hour) {
            if (hour == 0) {
              hour = 12;
            } else if (hour > 12) {
              hour -= 12;
            }
          }
          PutNumber(hour, count > 2 ? 2 : count);
          break;
        }
        case 'N': {
          const int count = runCount();
          PutNumber(Parts().minute, count > 2 ? 2 : count);
          break;
        }
        case 'S': {
          const int count = runCount();
          PutNumber(Parts().second, count > 2 ? 2 : count);
          break;
        }
        case 'Z': {
          const int count = runCount();
          PutNumber(Parts().millisecond, count > 3 ? 3 : count);
          break;
        }
        case 'T': {
          const int count = runCount();
          Append(count == 1 ? settings_.shortTimeFormat : settings_.longTimeFormat, level + 1);
          break;
        }
        case 'C': {
          runCount();
          Append(settings_.shortDateFormat, level + 1);
          const DateTimeParts& p = Parts();
          if (p.hour != 0 || p.minute != 0 || p.second != 0) {
            Put(" ", 1);
            Append(settings_.longTimeFormat, level + 1);
          }
          break;
        }
        case 'A': {
          const size_t start = pos - 1;
          const bool afternoon = Parts().hour >= 12;
          if (StartsWithNoCase(format, start, "AM/PM")) {
            Put(format.data() + start + (afternoon ? 3 : 0), 2);
            pos = start + 5;
            use12Hour = true;
          } else if (StartsWithNoCase(format, start, "A/P")) {
            Put(format.data() + start + (afternoon ? 2 : 0), 1);
            pos = start + 3;
            use12Hour = true;
          } else if (StartsWithNoCase(format, start, "AMPM")) {
            Put(afternoon ? settings_.timePMString : settings_.timeAMString);
            pos = start + 4;
            use12Hour = true;
          } else if (StartsWithNoCase(format, start, "AAAA")) {
            Put(settings_.longDayNames[Parts().dayOfWeek - 1]);
            pos = start + 4;
          } else if (StartsWithNoCase(format, start, "AAA")) {
            Put(settings_.shortDayNames[Parts().dayOfWeek - 1]);
            pos = start + 3;
          } else {
            Put(&starter, 1);
          }
          break;
        }
        case '/':
          Put(settings_.dateSeparator);
          break;
        case ':':
          if (settings_.timeSeparator.size() == 1 && static_cast<unsigned char>(settings_.timeSeparator[0]) < 0x80) {
            PutAscii(settings_.timeSeparator.data(), 1);
            break;
          }
          Put(settings_.timeSeparator);
          break;
        case '\'':
        case '"': {
          // A quote that is never closed takes the rest of the format.
          const size_t close = format.find(starter, pos);
          const size_t end = close == std::string_view::npos ? size : close;
          Put(format.data() + pos, end - pos);
          pos = end == size ? size : end + 1;
          break;
        }
        default:
          if (static_cast<unsigned char>(starter) < 0x80) {
            PutAscii(&starter, 1);
          } else {
            Put(&starter, 1);
          }
          break;
      }
    }
  }

  // Whether the first a or h letter after an h run, outside quoted text, begins am/pm, a/p or
  // ampm: then that hour is on the twelve-hour clock. Quoted text is read as Append reads it:
  // only the quote that opened it closes it, and an open quote takes the rest.
  static bool NextAOrHBeginsAmPm(std::string_view format, size_t pos) {
    char openQuote = 0;
    for (; pos < format.size(); ++pos) {
      const char c = format[pos];
      if (openQuote) {
        if (c == openQuote) openQuote = 0;
      } else if (c == '\'' || c == '"') {
        openQuote = c;
      } else if (c == 'h' || c == 'H') {
        return false;
      } else if (c == 'a' || c == 'A') {
        return StartsWithNoCase(format, pos, "AM/PM") || StartsWithNoCase(format, pos, "A/P") ||
               StartsWithNoCase(format, pos, "AMPM");
      }
    }
    return false;
  }

  const FormatSettings& settings_;
  const TDateTime value_;
  DateTimeParts parts_;
  bool decoded_ = false;
  bool full_ = false;
  size_t characters_ = 0;
  size_t length_ = 0;
  // 256 characters of at most four bytes each.
  char buffer_[kMaxCharacters * 4];
};

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) {
  Renderer renderer(Port<RegionalSettings>().Settings(), value);
  renderer.Render(format.empty() ? std::string_view("c") : format);
  return renderer.Result();
}

}  // namespace orvane
