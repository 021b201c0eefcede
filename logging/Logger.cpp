#include "logging/Logger.h"

#include "platform/Clock.h"
#include "common/DateTime.h"
#include "common/DateTimeFormat.h"
#include "platform/Port.h"


namespace orvane {

TLoggerParam SplitLoggerParam(const std::string& line) {
  const size_t equal = line.find('=');
  if (equal == std::string::npos) return {{}, {}};
  return {line.substr(0, equal), line.substr(equal + 1)};
}

bool TryParseInteger(const std::string& text, int32_t& value) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  int base = 10;
  if (pos < text.size() && text[pos] == '$') {
    base = 16;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos == text.size()) return false;
  int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > (int64_t{1} << 32)) return false;
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  if (base == 10 && (signedValue < INT32_MIN || signedValue > INT32_MAX)) return false;
  if (base == 16) {
    // Hexadecimal spells the 32 bits themselves, as $FFFFFFFF for -1.
    if (magnitude > UINT32_MAX) return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(negative ? -magnitude : magnitude));
    return true;
  }
  value = static_cast<int32_t>(signedValue);
  return true;
}


int32_t ParseInteger(const std::string& text) {
  int32_t value = 0;
  if (!TryParseInteger(text, value)) throw EConvertError("'" + text + "' n'est pas une valeur entière correcte");
  return value;
}

TLogger::TLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* /*params*/, bool insertTime,
                 std::string formatDateTime, bool insertNiveauLog)
    : vNiveauMax(niveauMax),
      vInsertTime(insertTime),
      vFormatDateTime(std::move(formatDateTime)),
      vLogSpecifique(logSpecifique),
      vInsertNiveauLog(insertNiveauLog) {}

bool TLogger::Accepts(uint8_t level, int32_t specific) const {
  const bool channel = vLogSpecifique == -1 || specific == vLogSpecifique || (vLogSpecifique == 0 && specific >= 0);
  return channel && level <= vNiveauMax;
}

void TLogger::Log(const std::string& message, uint8_t level, int32_t specific) {
  if (!Accepts(level, specific)) return;
  std::string line;
  if (vInsertTime) {
    // The clock reads whole milliseconds: the lines of one millisecond share their stamp, which
    // is then formatted once.
    const TDateTime now = Port<Clock>().Now();
    if (!stampValid_ || now != stampTime_) {
      stamp_ = orvane::FormatDateTime(vFormatDateTime, now);
      stamp_ += ": ";
      stampTime_ = now;
      stampValid_ = true;
    }
    line.reserve(stamp_.size() + 6 + message.size());
    line = stamp_;
  }
  if (vInsertNiveauLog) {
    // "[%3.3d] ": a level has at most three digits.
    const char text[] = {'[', static_cast<char>('0' + level / 100), static_cast<char>('0' + level / 10 % 10),
                         static_cast<char>('0' + level % 10), ']', ' '};
    line.append(text, sizeof text);
  }
  line += message;
  currentLevel_ = level;
  DoLog(line);
}

}  // namespace orvane
