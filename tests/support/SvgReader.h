// Charts read back as XML by a strict parser (expat), so that tests see what
// any SVG reader would see: a document that does not parse is an error, and
// the bars' sizes come from the attributes as written.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::testing {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;  // character data directly inside, entities resolved
    std::vector<XmlElement> children;

    std::string attribute(const std::string& key) const;
    double number(const std::string& key) const;  // NaN when absent or no number
    bool hasClass(std::string_view cls) const;
    // All text inside, the children's included, in document order.
    std::string allText() const;
    // Every element below (and including) this one that `match` accepts, in document order.
    std::vector<const XmlElement*> find(const std::function<bool(const XmlElement&)>& match) const;
    std::vector<const XmlElement*> withClass(std::string_view cls) const;
    const XmlElement* child(std::string_view name) const;
};

struct XmlDocument {
    bool ok = false;
    std::string error;  // expat's message and line when not ok
    XmlElement root;
};

XmlDocument parseXml(std::string_view text);

}  // namespace vantrel::testing
