#pragma once
// The base of every logger: level and channel filter, line layout, the level of the line being
// written.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/DateTime.h"

namespace orvane {

// Ordered Name=Value lines handed to a logger at construction.
using TLoggerParams = std::vector<std::string>;

// A parameter line split at its first "="; a line without "=" has an empty name.
struct TLoggerParam {
  std::string name;
  std::string value;
};
TLoggerParam SplitLoggerParam(const std::string& line);

// The integer conversion of configuration values: optional leading blanks, a sign, decimal
// digits or "$"/"0x" and hexadecimal digits, within 32 bits.
bool TryParseInteger(const std::string& text, int32_t& value);
// As TryParseInteger; fails with EConvertError naming the text.
int32_t ParseInteger(const std::string& text);

inline constexpr const char* kDefaultLogTimeFormat = "yyyy-mm-dd hh:nn:ss.zzz";

class TLogger {
 public:
  // Every logger class takes the same arguments, so the configuration can create any of them.
  TLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
          std::string formatDateTime, bool insertNiveauLog);
  virtual ~TLogger() = default;
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;

  // Filters, composes and writes one line. Only one thread at a time may call it.
  void Log(const std::string& message, uint8_t level, int32_t specific);

  uint8_t NiveauMax() const { return vNiveauMax; }
  int32_t LogSpecifique() const { return vLogSpecifique; }
  bool InsertTime() const { return vInsertTime; }
  const std::string& FormatDateTime() const { return vFormatDateTime; }
  bool InsertNiveauLog() const { return vInsertNiveauLog; }
  uint8_t CurrentLevel() const { return currentLevel_; }

  // Whether a message of that level and channel concerns this logger.
  bool Accepts(uint8_t level, int32_t specific) const;

 protected:
  // Writes one finished line to the logger's medium.
  virtual void DoLog(const std::string& line) = 0;

 private:
  uint8_t vNiveauMax;
  bool vInsertTime;
  std::string vFormatDateTime;
  int32_t vLogSpecifique;
  uint8_t currentLevel_ = 0;
  bool vInsertNiveauLog;
  // The last time stamp formatted, with ": ", and the time it shows.
  std::string stamp_;
  TDateTime stampTime_ = 0;
  bool stampValid_ = false;
};

}  // namespace orvane
