// The line rules of TextFileReader and the field and number rules of the catalogue file.
#include "acquire/csv_text.h"
#include "acquire/text_file_reader.h"
#include "tests/native/fakes.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(MemoryFiles& files, const std::string& path) {
    TextFileReader reader(files, path);
    Lines lines;
    for (int guard = 0; !reader.AtEnd() && guard < 100000; ++guard)
        lines.push_back(reader.ReadLine());
    EXPECT_TRUE(reader.AtEnd());
    return lines;
}

TEST(TextFileReader, FollowsTheLineRules) {
    const std::string x511(511, 'x');
    const std::string long1500(1500, 'L');
    struct Case {
        const char* name;
        std::string bytes;
        Lines lines;
    } const cases[] = {
        {"empty file", "", {}},
        {"CR LF line ends", "a,b\r\nc\r\n", {"a,b", "c"}},
        {"LF line ends", "a\nb\n", {"a", "b"}},
        {"last line without a line end", "a\nb", {"a", "b"}},
        {"only CRs: one line", "a\rb\rc\r", {"a\rb\rc"}},
        {"two CRs before LF keep one", "a\r\r\nb\n", {"a\r", "b"}},
        {"empty lines", "a\n\n\r\nb\n", {"a", "", "", "b"}},
        {"a line of only a CR", "\r\n", {""}},
        {"NUL in a line ends the text", std::string("ab\0cd\nef\n", 9), {"ab"}},
        {"0x1A in a line ends the text", "ab\r\x1A" "cd\n", {"ab"}},
        {"0x1A at the start", "\x1A" "ab\n", {}},
        {"lead byte takes the LF after it", "\x81\nab\ncd\n", {"\x81\nab", "cd"}},
        {"lead byte takes the CR after it", "\xB0\r\n", {"\xB0\r"}},
        {"lead byte as the last byte", "ab\n\x81", {"ab", "\x81"}},
        {"lead byte before NUL stays, NUL ends", std::string("a\x81\0b\n", 5), {"a\x81"}},
        {"a line over several blocks", long1500 + "\r\ny", {long1500, "y"}},
        {"a pair across two blocks", x511 + "\x81\nz\nw", {x511 + "\x81\nz", "w"}},
        {"a CR LF across two blocks", x511 + "\r\nw", {x511, "w"}},
        {"GBK text", "\xD3\xCE\xCF\xB7,\xC1\xB4\xBD\xD3\r\n", {"\xD3\xCE\xCF\xB7,\xC1\xB4\xBD\xD3"}},
    };
    for (const Case& c : cases) {
        MemoryFiles files;
        files.files["f.csv"] = c.bytes;
        EXPECT_EQ(ReadAll(files, "f.csv"), c.lines) << c.name;
        EXPECT_LE(files.stats.largestRead, 512) << c.name;
    }
}

TEST(TextFileReader, AFileThatCannotBeOpenedIsAtItsEndAtOnce) {
    MemoryFiles files;
    for (const char* path : {"missing.csv", ""}) {
        TextFileReader reader(files, path);
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_EQ(reader.ReadLine(), "");
        reader.Close();
    }
}

TEST(TextFileReader, AReadErrorDropsTheLineAndMovesToTheEnd) {
    MemoryFiles files;
    files.files["f.csv"] = "first\n" + std::string(900, 'y') + "\nlast\n";
    files.failReadsFrom = 600; // inside the second line's second block
    TextFileReader reader(files, "f.csv");
    EXPECT_EQ(reader.ReadLine(), "first");
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "");
}

TEST(TextFileReader, CloseReleasesTheFileAndEndsTheReader) {
    MemoryFiles files;
    files.files["f.csv"] = "a\nb\n";
    TextFileReader reader(files, "f.csv");
    EXPECT_EQ(files.stats.open, 1);
    reader.Close();
    EXPECT_EQ(files.stats.open, 0);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(SplitAtSeparator, FollowsTheFieldRules) {
    using Fields = std::vector<std::string>;
    struct Case {
        std::string text;
        Fields fields;
    } const cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a,b,c", {"a", "b", "c"}},
        {"a,,c", {"a", "", "c"}},
        {"a,b,", {"a", "b"}},
        {",a", {"", "a"}},
        {",", {""}},
        {",,", {"", ""}},
        {"\"x,y\",z", {"\"x", "y\"", "z"}}, // quotes have no meaning
        {"\"q\"", {"\"q\""}},
        // 0x81 0x2C is one two-byte character: its second byte is not a separator.
        {"\x81,a,b", {"\x81,a", "b"}},
        {"a,\x81", {"a", "\x81"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitAtSeparator(c.text, ","), c.fields) << c.text;
    EXPECT_EQ(SplitAtSeparator("a,b", ""), (Fields{"a,b"}));
    EXPECT_EQ(SplitAtSeparator("a::b::", "::"), (Fields{"a", "b"}));
}

TEST(NumberToText, WritesLikePercentPoint13g) {
    struct Case {
        double number;
        const char* text;
    } const cases[] = {
        {1, "1"}, {2, "2"}, {10, "10"}, {1000, "1000"}, {100000, "100000"},
        {1234567890123, "1234567890123"}, {0.5, "0.5"}, {-3, "-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberToText(c.number), c.text);
    EXPECT_EQ(NumberToText(1e13), "1e+13"); // exponent notation from 13 digits on
}

} // namespace
} // namespace velmora::test
