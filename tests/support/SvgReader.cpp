#include "SvgReader.h"

#include <expat.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace vantrel::testing {

std::string XmlElement::attribute(const std::string& key) const
{
    const auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
}

double XmlElement::number(const std::string& key) const
{
    const std::string value = attribute(key);
    if (value.empty())
        return std::nan("");
    char* end = nullptr;
    const double parsed = std::strtod(value.c_str(), &end);
    return *end == '\0' ? parsed : std::nan("");
}

bool XmlElement::hasClass(std::string_view cls) const
{
    std::istringstream words(attribute("class"));
    for (std::string word; words >> word;) {
        if (word == cls)
            return true;
    }
    return false;
}

std::string XmlElement::allText() const
{
    std::string all = text;
    for (const XmlElement& c : children)
        all += c.allText();
    return all;
}

std::vector<const XmlElement*> XmlElement::find(const std::function<bool(const XmlElement&)>& match) const
{
    std::vector<const XmlElement*> found;
    std::function<void(const XmlElement&)> walk = [&](const XmlElement& e) {
        if (match(e))
            found.push_back(&e);
        for (const XmlElement& c : e.children)
            walk(c);
    };
    walk(*this);
    return found;
}

std::vector<const XmlElement*> XmlElement::withClass(std::string_view cls) const
{
    return find([&](const XmlElement& e) { return e.hasClass(cls); });
}

const XmlElement* XmlElement::child(std::string_view wanted) const
{
    for (const XmlElement& c : children) {
        if (c.name == wanted)
            return &c;
    }
    return nullptr;
}

namespace {

struct Builder {
    XmlElement root;
    std::vector<XmlElement*> open;
    bool external = false;
};

void XMLCALL startElement(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& b = *static_cast<Builder*>(data);
    XmlElement* element;
    if (b.open.empty()) {
        element = &b.root;
    } else {
        b.open.back()->children.emplace_back();
        element = &b.open.back()->children.back();
    }
    element->name = name;
    for (int k = 0; attributes[k]; k += 2)
        element->attributes[attributes[k]] = attributes[k + 1];
    b.open.push_back(element);
}

void XMLCALL endElement(void* data, const XML_Char*)
{
    static_cast<Builder*>(data)->open.pop_back();
}

void XMLCALL characters(void* data, const XML_Char* s, int length)
{
    auto& b = *static_cast<Builder*>(data);
    if (!b.open.empty())
        b.open.back()->text.append(s, static_cast<std::size_t>(length));
}

int XMLCALL externalEntity(XML_Parser parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    static_cast<Builder*>(XML_GetUserData(parser))->external = true;
    return XML_STATUS_ERROR;
}

}  // namespace

XmlDocument parseXml(std::string_view text)
{
    XmlDocument doc;
    Builder builder;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &builder);
    XML_SetElementHandler(parser, startElement, endElement);
    XML_SetCharacterDataHandler(parser, characters);
    XML_SetExternalEntityRefHandler(parser, externalEntity);
    const bool parsed = XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK;
    if (!parsed) {
        doc.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                    std::to_string(XML_GetCurrentLineNumber(parser));
    } else if (builder.external) {
        doc.error = "an external entity";
    }
    doc.ok = parsed && !builder.external;
    XML_ParserFree(parser);
    doc.root = std::move(builder.root);
    return doc;
}

}  // namespace vantrel::testing
