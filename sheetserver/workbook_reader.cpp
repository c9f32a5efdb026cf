#include "sheetserver/workbook_reader.h"

#include "sheetserver/cell_text.h"
#include "sheetserver/xml_scanner.h"
#include "sheetserver/zip_archive.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <new>
#include <thread>
#include <unordered_map>

namespace sheetserver {
namespace {

struct SheetEntry {
    std::string name;
    std::string relationId;
};

struct Parts {
    std::vector<SheetEntry> sheets;
    std::size_t activeTab = 0;
    bool system1904 = false;
    std::unordered_map<std::string, std::string> targets; // relationship id -> part name
    std::string sharedStrings, styles;                      // part names, or empty
};

bool ToNumber(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// A relationship target, relative to xl/ unless absolute, as a part name.
std::string PartName(std::string_view target) {
    std::string joined = target.starts_with('/') ? std::string(target.substr(1))
                                                 : "xl/" + std::string(target);
    std::vector<std::string_view> segments;
    std::string_view rest = joined;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    }
    std::string name;
    for (std::string_view segment : segments)
        name.append(name.empty() ? "" : "/").append(segment);
    return name;
}

// Runs `onStart` for each start tag; false when the XML is malformed.
template <typename OnStart>
bool ScanTags(std::string_view xml, OnStart onStart) {
    XmlScanner scanner(xml);
    for (;;) {
        switch (scanner.Next()) {
        case XmlToken::StartTag:
            onStart(scanner);
            break;
        case XmlToken::End:
            return true;
        case XmlToken::Error:
            return false;
        default:
            break;
        }
    }
}

bool ReadWorkbookPart(std::string_view xml, Parts& parts) {
    std::string value;
    return ScanTags(xml, [&](XmlScanner& s) {
        value.clear();
        if (s.Name() == "sheet") {
            SheetEntry entry;
            s.Attribute("name", entry.name);
            s.Attribute("id", entry.relationId);
            parts.sheets.push_back(std::move(entry));
        } else if (s.Name() == "workbookView" && s.Attribute("activeTab", value)) {
            std::uint64_t tab = 0;
            if (ToNumber(value, tab))
                parts.activeTab = static_cast<std::size_t>(tab);
        } else if (s.Name() == "workbookPr" && s.Attribute("date1904", value)) {
            parts.system1904 = value == "1" || value == "true";
        }
    });
}

bool ReadRelationships(std::string_view xml, Parts& parts) {
    std::string id, type, target, mode;
    return ScanTags(xml, [&](XmlScanner& s) {
        if (s.Name() != "Relationship")
            return;
        id.clear(), type.clear(), target.clear(), mode.clear();
        s.Attribute("Id", id);
        s.Attribute("Type", type);
        s.Attribute("Target", target);
        if (s.Attribute("TargetMode", mode) && mode == "External")
            return;
        std::string part = PartName(target);
        if (EndsWith(type, "/sharedStrings"))
            parts.sharedStrings = part;
        else if (EndsWith(type, "/styles"))
            parts.styles = part;
        parts.targets[id] = std::move(part);
    });
}

// The texts of <t> elements inside each `item` element, leaving out phonetic runs (<rPh>).
// Calls `onItem` with each item's text, unescaped.
template <typename OnItem>
bool ReadRuns(XmlScanner& scanner, std::string_view item, std::string& text, OnItem onItem) {
    int itemDepth = -1, textDepth = -1, skipDepth = -1;
    for (;;) {
        switch (scanner.Next()) {
        case XmlToken::StartTag:
            if (itemDepth < 0 && scanner.Name() == item) {
                itemDepth = scanner.Depth();
                text.clear();
            } else if (itemDepth >= 0 && skipDepth < 0 && scanner.Name() == "rPh") {
                skipDepth = scanner.Depth();
            } else if (itemDepth >= 0 && skipDepth < 0 && scanner.Name() == "t") {
                textDepth = scanner.Depth();
            }
            break;
        case XmlToken::Text:
            if (textDepth >= 0 && !scanner.AppendText(text))
                return false;
            break;
        case XmlToken::EndTag: {
            const int depth = scanner.Depth() + 1; // the depth the closed element had
            if (depth == textDepth)
                textDepth = -1;
            else if (depth == skipDepth)
                skipDepth = -1;
            else if (depth == itemDepth) {
                itemDepth = -1;
                UnescapeStoredText(text);
                if (!onItem(text))
                    return true;
            }
            break;
        }
        case XmlToken::End:
            return true;
        case XmlToken::Error:
            return false;
        }
    }
}

// The shared string table: its texts in one pool.
struct SharedStrings {
    std::string pool;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans; // offset, size

    std::string_view operator[](std::size_t i) const { return {pool.data() + spans[i].first, spans[i].second}; }
    std::size_t size() const { return spans.size(); }
};

bool ReadSharedStrings(std::string_view xml, SharedStrings& strings) {
    strings.pool.reserve(xml.size());
    strings.spans.reserve(xml.size() / 32);
    XmlScanner scanner(xml);
    std::string text;
    return ReadRuns(scanner, "si", text, [&](std::string& item) {
        strings.spans.emplace_back(static_cast<std::uint32_t>(strings.pool.size()),
                                   static_cast<std::uint32_t>(item.size()));
        strings.pool.append(item);
        return true;
    });
}

// For each cell format (the cells' "s" attribute), whether it shows a date.
bool ReadStyles(std::string_view xml, std::vector<bool>& dateStyles) {
    std::map<std::uint64_t, std::string> codes;
    std::vector<std::uint64_t> formatIds;
    XmlScanner scanner(xml);
    std::string value;
    int cellXfsDepth = -1;
    for (;;) {
        const XmlToken token = scanner.Next();
        if (token == XmlToken::Error)
            return false;
        if (token == XmlToken::End)
            break;
        if (token == XmlToken::EndTag && scanner.Depth() + 1 == cellXfsDepth)
            cellXfsDepth = -1;
        if (token != XmlToken::StartTag)
            continue;
        std::uint64_t id = 0;
        value.clear();
        if (scanner.Name() == "cellXfs") {
            cellXfsDepth = scanner.Depth();
        } else if (scanner.Name() == "numFmt" && scanner.Attribute("numFmtId", value) &&
                   ToNumber(value, id)) {
            value.clear();
            scanner.Attribute("formatCode", value);
            codes[id] = value;
        } else if (scanner.Name() == "xf" && cellXfsDepth >= 0 && scanner.Depth() == cellXfsDepth + 1) {
            formatIds.push_back(scanner.Attribute("numFmtId", value) && ToNumber(value, id) ? id : 0);
        }
    }
    for (std::uint64_t id : formatIds) {
        const auto code = codes.find(id);
        dateStyles.push_back(IsDateFormat(id > 1000 ? -1 : static_cast<int>(id),
                                          code == codes.end() ? std::string_view{} : code->second));
    }
    return true;
}

// "B12" -> column 1, row 11. A reference without a row part keeps `row` as it is.
bool ParseReference(std::string_view ref, std::uint32_t& column, std::uint32_t& row) {
    std::size_t i = 0;
    std::uint32_t letters = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        letters = letters * 26 + static_cast<std::uint32_t>(ref[i] - 'A' + 1);
        if (letters > kMaxColumns)
            return false;
    }
    if (letters == 0)
        return false;
    column = letters - 1;
    if (i == ref.size())
        return true;
    std::uint64_t number = 0;
    if (!ToNumber(ref.substr(i), number) || number == 0 || number > kMaxRows)
        return false;
    row = static_cast<std::uint32_t>(number - 1);
    return true;
}

class SheetReader {
public:
    // Cell texts together may not exceed `textBudget` bytes: a shared string is copied into every
    // cell that refers to it, so a small part could otherwise fill the memory.
    // Without `strings`, a shared-string cell is kept as its index (size 0) for Resolve.
    SheetReader(const SharedStrings* strings, const std::vector<bool>& dateStyles,
                bool system1904, std::uint64_t& textBudget)
        : strings_(strings), dateStyles_(dateStyles), system1904_(system1904), textBudget_(textBudget) {}

    // Whether the cells came in order; if not, Normalise has to follow.
    bool Ordered() const { return ordered_; }

    bool Read(std::string_view xml, Worksheet& sheet) {
        XmlScanner scanner(xml);
        bool& ordered = ordered_;
        for (;;) {
            switch (scanner.Next()) {
            case XmlToken::StartTag:
                if (!OnStart(scanner, sheet, ordered))
                    return false;
                break;
            case XmlToken::Text:
                if (capture_ && !scanner.AppendText(*capture_))
                    return false;
                break;
            case XmlToken::EndTag:
                if (!OnEnd(scanner, sheet, ordered))
                    return false;
                break;
            case XmlToken::End:
                return true;
            case XmlToken::Error:
                return false;
            }
        }
    }

private:
    bool OnStart(XmlScanner& s, Worksheet& sheet, bool& ordered) {
        const std::string_view name = s.Name();
        attribute_.clear();
        if (name == "row") {
            std::uint64_t number = 0;
            if (s.Attribute("r", attribute_)) {
                if (!ToNumber(attribute_, number) || number == 0 || number > kMaxRows)
                    return false;
                row_ = static_cast<std::uint32_t>(number - 1);
            } else {
                row_ = nextRow_;
            }
            if (row_ >= kMaxRows)
                return false;
            nextRow_ = row_ + 1;
            nextColumn_ = 0;
            inRow_ = true;
        } else if (name == "c") {
            if (!inRow_)
                return false;
            std::uint32_t cellRow = row_;
            if (s.Attribute("r", attribute_)) {
                if (!ParseReference(attribute_, column_, cellRow))
                    return false;
            } else {
                column_ = nextColumn_;
            }
            if (column_ >= kMaxColumns)
                return false;
            nextColumn_ = column_ + 1;
            type_.clear();
            s.Attribute("t", type_);
            attribute_.clear();
            std::uint64_t style = 0;
            date_ = s.Attribute("s", attribute_) && ToNumber(attribute_, style) &&
                    style < dateStyles_.size() && dateStyles_[style];
            value_.clear();
            inline_.clear();
            inCell_ = true;
        } else if (inCell_ && name == "v") {
            capture_ = &value_;
        } else if (inCell_ && name == "is") {
            inInline_ = true;
        } else if (inInline_ && name == "rPh") {
            skipDepth_ = s.Depth();
        } else if (inInline_ && skipDepth_ < 0 && name == "t") {
            capture_ = &inline_;
        }
        (void)sheet, (void)ordered;
        return true;
    }

    bool OnEnd(XmlScanner& s, Worksheet& sheet, bool& ordered) {
        const std::string_view name = s.Name();
        if (name == "v" || name == "t") {
            capture_ = nullptr;
        } else if (name == "rPh" && s.Depth() + 1 == skipDepth_) {
            skipDepth_ = -1;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "row") {
            inRow_ = false;
        } else if (name == "c" && inCell_) {
            inCell_ = false;
            text_.clear();
            if (type_ == "s" && !strings_)
                return StoreIndex(sheet, ordered);
            std::string_view text;
            if (!CellText(text) || text.size() > textBudget_)
                return false;
            textBudget_ -= text.size();
            if (!text.empty())
                Store(sheet, text, ordered);
        }
        return true;
    }

    // The cell's text: a shared string where it is one, else built in text_.
    bool CellText(std::string_view& view) {
        std::string& text = text_;
        if (type_ == "s") {
            std::uint64_t index = 0;
            if (value_.empty())
                return true;
            if (!ToNumber(value_, index) || index >= strings_->size())
                return false;
            view = (*strings_)[index];
            return true;
        } else if (type_ == "inlineStr") {
            UnescapeStoredText(inline_);
            text.swap(inline_);
        } else if (type_ == "str") {
            UnescapeStoredText(value_);
            text.swap(value_);
        } else if (type_ == "b") {
            if (!value_.empty())
                text = value_ == "0" ? "FALSE" : "TRUE";
        } else if (type_ == "e" || type_ == "d") {
            text.swap(value_);
        } else if (!value_.empty()) {
            if (date_) {
                double serial = 0;
                const auto [end, error] = std::from_chars(value_.data(), value_.data() + value_.size(), serial);
                if (error == std::errc() && end == value_.data() + value_.size() &&
                    DateText(serial, system1904_, text)) {
                    view = text;
                    return true;
                }
            }
            if (!GeneralNumberText(value_, text))
                return false;
        }
        view = text;
        return true;
    }

    void Store(Worksheet& sheet, std::string_view text, bool& ordered) {
        NoteOrder(sheet, ordered);
        sheet.Add(row_, column_, text);
    }

    bool StoreIndex(Worksheet& sheet, bool& ordered) {
        std::uint64_t index = 0;
        if (value_.empty())
            return true;
        if (!ToNumber(value_, index) || index > UINT32_MAX)
            return false;
        NoteOrder(sheet, ordered);
        sheet.cells.push_back({row_, column_, static_cast<std::uint32_t>(index), 0});
        return true;
    }

    void NoteOrder(const Worksheet& sheet, bool& ordered) const {
        if (!sheet.cells.empty()) {
            const Cell& last = sheet.cells.back();
            if (last.row > row_ || (last.row == row_ && last.column >= column_))
                ordered = false;
        }
    }

public:
    // Gives the cells kept as shared-string indexes their texts; those whose text is empty go.
    static bool Resolve(Worksheet& sheet, const SharedStrings& strings, std::uint64_t& textBudget) {
        for (Cell& cell : sheet.cells) {
            if (cell.size != 0)
                continue;
            if (cell.offset >= strings.size())
                return false;
            const std::string_view text = strings[cell.offset];
            if (text.size() > textBudget)
                return false;
            textBudget -= text.size();
            cell.offset = static_cast<std::uint32_t>(sheet.texts.size());
            cell.size = static_cast<std::uint32_t>(text.size());
            sheet.texts.append(text);
        }
        std::erase_if(sheet.cells, [](const Cell& cell) { return cell.size == 0; });
        return true;
    }

    // Rows or cells out of order, or given twice: sort them, the last of equals winning.
    static void Normalise(Worksheet& sheet) {
        auto& cells = sheet.cells;
        std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        std::vector<Cell> unique;
        for (const Cell& cell : cells) {
            if (!unique.empty() && unique.back().row == cell.row && unique.back().column == cell.column)
                unique.back() = cell;
            else
                unique.push_back(cell);
        }
        cells = std::move(unique);
    }

private:
    const SharedStrings* strings_;
    const std::vector<bool>& dateStyles_;
    const bool system1904_;
    std::uint64_t& textBudget_;
    std::string attribute_, type_, value_, inline_, text_;
    std::string* capture_ = nullptr;
    std::uint32_t row_ = 0, nextRow_ = 0, column_ = 0, nextColumn_ = 0;
    bool inRow_ = false, inCell_ = false, inInline_ = false, date_ = false;
    int skipDepth_ = -1;
    bool ordered_ = true;
};

} // namespace

bool ReadWorkbook(std::string_view data, std::uint64_t maxUnpacked, Workbook& book,
                  std::string& error) {
    book = {};
    ZipArchive zip(data, maxUnpacked);
    if (!zip.Valid()) {
        error = "The data is not a workbook (no ZIP directory).";
        return false;
    }
    Bytes part;
    auto unreadable = [&](const std::string& name) {
        error = zip.Contains(name) ? "The workbook part " + name + " is damaged or too large."
                                   : "The workbook has no part " + name + ".";
        return false;
    };
    auto extract = [&](const std::string& name, std::string_view& out) {
        if (!zip.Extract(name, part))
            return unreadable(name);
        out = part.View();
        return true;
    };
    auto malformed = [&](const std::string& name) {
        error = "The workbook part " + name + " is not well-formed XML.";
        return false;
    };
    Parts parts;
    std::string_view xml;
    if (!extract("xl/workbook.xml", xml))
        return false;
    if (!ReadWorkbookPart(xml, parts))
        return malformed("xl/workbook.xml");
    if (!extract("xl/_rels/workbook.xml.rels", xml))
        return false;
    if (!ReadRelationships(xml, parts))
        return malformed("xl/_rels/workbook.xml.rels");
    // Styles first: every sheet's dates depend on them.
    std::vector<bool> dateStyles;
    if (!parts.styles.empty() && zip.Contains(parts.styles)) {
        if (!extract(parts.styles, xml))
            return false;
        if (!ReadStyles(xml, dateStyles))
            return malformed(parts.styles);
    }
    if (parts.sheets.empty()) {
        error = "The workbook has no sheets.";
        return false;
    }
    // The first sheet, usually the largest part, is unpacked and read on a second thread while
    // the shared strings are read here; its shared-string cells get their texts afterwards.
    std::uint64_t textBudget = maxUnpacked; // the worker's alone until it has been joined
    std::string firstSheetName;
    if (const auto target = parts.targets.find(parts.sheets[0].relationId); target != parts.targets.end())
        firstSheetName = target->second;
    Worksheet firstSheet;
    enum class Outcome { Read, Missing, Malformed } firstOutcome = Outcome::Missing;
    bool firstOrdered = true;
    std::jthread reading;
    if (!firstSheetName.empty())
        reading = std::jthread([&] {
            try {
                Bytes bytes;
                if (!zip.Extract(firstSheetName, bytes))
                    return;
                const std::string_view sheetXml = bytes.View();
                firstSheet.texts.reserve(std::min<std::uint64_t>(sheetXml.size(), textBudget));
                firstSheet.cells.reserve(sheetXml.size() / 64);
                SheetReader reader(nullptr, dateStyles, parts.system1904, textBudget);
                firstOutcome = reader.Read(sheetXml, firstSheet) ? Outcome::Read : Outcome::Malformed;
                firstOrdered = reader.Ordered();
            } catch (const std::bad_alloc&) {
                firstOutcome = Outcome::Malformed;
            }
        });
    // One buffer, as large as the largest other part, serves them in turn.
    std::uint64_t largest = 0;
    for (const auto& [id, name] : parts.targets)
        if (name != firstSheetName)
            largest = std::max(largest, zip.DeclaredSize(name));
    if (largest > part.capacity && largest <= maxUnpacked) {
        part.data.reset(new char[largest]);
        part.capacity = largest;
    }
    SharedStrings strings;
    if (!parts.sharedStrings.empty() && zip.Contains(parts.sharedStrings)) {
        if (!extract(parts.sharedStrings, xml))
            return false;
        if (!ReadSharedStrings(xml, strings))
            return malformed(parts.sharedStrings);
    }
    for (const SheetEntry& entry : parts.sheets) {
        Worksheet& sheet = book.sheets.emplace_back();
        const auto target = parts.targets.find(entry.relationId);
        if (target == parts.targets.end()) {
            error = "The sheet " + entry.name + " has no part.";
            return false;
        }
        const std::string malformedSheet = "The sheet part " + target->second + " is malformed or too large.";
        bool ordered = true;
        if (&entry == &parts.sheets[0]) {
            if (reading.joinable())
                reading.join();
            if (firstOutcome == Outcome::Missing)
                return unreadable(firstSheetName);
            if (firstOutcome == Outcome::Malformed || !SheetReader::Resolve(firstSheet, strings, textBudget)) {
                error = malformedSheet;
                return false;
            }
            sheet = std::move(firstSheet);
            ordered = firstOrdered;
        } else {
            if (!extract(target->second, xml))
                return false;
            // Generous reservations cost address space only, and spare the copies of growing.
            sheet.texts.reserve(std::min<std::uint64_t>(xml.size(), textBudget));
            sheet.cells.reserve(xml.size() / 64);
            SheetReader reader(&strings, dateStyles, parts.system1904, textBudget);
            if (!reader.Read(xml, sheet)) {
                error = malformedSheet;
                return false;
            }
            ordered = reader.Ordered();
        }
        if (!ordered)
            SheetReader::Normalise(sheet);
        sheet.name = entry.name;
    }
    book.activeSheet = parts.activeTab < book.sheets.size() ? parts.activeTab : 0;
    return true;
}

} // namespace sheetserver
