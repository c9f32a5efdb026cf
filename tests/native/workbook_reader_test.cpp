// The .xlsx reader, the replaces and the CSV writer over the workbooks of scripts/make-workbooks.
#include "sheetserver/sheet_edit.h"
#include "sheetserver/workbook_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>
#include <sstream>

namespace sheetserver {
namespace {

// Test texts are UTF-8 whatever the compiler's execution character set.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string Fixture(const std::string& name) {
    std::ifstream file(std::string(VELMORA_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

constexpr std::uint64_t kCap = 512ull << 20;

const Cell* CellAt(const Worksheet& sheet, std::uint32_t row, std::uint32_t column) {
    for (const Cell& c : sheet.cells)
        if (c.row == row && c.column == column)
            return &c;
    return nullptr;
}

Worksheet Sheet(std::initializer_list<std::tuple<std::uint32_t, std::uint32_t, const char*>> cells) {
    Worksheet sheet;
    for (const auto& [row, column, text] : cells)
        sheet.Add(row, column, text);
    return sheet;
}

class ReadFixture : public testing::TestWithParam<const char*> {};

TEST_P(ReadFixture, GivesEveryKindOfCellAsTheSpreadsheetShowsIt) {
    Workbook book;
    std::string error;
    ASSERT_TRUE(ReadWorkbook(Fixture(GetParam()), kCap, book, error)) << error;
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[0].name, U8(u8"游戏列表"));
    EXPECT_EQ(book.sheets[2].name, U8(u8"旧表"));
    EXPECT_EQ(book.activeSheet, 2u);
    const Worksheet& sheet = book.sheets[0];
    const std::map<std::string, std::string> expected = {
        {"A1", U8(u8"Velmora 测试目录")}, {"A16", U8(u8"星际远航")},
        {"B16", "http://127.0.0.1/dl/a,b"}, {"C16", "1234"}, {"F16", U8(u8"注")},
        {"A17", "Night Harbor"},           {"D17", U8(u8"红色蓝色")}, // inline; rich text runs
        {"A18", U8(u8"上行\n下行")},       {"C18", "AB\"C"}, {"D18", U8(u8"甲\r\n乙")},
        {"B19", "0.3"},                    {"C19", "TRUE"}, {"D19", "2024-03-15"},
        {"A20", "Carriage\rReturn"},       {"B20", U8(u8"公式, 值")}, {"C20", "1.5E-07"},
        {"D20", "2024-03-15"},             {"B21", "-12.5"}, {"C21", "FALSE"}, {"D21", "#N/A"},
    };
    for (const auto& [ref, text] : expected) {
        const Cell* cell = CellAt(sheet, std::stoul(ref.substr(1)) - 1, ref[0] - 'A');
        ASSERT_NE(cell, nullptr) << ref;
        EXPECT_EQ(sheet.Text(*cell), text) << ref;
    }
    EXPECT_EQ(CellAt(sheet, 15, 4), nullptr); // column E is empty
    EXPECT_EQ(CellAt(sheet, 2, 0), nullptr);  // so is row 3
    EXPECT_EQ(CellAt(sheet, 16, 2), nullptr); // an empty shared string is no content
}

INSTANTIATE_TEST_SUITE_P(DeflatedAndStored, ReadFixture, testing::Values("fixture.xlsx", "stored.xlsx"));

TEST(WriteCsv, AfterTheThreeReplacesEachRowIsOneLineAndEachCellOneField) {
    Workbook book;
    std::string error, csv;
    ASSERT_TRUE(ReadWorkbook(Fixture("fixture.xlsx"), kCap, book, error)) << error;
    Worksheet& sheet = book.sheets[0];
    ReplaceInCells(sheet, "\n", "");
    ReplaceInCells(sheet, "\r", "");
    ReplaceInCells(sheet, ",", ";");
    ASSERT_TRUE(WriteCsv(sheet, kCap, csv));
    std::string expected = U8(u8"Velmora 测试目录,,,,,\r\n本表仅供测试,,,,,\r\n,,,,,\r\n");
    for (int i = 4; i <= 14; ++i)
        expected += U8(u8"说明第") + std::to_string(i) + U8(u8"行,,,,,\r\n");
    expected += U8(u8"游戏名称,下载链接,提取码,备注,,\r\n"
                   u8"星际远航,http://127.0.0.1/dl/a;b,1234,中文版,,注\r\n"
                   u8"Night Harbor,magnet:?xt=urn:btih:0123456789abcdef&dn=night,,红色蓝色,,\r\n"
                   u8"上行下行,https://127.0.0.1/s/2,\"AB\"\"C\",甲乙,,\r\n"
                   u8"Numbers 数字,0.3,TRUE,2024-03-15,,\r\n"
                   u8"CarriageReturn,公式; 值,1.5E-07,2024-03-15,,\r\n"
                   u8"\"\"\"Quoted\"\" game\",-12.5,FALSE,#N/A,,\r\n");
    EXPECT_EQ(csv, expected);
}

TEST(WriteCsv, KeepsLeadingEmptyRowsAndColumnsAndQuotesOnlyWhatNeedsIt) {
    Workbook book;
    std::string error, csv;
    ASSERT_TRUE(ReadWorkbook(Fixture("fixture.xlsx"), kCap, book, error)) << error;
    ASSERT_TRUE(WriteCsv(book.sheets[1], kCap, csv));
    EXPECT_EQ(csv, U8(u8",,\r\n,,\r\n,说明,内联\r\n,,\r\n,,7\r\n"));

    const Worksheet cells = Sheet({{0, 0, "a,b"}, {0, 1, "say \"hi\""}, {0, 2, "x\ry"}, {0, 3, "p\nq"}, {0, 4, "plain;"}});
    ASSERT_TRUE(WriteCsv(cells, kCap, csv));
    EXPECT_EQ(csv, "\"a,b\",\"say \"\"hi\"\"\",\"x\ry\",\"p\nq\",plain;\r\n");
    ASSERT_TRUE(WriteCsv(Worksheet{}, kCap, csv));
    EXPECT_EQ(csv, "");
    // One far cell would make gigabytes of separators.
    const Worksheet far = Sheet({{kMaxRows - 1, kMaxColumns - 1, "x"}});
    EXPECT_FALSE(WriteCsv(far, kCap, csv));
}

TEST(ReplaceInCells, ReplacesEveryOccurrenceAndDropsCellsThatBecomeEmpty) {
    Worksheet sheet = Sheet({{0, 0, "aaa"}, {0, 1, "\n"}, {1, 0, "\n"}, {2, 3, "x\ny"}});
    ReplaceInCells(sheet, "aa", "b");
    ReplaceInCells(sheet, "\n", "");
    ReplaceInCells(sheet, "", "never");
    ASSERT_EQ(sheet.cells.size(), 2u);
    EXPECT_EQ(sheet.Text(sheet.cells[0]), "ba");
    EXPECT_EQ(sheet.Text(sheet.cells[1]), "xy");
    EXPECT_EQ(sheet.cells[1].row, 2u);
    EXPECT_EQ(sheet.cells[1].column, 3u);
}

TEST(ReadWorkbook, RefusesWhatIsNotAReadableWorkbook) {
    const struct {
        const char* fixture;
        std::uint64_t cap;
    } cases[] = {
        {"page.xlsx", kCap},        {"truncated.xlsx", kCap}, {"no-workbook.xlsx", kCap},
        {"dtd.xlsx", kCap},         {"bomb.xlsx", kCap},      {"fixture.xlsx", 2000},
        {"missing.xlsx", kCap},
    };
    for (const auto& c : cases) {
        Workbook book;
        std::string error;
        EXPECT_FALSE(ReadWorkbook(Fixture(c.fixture), c.cap, book, error)) << c.fixture;
        EXPECT_FALSE(error.empty()) << c.fixture;
    }
}

TEST(ReadWorkbook, SampleCatalogueHasItsHeaderAndGames) {
    Workbook book;
    std::string error, csv;
    ASSERT_TRUE(ReadWorkbook(Fixture("sample.xlsx"), kCap, book, error)) << error;
    EXPECT_EQ(book.sheets[0].cells.back().row, 15u + 650u - 1);
    EXPECT_EQ(book.sheets[0].Text(*CellAt(book.sheets[0], 14, 0)), U8(u8"游戏名"));
}

} // namespace
} // namespace sheetserver
