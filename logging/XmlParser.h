#pragma once
// The XML parser port: MSXML on Windows, libxml2 on Linux. The configuration needs only the
// nodes in document order with their names, attributes and text.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvane {

struct TXmlNode {
  enum class Kind { Element, Text, Comment, Other };
  Kind kind = Kind::Element;
  // The element's name; "#text", "#cdata-section", "#comment" or the instruction's target otherwise.
  std::string name;
  // Text, CDATA and comment content.
  std::string value;
  std::vector<std::pair<std::string, std::string>> attributes;
  // Whitespace between elements is not content: text of blanks alone is left out.
  std::vector<TXmlNode> children;

  const std::string* Attribute(const std::string& attribute) const;
  // The first child element of that name, in document order.
  const TXmlNode* Child(const std::string& element) const;
  // The text of an element whose only content is one piece of text; none otherwise.
  std::optional<std::string> SingleText() const;
};

class XmlParser {
 public:
  virtual ~XmlParser() = default;
  // The document's root element, in UTF-8 whatever the file's encoding; none for a document
  // without any element. A malformed document fails with the parser's message.
  virtual std::optional<TXmlNode> ParseFile(const std::string& fileName) = 0;
};

}  // namespace orvane
