// A pull scanner for the XML of workbook parts: elements, attributes and text, nothing more.
// It refuses document type declarations and every entity beyond the five predefined ones and
// character references, so no input can make it fetch or expand anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sheetserver {

enum class XmlToken { StartTag, EndTag, Text, End, Error };

class XmlScanner {
public:
    explicit XmlScanner(std::string_view document);

    // The next token. An empty element gives a StartTag and then its EndTag. Comments and
    // processing instructions are skipped. After End or Error, Next keeps returning it.
    XmlToken Next();

    // The element's local name (without a namespace prefix), for StartTag and EndTag.
    std::string_view Name() const { return name_; }

    // Appends the decoded value of the current start tag's attribute with this local name.
    // False when there is none or its value is malformed.
    bool Attribute(std::string_view localName, std::string& out) const;

    // Appends the decoded text of a Text token. False when it holds a malformed reference;
    // the scanner then reports Error from its next call.
    bool AppendText(std::string& out);

    int Depth() const { return static_cast<int>(open_.size()); }

private:
    struct RawAttribute {
        std::string_view name;
        std::string_view value;
    };

    XmlToken Fail();
    XmlToken ScanTag();
    XmlToken ScanMarkup();

    std::string_view doc_;
    std::size_t at_ = 0;
    std::string_view name_;
    std::string_view text_;
    bool textIsRaw_ = false;     // CDATA: no references
    bool pendingEnd_ = false;    // an empty element's EndTag is due
    bool failed_ = false;
    std::vector<RawAttribute> attributes_;
    std::vector<std::string_view> open_;
};

// Decodes XML character data with references into UTF-8. False on a malformed reference.
bool DecodeXmlText(std::string_view raw, std::string& out);

} // namespace sheetserver
