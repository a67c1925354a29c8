// Hostile and broken binary workbooks: mutated record headers and directory entries,
// broken counts, the dimension bomb, shared sheet records and the string bomb. Each
// opens or is refused with a message that names the file and what is wrong, within
// bounded time and memory (each file is read in a child process of its own).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/Limits.h"
#include "platform/engine/files/XlsCompoundFile.h"
#include "platform/engine/files/XlsExport.h"
#include "platform/engine/files/XlsReader.h"
#include "platform/engine/files/XlsRecords.h"
#include "platform/engine/files/XlsxPackage.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

namespace record = xls::record;

#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakMb = 1500;  // the sanitizer's own bookkeeping comes on top
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long kPeakMb = 1500;
#else
constexpr long kPeakMb = 500;
#endif
#else
constexpr long kPeakMb = 500;
#endif

std::string asText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string fileOfStream(const std::string& stream) {
    return asText(xls::compoundFileWithStream("Workbook", std::vector<std::uint8_t>(stream.begin(), stream.end())));
}

std::string streamOf(const std::string& file) { return xls::CompoundFile(file).stream("Workbook"); }

std::string sampleFile() { return asText(encodeXlsWorkbook(*testing::sampleTemplate())); }

std::uint32_t get32(const std::string& b, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + size_t(i)]);
    return v;
}
void put16(std::string& b, size_t at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void put32(std::string& b, size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// Offsets of every record header of a stream, continuations included.
std::vector<size_t> recordHeaders(const std::string& stream) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 4 <= stream.size();) {
        unsigned type = static_cast<unsigned char>(stream[i]) | (static_cast<unsigned char>(stream[i + 1]) << 8);
        unsigned size = static_cast<unsigned char>(stream[i + 2]) | (static_cast<unsigned char>(stream[i + 3]) << 8);
        if (type == 0 && size == 0) break;
        at.push_back(i);
        i += 4 + size;
    }
    return at;
}

// Reads the bytes in a child and checks the outcome: opened, or refused with a
// message that names the file and contains `fragment`.
void expectBounded(const std::string& what, const std::string& bytes, const std::string& fragment,
                   bool opens = false) {
    SCOPED_TRACE(what);
    ASSERT_LT(bytes.size(), 1u << 20) << "the hostile file should be under 1 MB";
    auto m = testing::measureReading([&] { files::readXls(bytes, "hostile.xls", files::ReadLimits{}, false); });
    EXPECT_TRUE(m.finished) << "the reading did not finish";
    EXPECT_LT(m.peakMb, kPeakMb);
    EXPECT_EQ(m.opened, opens) << m.message;
    if (!opens) {
        EXPECT_EQ(m.message.rfind("Cannot open \"hostile.xls\": ", 0), 0u) << m.message;
        EXPECT_NE(m.message.find(fragment), std::string::npos) << m.message;
    }
}

// ---- A workbook stream built record by record ------------------------------------------

class StreamBuilder {
public:
    void bof(unsigned kind) { w_.record(record::kBof, xls::Bytes().u16(0x0600).u16(kind).u16(0).u16(0).u32(0).u32(6)); }
    void eof() { w_.record(record::kEof, xls::Bytes()); }
    // A sheet entry whose offset is set by sheetStarts.
    void boundSheet(const std::string& name) {
        fields_.push_back(w_.position() + 4);
        xls::Bytes b;
        b.u32(0).u8(0).u8(0);
        xls::appendShortString(b, std::u16string(name.begin(), name.end()));
        w_.record(record::kBoundSheet, b);
    }
    void sheetStarts(size_t entry) { w_.patch32(fields_.at(entry), std::uint32_t(w_.position())); }
    void sameStartAs(size_t entry, size_t other) { w_.patch32(fields_.at(entry), starts_.at(other)); }
    void markStart() { starts_.push_back(std::uint32_t(w_.position())); }
    void rec(std::uint16_t type, const xls::Bytes& body) { w_.record(type, body); }
    std::string stream() {
        auto bytes = w_.take();
        return std::string(bytes.begin(), bytes.end());
    }

private:
    xls::RecordWriter w_;
    std::vector<size_t> fields_;
    std::vector<std::uint32_t> starts_;
};

xls::Bytes number(unsigned row, unsigned col, double v) { return xls::Bytes().u16(row).u16(col).u16(15).f64(v); }

TEST(XlsHostileInput, MutatedRecordHeadersAreReadOrRefusedWithinBounds) {
    const std::string stream = streamOf(sampleFile());
    const auto headers = recordHeaders(stream);
    ASSERT_GT(headers.size(), 50u);
    // Each header in turn: a length past the record's end, none, one byte short or
    // long, and the type of a record whose layout the data does not have.
    const std::vector<std::function<void(std::string&, size_t)>> mutations{
        [](std::string& s, size_t at) { put16(s, at + 2, 0xFFFF); },
        [](std::string& s, size_t at) { put16(s, at + 2, 0); },
        [](std::string& s, size_t at) { put16(s, at + 2, unsigned(std::uint8_t(s[at + 2])) + 1); },
        [](std::string& s, size_t at) { put16(s, at + 2, unsigned(std::uint8_t(s[at + 2]) - 1) & 0xFF); },
        [](std::string& s, size_t at) { put16(s, at, record::kLabelSst); },
        [](std::string& s, size_t at) { put16(s, at, record::kSst); },
        [](std::string& s, size_t at) { put16(s, at, record::kMulRk); },
        [](std::string& s, size_t at) { put16(s, at, record::kBoundSheet); },
        [](std::string& s, size_t at) { put16(s, at, record::kBof); },
        [](std::string& s, size_t at) { put16(s, at, record::kMergedCells); },
    };
    auto m = testing::measureReading(
        [&] {
            size_t opened = 0, refused = 0;
            for (size_t at : headers) {
                for (const auto& mutate : mutations) {
                    std::string mutated = stream;
                    mutate(mutated, at);
                    std::string file = fileOfStream(mutated);
                    for (bool valuesOnly : {false, true}) {
                        try {
                            auto wb = files::readXls(file, "m.xls", files::ReadLimits{}, valuesOnly);
                            encodeXlsWorkbook(*wb);
                            files::writeXlsx(*wb, "m.xlsx", false);
                            ++opened;
                        } catch (const host::HostError& e) {
                            if (std::string(e.what()).rfind("Cannot open \"m.xls\": ", 0) != 0 &&
                                std::string(e.what()).find("97-2003") == std::string::npos)
                                throw host::HostError(host::error::kApplicationDefined,
                                                      std::string("unclear message: ") + e.what());
                            ++refused;
                        }
                    }
                }
            }
            if (opened == 0 || refused == 0)
                throw host::HostError(host::error::kApplicationDefined, "every mutation had the same outcome");
        },
        120);
    EXPECT_TRUE(m.finished);
    EXPECT_TRUE(m.opened) << m.message;
    EXPECT_LT(m.peakMb, kPeakMb);
}

TEST(XlsHostileInput, DamagedContainersAreRefusedSayingWhatIsWrong) {
    const std::string good = sampleFile();
    const size_t directory = (size_t(get32(good, 48)) + 1) * 512;
    const size_t fat = (size_t(get32(good, 76)) + 1) * 512;
    const size_t stream = directory + 128;  // the workbook stream's entry
    const std::uint32_t first = get32(good, stream + 116);
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* fragment;
    };
    const std::vector<Case> cases{
        {"stream larger than the file", [&](std::string& f) { put32(f, stream + 120, 0x7FFFFFF0); }, "more than the file holds"},
        {"stream starting outside", [&](std::string& f) { put32(f, stream + 116, 0x00FFFFFF); }, "outside the file"},
        {"chain in a circle", [&](std::string& f) { put32(f, fat + 4 * first + 4, first); }, "runs in a circle"},
        {"directory in a circle", [&](std::string& f) { put32(f, fat + 4 * get32(f, 48), get32(f, 48)); }, "directory runs in a circle"},
        {"sibling is itself", [&](std::string& f) { put32(f, stream + 68, 1); }, "directory tree runs in a circle"},
        {"root's child is the root", [&](std::string& f) { put32(f, directory + 76, 0); }, "points outside the directory"},
        {"allocation table too large", [&](std::string& f) { put32(f, 44, 0xFFFF); }, "allocation table claims"},
        {"byte order", [&](std::string& f) { put16(f, 28, 0xFEFF); }, "unknown byte order"},
        {"no root", [&](std::string& f) { f[directory + 66] = 1; }, "no root entry"},
        {"cut after the header", [&](std::string& f) { f.resize(600); }, "outside the file"},
        {"workbook stream renamed", [&](std::string& f) { f[stream] = 'X'; }, "holds no workbook stream"},
        {"a workbook of the older binary format", [&](std::string& f) {
             std::string book = std::string("B\0o\0o\0k\0\0\0", 10);
             f.replace(stream, book.size(), book);
             put16(f, stream + 64, 10);
         }, "older binary format (BIFF5"},
    };
    for (const Case& c : cases) {
        std::string damaged = good;
        c.damage(damaged);
        expectBounded(c.what, damaged, c.fragment);
    }
}

TEST(XlsHostileInput, BombsAndBrokenCountsAreBoundedInTimeAndMemory) {
    // The dimension bomb: thirty sheets each claiming 65536 × 256 cells, holding one.
    StreamBuilder dims;
    dims.bof(0x0005);
    for (int s = 0; s < 30; ++s) dims.boundSheet("S" + std::to_string(s));
    dims.eof();
    for (size_t s = 0; s < 30; ++s) {
        dims.sheetStarts(s);
        dims.bof(0x0010);
        dims.rec(record::kDimensions, xls::Bytes().u32(0).u32(65536).u16(0).u16(256).u16(0));
        dims.rec(record::kNumber, number(65535, 255, 1));
        dims.eof();
    }
    expectBounded("dimension bomb", fileOfStream(dims.stream()), "", true);

    // A thousand sheets sharing the records of one.
    StreamBuilder shared;
    shared.bof(0x0005);
    for (int s = 0; s < 1000; ++s) shared.boundSheet("S" + std::to_string(s));
    shared.eof();
    shared.markStart();
    shared.sheetStarts(0);
    for (size_t s = 1; s < 1000; ++s) shared.sameStartAs(s, 0);
    shared.bof(0x0010);
    for (unsigned r = 0; r < 2000; ++r) shared.rec(record::kNumber, number(r, 0, r));
    shared.eof();
    expectBounded("shared sheet records", fileOfStream(shared.stream()), "share their records");

    // A shared-string table claiming four billion strings in a few bytes.
    StreamBuilder strings;
    strings.bof(0x0005);
    strings.boundSheet("S");
    strings.rec(record::kSst, xls::Bytes().u32(1).u32(0xFFFFFFFF).u16(1).u8(0).u8('a'));
    strings.eof();
    strings.sheetStarts(0);
    strings.bof(0x0010);
    strings.eof();
    expectBounded("string count", fileOfStream(strings.stream()), "more than its records hold");

    // A label claiming more characters than its record holds.
    StreamBuilder label;
    label.bof(0x0005);
    label.boundSheet("S");
    label.eof();
    label.sheetStarts(0);
    label.bof(0x0010);
    label.rec(record::kLabel, xls::Bytes().u16(0).u16(0).u16(15).u16(0xFFFF).u8(1).u16('x'));
    label.eof();
    expectBounded("label length", fileOfStream(label.stream()), "shorter than what it holds");

    // The string bomb: 65,000 cells that all show one text of 32767 Chinese characters.
    WorkbookModel big;
    big.sheets.push_back(std::make_unique<Sheet>());
    big.sheets[0]->name = "S";
    std::string longText;
    for (int i = 0; i < 32767; ++i) longText += "账";
    big.sheets[0]->cells.at({1, 1}).value = Value::text(longText);
    std::string bomb = streamOf(asText(encodeXlsWorkbook(big)));
    const size_t lastEof = bomb.rfind(std::string("\x0A\x00\x00\x00", 4));
    std::string cells;
    for (unsigned i = 0; i < 65000; ++i) {
        xls::Bytes b;
        b.u16(record::kLabelSst).u16(10).u16(1 + i / 256).u16(i % 256).u16(15).u32(0);
        cells.append(b.data().begin(), b.data().end());
    }
    bomb.insert(lastEof, cells);
    expectBounded("string bomb", fileOfStream(bomb), "MiB of memory, the limit for one workbook");
}

// A sheet of one formula cell in B3 with the given tokens, then `more` records.
std::string formulaSheet(const xls::Bytes& tokens, const std::string& more = {}) {
    StreamBuilder b;
    b.bof(0x0005);
    b.boundSheet("S");
    b.eof();
    b.sheetStarts(0);
    b.bof(0x0010);
    xls::Bytes f;
    f.u16(2).u16(1).u16(15).f64(0).u16(0).u32(0).u16(unsigned(tokens.size())).append(tokens);
    b.rec(record::kFormula, f);
    std::string s = b.stream() + more;
    StreamBuilder end;
    end.eof();
    return s + end.stream();
}

TEST(XlsHostileInput, BrokenFormulaTokensAreRefusedNamingTheCell) {
    const std::vector<std::pair<const char*, xls::Bytes>> cases{
        {"an operator without operands", xls::Bytes().u8(0x03)},
        {"two values left", xls::Bytes().u8(0x1E).u16(1).u8(0x1E).u16(2)},
        {"a reference cut short", xls::Bytes().u8(0x44).u16(0)},
        {"a name that does not exist", xls::Bytes().u8(0x43).u16(7).u16(0)},
        {"a sheet range that does not exist", xls::Bytes().u8(0x5A).u16(3).u16(0).u16(0)},
        {"an array without its values", xls::Bytes().u8(0x60).u32(0).u16(0).u8(0)},
        {"a call with more arguments than values", xls::Bytes().u8(0x1E).u16(1).u8(0x42).u8(9).u16(4)},
    };
    for (const auto& [what, tokens] : cases)
        expectBounded(what, fileOfStream(formulaSheet(tokens)), "cell B3");
    // Tokens this reader does not turn into text leave the cell its last value.
    auto wb = files::readXls(fileOfStream(formulaSheet(xls::Bytes().u8(0x18).u8(0x0B))), "t.xls",
                             files::ReadLimits{}, false);
    EXPECT_TRUE(wb->sheets[0]->cells.find({3, 2})->formula.empty());
}

// One shared formula of a long text used by every cell a file of under 1 MB can hold:
// each cell's text is charged to the budget, and the whole stays within bounds.
TEST(XlsHostileInput, ASharedFormulaForManyCellsIsBounded) {
    xls::Bytes tokens;
    tokens.u8(0x17).u8(255).u8(0);
    for (int i = 0; i < 255; ++i) tokens.u8('x');
    for (int i = 0; i < 28; ++i) tokens.u8(0x17).u8(255).u8(0).append(std::vector<std::uint8_t>(255, 'y')).u8(0x08);
    std::string cells;
    for (unsigned i = 1; i < 33000; ++i) {
        xls::Bytes c;
        c.u16(record::kFormula).u16(27).u16(i).u16(0).u16(15).f64(0).u16(8).u32(0).u16(5).u8(0x01).u16(0).u16(0);
        cells.append(c.data().begin(), c.data().end());
    }
    xls::Bytes shared;
    shared.u16(0).u16(0xFFFF).u8(0).u8(0).u8(0).u8(255).u16(unsigned(tokens.size())).append(tokens);
    xls::RecordWriter w;
    w.record(record::kShrFmla, shared);
    auto sharedRecord = w.take();
    std::string more(sharedRecord.begin(), sharedRecord.end());
    more += cells;
    std::string file = fileOfStream(formulaSheet(xls::Bytes().u8(0x01).u16(0).u16(0), more));
    expectBounded("shared formula bomb", file, "", true);
}

TEST(XlsHostileInput, TheBudgetNamesTheLimitItStopsAt) {
    files::ReadLimits limits;
    limits.maxCells = 10;
    const std::string file = sampleFile();
    testing::expectRefusal([&] { files::readXls(file, "t.xls", limits, false); },
                           {"t.xls", "more than 10 cells, the limit for one workbook"});
}

TEST(XlsHostileInput, EncryptedAndOldFormatWorkbooksAreRefusedAsSuch) {
    StreamBuilder locked;
    locked.bof(0x0005);
    locked.rec(record::kFilePass, xls::Bytes().u16(1).u16(1).u16(1));
    locked.eof();
    expectBounded("password", fileOfStream(locked.stream()), "password-protected workbook");
    StreamBuilder old;
    old.rec(record::kBof, xls::Bytes().u16(0x0500).u16(0x0005).u16(0).u16(0));
    old.eof();
    expectBounded("BIFF5 in a Workbook stream", fileOfStream(old.stream()), "older format");
}

// Texts that are not valid UTF-16 (unpaired surrogates) come in as U+FFFD, so that
// the workbook saves as well-formed XML.
TEST(XlsHostileInput, UnpairedSurrogatesBecomeReplacementCharacters) {
    StreamBuilder b;
    b.bof(0x0005);
    xls::Bytes sheet;
    sheet.u32(0).u8(0).u8(0).u8(2).u8(1).u16(0xD800).u16('A');  // a wide name: lone high surrogate, "A"
    b.rec(record::kBoundSheet, sheet);
    b.eof();
    std::string s = b.stream();
    const size_t sheetStart = s.size();
    put32(s, 20 + 4, std::uint32_t(sheetStart));  // after the BOF record: the entry's offset field
    StreamBuilder body;
    body.bof(0x0010);
    body.rec(record::kLabel, xls::Bytes().u16(0).u16(0).u16(15).u16(2).u8(1).u16(0xDC00).u16(0x4E2D));
    body.eof();
    s += body.stream();
    auto wb = files::readXls(fileOfStream(s), "t.xls", files::ReadLimits{}, false);
    EXPECT_EQ(wb->sheets[0]->name, "\xEF\xBF\xBD" "A");
    EXPECT_EQ(wb->sheets[0]->cells.find({1, 1})->value, Value::text("\xEF\xBF\xBD中"));
}

}  // namespace
}  // namespace vorra::engine
