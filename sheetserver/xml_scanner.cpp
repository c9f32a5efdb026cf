#include "sheetserver/xml_scanner.h"

#include "sheetserver/utf8.h"

#include <array>


namespace sheetserver {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Bytes that end a name: white space and the markup characters around names.
constexpr auto kNameEnds = [] {
    std::array<bool, 256> ends{};
    for (unsigned char c : std::string_view(" \t\r\n>/=<\"'"))
        ends[c] = true;
    return ends;
}();

bool IsNameChar(char c) { return !kNameEnds[static_cast<unsigned char>(c)]; }

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool CharacterReference(std::string_view digits, std::string& out) {
    int base = 10;
    if (!digits.empty() && digits[0] == 'x') {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 8)
        return false;
    char32_t value = 0;
    for (char c : digits) {
        int digit = c >= '0' && c <= '9'                ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
        if (digit < 0)
            return false;
        value = value * base + digit;
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    AppendUtf8(value, out);
    return true;
}

} // namespace

bool DecodeXmlText(std::string_view raw, std::string& out) {
    for (;;) {
        const std::size_t amp = raw.find('&');
        out.append(raw.substr(0, amp));
        if (amp == std::string_view::npos)
            return true;
        const std::size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos)
            return false;
        const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.empty() || name[0] != '#' || !CharacterReference(name.substr(1), out))
            return false;
        raw.remove_prefix(semi + 1);
    }
}

XmlScanner::XmlScanner(std::string_view document) : doc_(document) {
    if (doc_.substr(0, 3) == "\xEF\xBB\xBF")
        at_ = 3;
}

XmlToken XmlScanner::Fail() {
    failed_ = true;
    return XmlToken::Error;
}

XmlToken XmlScanner::Next() {
    if (failed_)
        return XmlToken::Error;
    if (pendingEnd_) {
        pendingEnd_ = false;
        open_.pop_back();
        return XmlToken::EndTag;
    }
    for (;;) {
        if (at_ >= doc_.size())
            return open_.empty() ? XmlToken::End : Fail();
        if (doc_[at_] != '<') {
            const std::size_t lt = doc_.find('<', at_);
            text_ = doc_.substr(at_, lt == std::string_view::npos ? std::string_view::npos : lt - at_);
            at_ = lt == std::string_view::npos ? doc_.size() : lt;
            textIsRaw_ = false;
            return XmlToken::Text;
        }
        if (at_ + 1 < doc_.size() && (doc_[at_ + 1] == '!' || doc_[at_ + 1] == '?')) {
            const XmlToken token = ScanMarkup();
            if (token != XmlToken::End)
                return token; // Text for CDATA, or Error
            continue;         // a comment or processing instruction
        }
        return ScanTag();
    }
}

// Comments, processing instructions and CDATA; End means "skipped".
XmlToken XmlScanner::ScanMarkup() {
    const std::string_view rest = doc_.substr(at_);
    auto skipTo = [&](std::string_view close, std::size_t from) {
        const std::size_t found = rest.find(close, from);
        if (found == std::string_view::npos)
            return false;
        at_ += found + close.size();
        return true;
    };
    if (rest.substr(0, 2) == "<?")
        return skipTo("?>", 2) ? XmlToken::End : Fail();
    if (rest.substr(0, 4) == "<!--")
        return skipTo("-->", 4) ? XmlToken::End : Fail();
    if (rest.substr(0, 9) == "<![CDATA[") {
        const std::size_t close = rest.find("]]>", 9);
        if (close == std::string_view::npos || open_.empty())
            return Fail();
        text_ = rest.substr(9, close - 9);
        textIsRaw_ = true;
        at_ += close + 3;
        return XmlToken::Text;
    }
    return Fail(); // <!DOCTYPE and every other declaration
}

XmlToken XmlScanner::ScanTag() {
    std::size_t p = at_ + 1;
    const bool closing = p < doc_.size() && doc_[p] == '/';
    if (closing)
        ++p;
    const std::size_t nameStart = p;
    while (p < doc_.size() && IsNameChar(doc_[p]))
        ++p;
    const std::string_view fullName = doc_.substr(nameStart, p - nameStart);
    if (fullName.empty())
        return Fail();
    attributes_.clear();
    for (;;) {
        while (p < doc_.size() && IsSpace(doc_[p]))
            ++p;
        if (p >= doc_.size())
            return Fail();
        if (doc_[p] == '>') {
            ++p;
            break;
        }
        if (!closing && doc_[p] == '/' && p + 1 < doc_.size() && doc_[p + 1] == '>') {
            p += 2;
            pendingEnd_ = true;
            break;
        }
        if (closing)
            return Fail();
        const std::size_t attributeStart = p;
        while (p < doc_.size() && IsNameChar(doc_[p]))
            ++p;
        const std::string_view attributeName = doc_.substr(attributeStart, p - attributeStart);
        while (p < doc_.size() && IsSpace(doc_[p]))
            ++p;
        if (attributeName.empty() || p >= doc_.size() || doc_[p] != '=')
            return Fail();
        ++p;
        while (p < doc_.size() && IsSpace(doc_[p]))
            ++p;
        if (p >= doc_.size() || (doc_[p] != '"' && doc_[p] != '\''))
            return Fail();
        const std::size_t close = doc_.find(doc_[p], p + 1);
        if (close == std::string_view::npos)
            return Fail();
        const std::string_view value = doc_.substr(p + 1, close - p - 1);
        if (value.find('<') != std::string_view::npos)
            return Fail();
        attributes_.push_back({LocalName(attributeName), value});
        p = close + 1;
    }
    at_ = p;
    name_ = LocalName(fullName);
    if (closing) {
        if (open_.empty() || open_.back() != fullName)
            return Fail();
        open_.pop_back();
        return XmlToken::EndTag;
    }
    open_.push_back(fullName);
    return XmlToken::StartTag;
}

bool XmlScanner::Attribute(std::string_view localName, std::string& out) const {
    for (const RawAttribute& attribute : attributes_)
        if (attribute.name == localName)
            return DecodeXmlText(attribute.value, out);
    return false;
}

bool XmlScanner::AppendText(std::string& out) {
    if (textIsRaw_) {
        out.append(text_);
        return true;
    }
    if (DecodeXmlText(text_, out))
        return true;
    failed_ = true;
    return false;
}

} // namespace sheetserver
