// The streaming zip writer that every .xlsx save goes through, read back by the
// package reader (which checks each local header against the central directory).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/ZipPackage.h"
#include "platform/engine/files/ZipWriter.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::readBytes;
using testing::ScratchFolder;

// Bytes that do not compress, so that archive sizes are predictable.
std::string noise(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (auto& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 24);
    }
    return s;
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const host::HostError& e) {
        return e.what();
    }
    return "";
}

TEST(XlsxZipWriter, PartsWrittenInPiecesOfAnySizeReadBackWhole) {
    std::string rows;
    for (int i = 0; i < 40000; ++i)
        rows += "<row r=\"" + std::to_string(i) + "\"><c t=\"s\"><v>7</v></c></row>";
    struct Case {
        std::string name, text;
        size_t piece;  // 0: the whole text at once
    } cases[] = {
        {"[Content_Types].xml", "<Types/>", 0},
        {"empty.xml", "", 0},
        {"xl/worksheets/sheet1.xml", rows, 7},              // many small pieces
        {"xl/worksheets/sheet2.xml", rows, 100001},         // pieces past the deflate buffer
        {"xl/media/picture.bin", noise(300000, 1), 65536},  // grows a little when deflated
        {"xl/名称.xml", "<中文/>", 1},
    };
    files::StringSink out;
    files::ZipWriter zip(out, "t.xlsx");
    for (const auto& c : cases) {
        zip.beginPart(c.name);
        for (size_t at = 0; at < c.text.size(); at += c.piece ? c.piece : c.text.size())
            zip.write(std::string_view(c.text).substr(at, c.piece ? c.piece : c.text.size()));
        zip.endPart();
    }
    zip.finish();
    std::string bytes = out.take();
    EXPECT_LT(bytes.size(), rows.size() / 4 + 400000);  // the XML was deflated
    files::PartMap parts = files::readZip(bytes, "t.xlsx", files::ReadLimits{});
    ASSERT_EQ(parts.size(), std::size(cases));
    for (const auto& c : cases) EXPECT_EQ(parts[c.name], c.text) << c.name;
}

TEST(XlsxZipWriter, RefusesAnArchivePastItsBoundAndAPartTwice) {
    files::StringSink out;
    files::ZipWriter small(out, "big.xlsx", 100000);
    small.addPart("a.bin", noise(50000, 2));
    EXPECT_NE(errorOf([&] {
                  small.addPart("b.bin", noise(60000, 3));
              }).find("Cannot save \"big.xlsx\": the workbook package would be larger than 4 GiB"),
              std::string::npos);

    files::StringSink other;
    files::ZipWriter zip(other, "twice.xlsx");
    zip.addPart("xl/workbook.xml", "<workbook/>");
    EXPECT_NE(errorOf([&] {
                  zip.addPart("xl/workbook.xml", "<workbook/>");
              }).find("\"xl/workbook.xml\" twice"),
              std::string::npos);
}

// A save that fails while the package is being written leaves the old file as it was
// and no temporary file beside it.
TEST(XlsxZipWriter, ASaveFailingMidwayKeepsTheOldFile) {
    ScratchFolder dir;
    const std::string path = dir.file("账户.xlsx");
    testing::writeBytes(path, "old contents");
    EXPECT_NE(errorOf([&] {
                  files::writeAtomically(path, [&](files::ByteSink& sink) {
                      files::ZipWriter zip(sink, path, 100000);
                      zip.addPart("a.bin", noise(80000, 4));
                      zip.addPart("b.bin", noise(80000, 5));
                  });
              }).find("larger than 4 GiB"),
              std::string::npos);
    EXPECT_EQ(readBytes(path), "old contents");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace vorra::engine
