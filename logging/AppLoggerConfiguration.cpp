// Reading AppLogger.xml: one file serves a whole site, with a section per station and one for
// every station, and in each a part per program and one for every program.

#include <memory>

#include "common/ApplicationName.h"
#include "common/Exceptions.h"
#include "common/DateTime.h"
#include "common/Global_Computer.h"
#include "common/Global_File.h"
#include "common/Global_Utils.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "logging/FileLogger.h"
#include "logging/LogFiles.h"
#include "logging/MemoryLogger.h"
#include "logging/WindowsEventLogger.h"
#include "logging/XmlParser.h"

namespace orvane {
namespace {

const std::string& RequiredAttribute(const TXmlNode& node, const std::string& name) {
  if (const std::string* value = node.Attribute(name)) return *value;
  throw Exception("Attribut \"" + name + "\" absent de l'élément \"" + node.name + "\"");
}

bool EqualsNoCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; text[i] && word[i]; ++i) {
    const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    const char b = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] - 'A' + 'a') : word[i];
    if (a != b) return false;
  }
  return i == text.size() && word[i] == '\0';
}

// "True" or "False" in any letter case, or a number: 0 false, any other true.
bool ParseBoolean(const std::string& text) {
  if (EqualsNoCase(text, "true")) return true;
  if (EqualsNoCase(text, "false")) return false;
  int32_t number = 0;
  if (TryParseInteger(text, number)) return number != 0;
  throw EConvertError("'" + text + "' n'est pas une valeur booléenne correcte");
}

bool OptionalBoolean(const TXmlNode& node, const std::string& name) {
  const std::string* value = node.Attribute(name);
  return value ? ParseBoolean(*value) : true;
}

template <class Logger>
TLogger* Create(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams& params, bool insertTime,
                const std::string& format, bool insertNiveauLog) {
  return new Logger(niveauMax, logSpecifique, &params, insertTime, format, insertNiveauLog);
}

}  // namespace

bool TApplicationLogger::LoadConfiguration(const std::string& fileName) {
  try {
    ClearLoggers();
    const std::string resolved = GlobalFile().GetAbsoluteFileName(fileName, ProgramFolder());
    if (!Port<LogFiles>().Exists(resolved)) return false;
    const std::optional<TXmlNode> root = Port<XmlParser>().ParseFile(resolved);
    if (!root) return true;
    Version_ = RequiredAttribute(*root, "Version");

    const TXmlNode* station = root->Child(GetStationName(true, true));
    if (!station) station = root->Child(GetStationName(false, false));
    const TXmlNode* allStations = root->Child("AllStations");
    if (station && LoadApplication(*station)) return true;
    if (allStations) LoadApplication(*allStations);
    return true;
  } catch (const std::exception& e) {
    throw Exception(std::string("TApplicationLogger : ") + e.what());
  }
}

bool TApplicationLogger::LoadApplication(const TXmlNode& station) {
  const std::string key = ApplicationKey();
  const TXmlNode* application = nullptr;
  for (const TXmlNode& child : station.children) {
    if (child.kind != TXmlNode::Kind::Element || child.name != "Application") continue;
    const std::string* exeName = child.Attribute("ExeName");
    if (exeName && *exeName == key) {
      application = &child;
      break;
    }
  }
  if (!application && Version_ <= "1.1") application = station.Child(ApplicationTitle());
  if (!application) application = station.Child("AllApplications");
  if (!application) return false;
  for (const TXmlNode& child : application->children) CreateLogger(child);
  return true;
}

void TApplicationLogger::CreateLogger(const TXmlNode& node) {
  const std::string className = RequiredAttribute(node, "class");
  const auto niveauMax = static_cast<uint8_t>(ParseInteger(RequiredAttribute(node, "NiveauMax")) & 0xFF);
  const int32_t logSpecifique = ParseInteger(RequiredAttribute(node, "LogSpecifique"));
  const bool insertTime = OptionalBoolean(node, "InsertTime");
  const bool insertNiveauLog = OptionalBoolean(node, "InsertNiveauLog");
  const std::string* format = node.Attribute("FormatDateTime");
  const std::string formatDateTime = format ? *format : kDefaultLogTimeFormat;

  TLoggerParams params;
  if (Version_ == "1.0") {
    if (className == "TFileLogger") {
      params.push_back("FileName=" + RequiredAttribute(node, "FileName"));
    } else if (className == "TMemoryLogger") {
      if (const std::string* fileName = node.Attribute("FileName")) params.push_back("FileName=" + *fileName);
      if (const std::string* maxLigne = node.Attribute("MaxLigne")) params.push_back("MaxLigne=" + *maxLigne);
    }
  }
  for (const TXmlNode& child : node.children) {
    if (child.kind == TXmlNode::Kind::Other) continue;  // an instruction, for another program
    if (child.kind != TXmlNode::Kind::Element) {
      params.push_back(child.name + "=" + child.value);  // read by no logger
      continue;
    }
    const std::optional<std::string> text = child.SingleText();
    if (!text || text->empty())
      throw Exception("L'élément \"" + child.name + "\" ne contient pas un seul nœud texte");
    params.push_back(child.name + "=" + *text);
  }

  TLogger* logger = nullptr;
  if (className == "TFileLogger") {
    logger = Create<TFileLogger>(niveauMax, logSpecifique, params, insertTime, formatDateTime, insertNiveauLog);
  } else if (className == "TMemoryLogger") {
    logger = Create<TMemoryLogger>(niveauMax, logSpecifique, params, insertTime, formatDateTime, insertNiveauLog);
  } else if (className == "TWindowsEventLogger") {
    logger = Create<TWindowsEventLogger>(niveauMax, logSpecifique, params, insertTime, formatDateTime, insertNiveauLog);
  } else if (Version_ <= "1.2") {
    throw Exception("TApplicationLogger : Configuration inattendue (" + className + ")");
  } else {
    return;  // a later version's logger that this program does not know
  }
  AddLogger(logger);
}

}  // namespace orvane
