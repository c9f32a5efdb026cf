// LoadCsvRows against fakes: skipping, the column map, numbering and progress.
#include "acquire/csv_loader.h"
#include "tests/native/fakes.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using Calls = std::vector<std::string>;
using Row = std::vector<std::string>;
constexpr std::int32_t kColumnMap[] = {1, 2, 3, 4};

std::string Header(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i)
        text += "header " + std::to_string(i) + ",x\r\n";
    return text;
}

struct Loaded {
    FakeList list;
    FakeProgress progress;
    MemoryFiles files;

    void Load(const std::string& bytes, std::span<const std::int32_t> map = kColumnMap,
              std::int32_t firstDataRow = 16) {
        files.files["t.csv"] = bytes;
        LoadCsvRows({list, progress, files}, "t.csv", firstDataRow, map);
        EXPECT_EQ(files.stats.open, 0) << "the file must be closed";
    }
};

TEST(LoadCsvRows, AFileOfFourteenLinesShowsNoWindowAndAddsNoRows) {
    Loaded t;
    t.Load(Header(14));
    EXPECT_TRUE(t.progress.calls.empty());
    EXPECT_TRUE(t.list.rows.empty());
}

TEST(LoadCsvRows, AFileOfFifteenLinesShowsTheWindowAndGivesItUp) {
    Loaded t;
    t.Load(Header(15));
    EXPECT_EQ(t.progress.calls, (Calls{"show", "max " + std::to_string(Header(15).size()),
                                       "destroy"}));
    EXPECT_TRUE(t.list.rows.empty());
}

TEST(LoadCsvRows, AnEmptyOrMissingFileShowsNothing) {
    Loaded t;
    t.Load("");
    EXPECT_TRUE(t.progress.calls.empty());
    FakeList list;
    FakeProgress progress;
    MemoryFiles files;
    LoadCsvRows({list, progress, files}, "missing.csv", 16, kColumnMap);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_TRUE(list.rows.empty());
}

TEST(LoadCsvRows, TheSixteenthLineIsTheFirstRowNumberedOne) {
    Loaded t;
    t.Load(Header(15) + "a,b,c,d,e\r\n");
    ASSERT_EQ(t.list.rows.size(), 1u);
    EXPECT_EQ(t.list.rows[0], (Row{"1", "a", "b", "c", "d"})); // e is dropped
}

TEST(LoadCsvRows, FillsColumnsByTheColumnMap) {
    Loaded t;
    t.Load(Header(15) + "a,b\r\n" + "a,,c,d\r\n" + "a,b,c,\r\n" + "\r\n" + "\"q,x\",y\r\n" +
           "\xD3\xCE\xCF\xB7,http://x/\xC1\xB4\r\n" + "last");
    const std::vector<Row> expected{
        {"1", "a", "b", "", ""},
        {"2", "a", "", "c", "d"},
        {"3", "a", "b", "c", ""},
        {"4", "", "", "", ""},
        {"5", "\"q", "x\"", "y", ""},
        {"6", "\xD3\xCE\xCF\xB7", "http://x/\xC1\xB4", "", ""},
        {"7", "last", "", "", ""},
    };
    EXPECT_EQ(t.list.rows, expected);
}

TEST(LoadCsvRows, AColumnMapEntryBeyondTheFieldsShowsTheCheckDataText) {
    Loaded t;
    const std::int32_t map[] = {3, 1};
    t.Load(Header(15) + "x,y\n" + "x\n" + "x,y,z\n", map);
    const std::string missing(kMissingField);
    const std::vector<Row> expected{
        {"1", missing, "x", "", ""},
        {"2", missing, "", "", ""}, // one field: only column 1 is filled
        {"3", "z", "x", "", ""},
    };
    EXPECT_EQ(t.list.rows, expected);
}

TEST(LoadCsvRows, ProgressCountsTheBytesOfLoadedLinesWithoutLineEnds) {
    Loaded t;
    const std::string file = Header(15) + "ab,c\r\n" + "d\r\n";
    t.Load(file);
    EXPECT_EQ(t.progress.calls,
              (Calls{"show", "max " + std::to_string(file.size()), "pos 4", "pos 5", "destroy"}));
    EXPECT_EQ(t.list.rows.size(), 2u);
}

TEST(LoadCsvRows, AFirstDataRowOfOneOrLessLoadsFromTheFirstLine) {
    for (std::int32_t first : {1, 0, -7}) {
        Loaded t;
        t.Load("a\nb\n", kColumnMap, first);
        EXPECT_EQ(t.list.rows.size(), 2u);
        EXPECT_EQ(t.progress.calls.front(), "show");
    }
}

TEST(LoadCsvRows, EndsAtANulOrEndOfTextByte) {
    Loaded t;
    t.Load(Header(15) + "ab\x1A" "cd\r\nmore\r\n");
    ASSERT_EQ(t.list.rows.size(), 1u);
    EXPECT_EQ(t.list.rows[0][1], "ab");
    EXPECT_EQ(t.progress.calls.back(), "destroy");
}

TEST(LoadCsvRows, AFailedInsertSkipsThatLineAndGoesOn) {
    Loaded t;
    t.list.failInsertsAt = 1;
    t.Load(Header(15) + "a\nb\nc\n");
    EXPECT_EQ(t.list.rows, (std::vector<Row>{{"1", "a", "", "", ""}, {"2", "c", "", "", ""}}));
}

TEST(LoadCsvRows, ACarriageReturnOnlyFileIsOneLineAndSkipped) {
    Loaded t;
    std::string file;
    for (int i = 0; i < 30; ++i)
        file += "line\r";
    t.Load(file);
    EXPECT_TRUE(t.list.rows.empty());
    EXPECT_TRUE(t.progress.calls.empty());
}

} // namespace
} // namespace velmora::test
