#include <windows.h>
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/ComScope_win.h"
#include "common/Exceptions.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/XmlParser.h"

namespace orvane {
namespace {

// MSXML 6; the older SDK headers of the cross compiler do not name it.
const CLSID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* Out() { return &b_; }
  BSTR get() const { return b_; }
  std::string Utf8() const { return b_ ? WideToUtf8(std::wstring(b_, SysStringLen(b_))) : std::string(); }

 private:
  BSTR b_ = nullptr;
};

std::string NodeValue(IXMLDOMNode* node) {
  VARIANT value;
  VariantInit(&value);
  std::string text;
  if (SUCCEEDED(node->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal)
    text = WideToUtf8(std::wstring(value.bstrVal, SysStringLen(value.bstrVal)));
  VariantClear(&value);
  return text;
}

bool IsBlank(const std::string& text) {
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

TXmlNode Convert(IXMLDOMNode* node) {
  TXmlNode out;
  Bstr name;
  node->get_nodeName(name.Out());
  out.name = name.Utf8();
  ComRef<IXMLDOMNamedNodeMap> attributes;
  if (SUCCEEDED(node->get_attributes(attributes.Out())) && attributes) {
    long count = 0;
    attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
      ComRef<IXMLDOMNode> attribute;
      if (FAILED(attributes->get_item(i, attribute.Out())) || !attribute) continue;
      Bstr attributeName;
      Bstr attributeText;
      attribute->get_nodeName(attributeName.Out());
      attribute->get_text(attributeText.Out());
      out.attributes.emplace_back(attributeName.Utf8(), attributeText.Utf8());
    }
  }
  ComRef<IXMLDOMNodeList> children;
  if (FAILED(node->get_childNodes(children.Out())) || !children) return out;
  long count = 0;
  children->get_length(&count);
  for (long i = 0; i < count; ++i) {
    ComRef<IXMLDOMNode> child;
    if (FAILED(children->get_item(i, child.Out())) || !child) continue;
    DOMNodeType type = NODE_INVALID;
    child->get_nodeType(&type);
    if (type == NODE_ELEMENT) {
      out.children.push_back(Convert(child.get()));
      continue;
    }
    TXmlNode converted;
    Bstr childName;
    child->get_nodeName(childName.Out());
    converted.name = childName.Utf8();
    switch (type) {
      case NODE_TEXT:
      case NODE_CDATA_SECTION:
        converted.kind = TXmlNode::Kind::Text;
        converted.value = NodeValue(child.get());
        if (type == NODE_TEXT && IsBlank(converted.value)) continue;
        break;
      case NODE_COMMENT:
        converted.kind = TXmlNode::Kind::Comment;
        converted.value = NodeValue(child.get());
        break;
      default:
        converted.kind = TXmlNode::Kind::Other;
        break;
    }
    out.children.push_back(std::move(converted));
  }
  return out;
}

class MsXmlParser : public XmlParser {
 public:
  std::optional<TXmlNode> ParseFile(const std::string& fileName) override {
    const std::wstring wideName = Utf8ToWide(fileName);
    {
      std::ifstream file(std::filesystem::path(wideName), std::ios::binary);
      if (!file) throw Exception("Impossible d'ouvrir le fichier " + fileName);
      const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      if (IsBlank(bytes)) return std::nullopt;
    }
    ScopedComApartment com;  // the parser may run on a thread not yet in COM
    ComRef<IXMLDOMDocument2> document;
    const HRESULT created = CoCreateInstance(kDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument2,
                                             reinterpret_cast<void**>(document.Out()));
    if (FAILED(created)) throw EOleSysError("MSXML 6 indisponible (" + HresultText(created) + ")");
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_FALSE);
    // No document type declaration: no entity is ever declared, let alone expanded.
    VARIANT prohibit;
    VariantInit(&prohibit);
    prohibit.vt = VT_BOOL;
    prohibit.boolVal = VARIANT_TRUE;
    const HRESULT prohibited = document->setProperty(Bstr(L"ProhibitDTD").get(), prohibit);
    if (FAILED(prohibited)) throw EOleSysError("MSXML 6 : ProhibitDTD refusé (" + HresultText(prohibited) + ")");

    Bstr path(wideName);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = path.get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT result = document->load(source, &loaded);
    if (FAILED(result) || loaded != VARIANT_TRUE) {
      std::string message = "document XML invalide";
      long line = 0;
      ComRef<IXMLDOMParseError> error;
      if (SUCCEEDED(document->get_parseError(error.Out())) && error) {
        Bstr reason;
        error->get_reason(reason.Out());
        error->get_line(&line);
        if (reason.get() && SysStringLen(reason.get()) > 0) message = reason.Utf8();
      }
      while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) message.pop_back();
      if (line > 0) message += " (ligne " + std::to_string(line) + ")";
      throw Exception(message);
    }
    // Wine's MSXML takes ProhibitDTD without applying it: the declaration is refused all the same.
    ComRef<IXMLDOMDocumentType> documentType;
    if (SUCCEEDED(document->get_doctype(documentType.Out())) && documentType)
      throw Exception("Déclaration de type de document interdite");
    ComRef<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(root.Out())) || !root) return std::nullopt;
    return Convert(root.get());
  }
};

}  // namespace

template <>
XmlParser& PlatformAdapter<XmlParser>() {
  static MsXmlParser adapter;
  return adapter;
}

}  // namespace orvane
