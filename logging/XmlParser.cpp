#include "logging/XmlParser.h"

namespace orvane {

const std::string* TXmlNode::Attribute(const std::string& attribute) const {
  for (const auto& [name, text] : attributes)
    if (name == attribute) return &text;
  return nullptr;
}

const TXmlNode* TXmlNode::Child(const std::string& element) const {
  for (const TXmlNode& child : children)
    if (child.kind == Kind::Element && child.name == element) return &child;
  return nullptr;
}

std::optional<std::string> TXmlNode::SingleText() const {
  if (children.size() != 1 || children[0].kind != Kind::Text) return std::nullopt;
  return children[0].value;
}

}  // namespace orvane
