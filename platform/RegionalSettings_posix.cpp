#include "platform/RegionalSettings_posix.h"

#include <langinfo.h>
#include <locale.h>

#include <utility>

#include "platform/Port.h"

namespace orvane {
namespace {

bool IsConversionLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The first character between two conversions, e.g. "/" in %d/%m/%Y; empty when there is none.
std::string FirstSeparator(const std::string& format) {
  for (size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    size_t j = i + 1;
    while (j < format.size() && !IsConversionLetter(format[j])) ++j;
    if (j + 1 < format.size() && format[j + 1] != '%') return std::string(1, format[j + 1]);
    i = j;
  }
  return {};
}

// The format without its seconds (%S) and the separator just before them.
std::string WithoutSeconds(std::string format) {
  const size_t pos = format.find("%S");
  if (pos == std::string::npos) return format;
  size_t start = pos;
  if (start > 0 && format[start - 1] != ' ' && format[start - 1] != 'M') --start;
  format.erase(start, pos + 2 - start);
  return format;
}

// A date-and-time format without its time part, the long date of this platform.
std::string WithoutTime(const std::string& format) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      const char c = format[i + 1];
      if (std::string_view("TrRXHIMSpPZz").find(c) != std::string_view::npos) {
        ++i;
        continue;
      }
      out += format[i];
      out += c == 'a' ? 'A' : c == 'b' || c == 'h' ? 'B' : c;
      ++i;
    } else {
      out += format[i];
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  size_t pos;
  while ((pos = out.find("  ")) != std::string::npos) out.erase(pos, 1);
  return out;
}

}  // namespace

std::string TranslateStrftimeFormat(const std::string& format, const std::string& dateSeparator,
                                    const std::string& timeSeparator) {
  std::string out;
  std::string literal;
  const auto flushLiteral = [&] {
    if (literal.empty()) return;
    bool plain = true;
    for (char c : literal) {
      if (IsConversionLetter(c) || c == '\'' || c == '"' || c == '/' || c == ':') plain = false;
    }
    if (plain) {
      out += literal;
    } else {
      const char quote = literal.find('"') == std::string::npos ? '"' : '\'';
      out += quote;
      out += literal;
      out += quote;
    }
    literal.clear();
  };
  const auto token = [&](std::string_view text) {
    flushLiteral();
    out += text;
  };
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      const std::string one(1, c);
      if (one == dateSeparator) {
        token("/");
      } else if (one == timeSeparator) {
        token(":");
      } else {
        literal += c;
      }
      continue;
    }
    if (++i >= format.size()) break;
    // Flags and widths of the GNU extensions (%-d, %_H, %Ey, %Od) change nothing here.
    while (i < format.size() && std::string_view("-_0^#EO").find(format[i]) != std::string_view::npos) ++i;
    if (i >= format.size()) break;
    switch (format[i]) {
      case 'd': token("dd"); break;
      case 'e': token("d"); break;
      case 'm': token("mm"); break;
      case 'b': case 'h': token("mmm"); break;
      case 'B': token("mmmm"); break;
      case 'y': case 'g': token("yy"); break;
      case 'Y': case 'G': case 'C': token("yyyy"); break;
      case 'a': token("ddd"); break;
      case 'A': token("dddd"); break;
      case 'H': case 'I': token("hh"); break;
      case 'k': case 'l': token("h"); break;
      case 'M': token("nn"); break;
      case 'S': token("ss"); break;
      case 'p': case 'P': token("ampm"); break;
      case 'D': token("mm/dd/yy"); break;
      case 'F': token("yyyy-mm-dd"); break;
      case 'T': token("hh:nn:ss"); break;
      case 'R': token("hh:nn"); break;
      case 'r': token("hh:nn:ss ampm"); break;
      case 'n': literal += '\n'; break;
      case 't': literal += '\t'; break;
      case '%': literal += '%'; break;
      default: break;  // time zone, week numbers: nothing of them in this language
    }
  }
  flushLiteral();
  return out;
}

PosixRegionalSettings::PosixRegionalSettings(std::string localeName) : localeName_(std::move(localeName)) {}

const FormatSettings& PosixRegionalSettings::Settings() {
  if (read_) return settings_;
  read_ = true;
  locale_t locale = newlocale(LC_TIME_MASK, localeName_.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return settings_;
  const auto info = [&](nl_item item) { return std::string(nl_langinfo_l(item, locale)); };
  // The C locale keeps the defaults: "-" and ":" and the English names.
  const bool plain = localeName_ == "C" || localeName_ == "POSIX" ||
                     (info(D_FMT) == "%m/%d/%y" && info(T_FMT) == "%H:%M:%S" && info(MON_1) == "January");
  if (!plain) {
    const std::string dateFormat = info(D_FMT);
    std::string timeFormat = info(T_FMT);
    if (timeFormat == "%r" || timeFormat.empty()) timeFormat = info(T_FMT_AMPM);
    const std::string dateSeparator = FirstSeparator(dateFormat);
    const std::string timeSeparator = FirstSeparator(timeFormat);
    settings_.dateSeparator = dateSeparator;
    settings_.timeSeparator = timeSeparator;
    settings_.shortDateFormat = TranslateStrftimeFormat(dateFormat, dateSeparator, timeSeparator);
    settings_.longDateFormat = TranslateStrftimeFormat(WithoutTime(info(D_T_FMT)), dateSeparator, timeSeparator);
    settings_.longTimeFormat = TranslateStrftimeFormat(timeFormat, dateSeparator, timeSeparator);
    settings_.shortTimeFormat = TranslateStrftimeFormat(WithoutSeconds(timeFormat), dateSeparator, timeSeparator);
    if (!info(AM_STR).empty()) settings_.timeAMString = info(AM_STR);
    if (!info(PM_STR).empty()) settings_.timePMString = info(PM_STR);
    for (int i = 0; i < 12; ++i) {
      settings_.shortMonthNames[i] = info(static_cast<nl_item>(ABMON_1 + i));
      settings_.longMonthNames[i] = info(static_cast<nl_item>(MON_1 + i));
    }
    for (int i = 0; i < 7; ++i) {
      settings_.shortDayNames[i] = info(static_cast<nl_item>(ABDAY_1 + i));
      settings_.longDayNames[i] = info(static_cast<nl_item>(DAY_1 + i));
    }
  }
  freelocale(locale);
  return settings_;
}

template <>
RegionalSettings& PlatformAdapter<RegionalSettings>() {
  // Read during the static's guarded initialisation, so later calls from any thread only read.
  static PosixRegionalSettings& adapter = []() -> PosixRegionalSettings& {
    static PosixRegionalSettings settings;
    settings.Settings();
    return settings;
  }();
  return adapter;
}

}  // namespace orvane
