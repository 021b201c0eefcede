#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "logging/XmlParser.h"

namespace orvane {
namespace {

std::string Text(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

bool IsBlank(const std::string& text) {
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

TXmlNode Convert(xmlNode* node) {
  TXmlNode out;
  out.name = Text(node->name);
  for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute));
    out.attributes.emplace_back(Text(attribute->name), Text(value));
    xmlFree(value);
  }
  for (xmlNode* child = node->children; child; child = child->next) {
    TXmlNode converted;
    switch (child->type) {
      case XML_ELEMENT_NODE:
        out.children.push_back(Convert(child));
        continue;
      case XML_TEXT_NODE:
        converted.kind = TXmlNode::Kind::Text;
        converted.name = "#text";
        converted.value = Text(child->content);
        if (IsBlank(converted.value)) continue;
        break;
      case XML_CDATA_SECTION_NODE:
        converted.kind = TXmlNode::Kind::Text;
        converted.name = "#cdata-section";
        converted.value = Text(child->content);
        break;
      case XML_COMMENT_NODE:
        converted.kind = TXmlNode::Kind::Comment;
        converted.name = "#comment";
        converted.value = Text(child->content);
        break;
      default:
        converted.kind = TXmlNode::Kind::Other;
        converted.name = Text(child->name);
        break;
    }
    out.children.push_back(std::move(converted));
  }
  return out;
}

// Called at "<!DOCTYPE", before the declaration's content is read: no declaration is taken,
// so that no entity is ever declared, let alone expanded.
void RefuseDocumentType(void* data, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* context = static_cast<xmlParserCtxt*>(data);
  *static_cast<int*>(context->_private) = context->input ? context->input->line : 0;
  xmlStopParser(context);
}

class LibXmlParser : public XmlParser {
 public:
  std::optional<TXmlNode> ParseFile(const std::string& fileName) override {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw Exception("Impossible d'ouvrir le fichier " + fileName);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (IsBlank(bytes)) return std::nullopt;

    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!context) throw Exception("Analyseur XML indisponible");
    int documentTypeLine = -1;
    context->_private = &documentTypeLine;
    context->sax->internalSubset = RefuseDocumentType;
    // No network, no external entity: the file alone makes the configuration. CDATA sections
    // stay apart from the text around them, as MSXML keeps them.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), fileName.c_str(), nullptr, options),
        xmlFreeDoc);
    if (documentTypeLine >= 0)
      throw Exception("Déclaration de type de document interdite (ligne " + std::to_string(documentTypeLine) + ")");
    const xmlError* error = xmlCtxtGetLastError(context.get());
    if (!document || (error && error->level >= XML_ERR_ERROR)) {
      std::string message = error && error->message ? error->message : "document XML invalide";
      while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
      if (error && error->line > 0) message += " (ligne " + std::to_string(error->line) + ")";
      throw Exception(message);
    }
    xmlNode* root = xmlDocGetRootElement(document.get());
    if (!root) return std::nullopt;
    return Convert(root);
  }
};

}  // namespace

template <>
XmlParser& PlatformAdapter<XmlParser>() {
  static LibXmlParser adapter;
  return adapter;
}

}  // namespace orvane
