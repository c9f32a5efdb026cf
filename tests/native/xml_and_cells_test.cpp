// The XML scanner and the cell texts: tables of small inputs.
#include "sheetserver/cell_text.h"
#include "sheetserver/xml_scanner.h"

#include <gtest/gtest.h>

namespace sheetserver {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The tokens of a document in a compact form: <name, </name, "text", or ! for an error.
std::string Tokens(std::string_view xml) {
    XmlScanner scanner(xml);
    std::string out, text;
    for (;;) {
        switch (scanner.Next()) {
        case XmlToken::StartTag:
            out += "<" + std::string(scanner.Name());
            text.clear();
            if (scanner.Attribute("a", text))
                out += "[" + text + "]";
            out += " ";
            break;
        case XmlToken::EndTag:
            out += "</" + std::string(scanner.Name()) + " ";
            break;
        case XmlToken::Text:
            text.clear();
            if (!scanner.AppendText(text))
                return out + "!";
            out += "\"" + text + "\" ";
            break;
        case XmlToken::End:
            return out;
        case XmlToken::Error:
            return out + "!";
        }
    }
}

TEST(XmlScanner, TokensOfSmallDocuments) {
    const struct {
        const char* xml;
        const char* tokens;
    } cases[] = {
        {"<?xml version=\"1.0\"?><x:r a='1 &amp; 2'><v>1</v><e/></x:r>",
         "<r[1 & 2] <v \"1\" </v <e </e </r "},
        {"<r>&lt;&gt;&amp;&quot;&apos;&#65;&#x4E2D;</r>", "<r \"<>&\"'A\xE4\xB8\xAD\" </r "},
        {"<r><!-- <c> --><![CDATA[<&>]]></r>", "<r \"<&>\" </r "},
        {"\xEF\xBB\xBF<r/>", "<r </r "},
        {"<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>", "!"},
        {"<r>&e;</r>", "<r !"},
        {"<r>&#0;</r>", "<r !"},
        {"<r>&#xD800;</r>", "<r !"},
        {"<r><a></b></r>", "<r <a !"},
        {"<r><a>", "<r <a !"},
        {"<r a=1/>", "!"},
        {"<r a=\"<\"/>", "!"},
        {"<r", "!"},
        {"</r>", "!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.xml), c.tokens) << c.xml;
}

TEST(CellText, NumbersInTheGeneralFormat) {
    const struct {
        const char* stored;
        const char* shown; // nullptr: not a number
    } cases[] = {
        {"1234", "1234"},       {"-7", "-7"},          {"0", "0"},
        {"-0", "0"},            {"007", "7"},          {"1.0", "1"},
        {"0.30000000000000004", "0.3"},                {"3.14159265358979323", "3.14159265358979"},
        {"1E+20", "1E+20"},     {"1.5E-7", "1.5E-07"}, {"123456789012345678", "1.23456789012346E+17"},
        {"999999999999999", "999999999999999"},        {"abc", nullptr},
        {"", nullptr},          {"1x", nullptr},       {"inf", nullptr},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(GeneralNumberText(c.stored, out), c.shown != nullptr) << c.stored;
        if (c.shown) {
            EXPECT_EQ(out, c.shown) << c.stored;
        }
    }
}

TEST(CellText, DatesFromSerialNumbers) {
    const struct {
        double serial;
        bool system1904;
        const char* shown;
    } cases[] = {
        {1, false, "1900-01-01"},    {59, false, "1900-02-28"},   {60, false, "1900-02-29"},
        {61, false, "1900-03-01"},   {45366.99, false, "2024-03-15"}, {2958465, false, "9999-12-31"},
        {0, true, "1904-01-01"},     {43904, true, "2024-03-15"}, {-1, false, nullptr},
        {2958466, false, nullptr},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(DateText(c.serial, c.system1904, out), c.shown != nullptr) << c.serial;
        if (c.shown) {
            EXPECT_EQ(out, c.shown) << c.serial;
        }
    }
}

TEST(CellText, WhichFormatsShowDates) {
    EXPECT_TRUE(IsDateFormat(14, ""));
    EXPECT_TRUE(IsDateFormat(22, ""));
    EXPECT_FALSE(IsDateFormat(0, "General"));
    EXPECT_FALSE(IsDateFormat(2, "0.00"));
    EXPECT_FALSE(IsDateFormat(20, "h:mm")); // a time, not a date
    EXPECT_TRUE(IsDateFormat(164, U8(u8"yyyy\"年\"m\"月\"d\"日\"")));
    EXPECT_TRUE(IsDateFormat(165, "[$-804]dd/mm/yy;@"));
    EXPECT_FALSE(IsDateFormat(166, "\"day\" 0"));
    EXPECT_FALSE(IsDateFormat(167, "0.00E+00"));
    EXPECT_FALSE(IsDateFormat(168, "[Red]0;\\d"));
}

TEST(CellText, StoredTextEscapes) {
    const struct {
        const char* stored;
        std::string text;
    } cases[] = {
        {"a_x000D_b", "a\rb"},
        {"_x005F_x000D_", "_x000D_"},
        {"_xD83D__xDE00_", U8(u8"\U0001F600")},
        {"_xD83D_", U8(u8"\uFFFD")},
        {"_x4e2d_", U8(u8"中")},
        {"_x00G0_ _x12_", "_x00G0_ _x12_"},
    };
    for (const auto& c : cases) {
        std::string text = c.stored;
        UnescapeStoredText(text);
        EXPECT_EQ(text, c.text) << c.stored;
    }
}

} // namespace
} // namespace sheetserver
