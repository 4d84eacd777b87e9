#pragma once
// Reading KML documents back in tests: well-formedness with a real XML parser (libxml2,
// when the build found it) and the text of chosen elements.
#include <string>
#include <vector>

#ifdef PELORIN_HAVE_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace pelorin::test {

#ifdef PELORIN_HAVE_LIBXML2
inline constexpr bool kHaveXmlParser = true;
#else
inline constexpr bool kHaveXmlParser = false;
#endif

struct TXmlCheck {
  bool WellFormed = false;
  std::string Error;
  std::vector<std::string> Texts;  // text content of every element named as asked, in document order
};

// Parses `document` offline; collects the content of every element called `element`.
inline TXmlCheck CheckXml(const std::string& document, const char* element = "name") {
  TXmlCheck result;
#ifdef PELORIN_HAVE_LIBXML2
  xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "document.kml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  if (doc == nullptr) {
    const xmlError* error = xmlGetLastError();
    result.Error = error != nullptr && error->message != nullptr ? error->message : "not well-formed";
    return result;
  }
  result.WellFormed = true;
  std::vector<xmlNodePtr> stack{xmlDocGetRootElement(doc)};
  while (!stack.empty()) {
    xmlNodePtr node = stack.back();
    stack.pop_back();
    if (node == nullptr) continue;
    if (node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(element)) == 0) {
      xmlChar* content = xmlNodeGetContent(node);
      result.Texts.emplace_back(content != nullptr ? reinterpret_cast<const char*>(content) : "");
      xmlFree(content);
    }
    // Children pushed last-first so that they come off in document order.
    std::vector<xmlNodePtr> children;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
  }
  xmlFreeDoc(doc);
#else
  (void)document;
  (void)element;
  result.Error = "no XML parser in this build";
#endif
  return result;
}

}  // namespace pelorin::test
