// The shared strings read without a tree against the guarded tree parse: where the
// scan reads a part it must give exactly the tree's texts, and what it cannot read
// plainly it must leave to the tree.

#include <gtest/gtest.h>

#include <random>

#include <pugixml.hpp>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/files/Xml.h"

namespace vorra::engine::files {
namespace {

constexpr int kDepth = 16;

// The texts as the tree gives them; nothing when the tree refuses the part.
std::optional<std::vector<std::string>> treeStrings(const std::string& xml) {
    pugi::xml_document doc;
    try {
        parsePart(doc, xml, "book.xlsx", "xl/sharedStrings.xml", kDepth);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::vector<std::string> strings;
    for (auto si : doc.document_element().children())
        if (localName(si) == "si") strings.push_back(stringItemText(si));
    return strings;
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"9\">";

TEST(SharedStringScan, ReadsPlainPartsAsTheTreeDoes) {
    const std::vector<std::string> plain = {
        kHead + "<si><t>北京公司</t></si><si><t/></si><si><t></t></si></sst>",
        "\xEF\xBB\xBF" + kHead + "<si><t xml:space='preserve'>  两端 </t></si>\r\n</sst>",
        "<x:sst xmlns:x=\"urn:x\"><x:si><x:t>带前缀</x:t></x:si></x:sst>",
        kHead + "<si><r><rPr><b/><sz val=\"11\"/></rPr><t>粗</t><t>第二个不算</t></r><r><t>细</t></r>"
                "<rPh sb=\"0\" eb=\"1\"><t>注音</t></rPh><phoneticPr fontId=\"1\"/></si></sst>",
        kHead + "<si><t>a&amp;b &lt;&gt; &quot;&apos; &#x4E2D;&#25991; &#10;</t></si></sst>",
        kHead + "<si><t>行一\r\n行二\r行三\n</t></si><si><t>_x000D__x005F_x0041_</t></si></sst>",
        kHead + "<si><t>   </t></si><si>\n  <t>间隔</t>\n</si>  <other a=\"1 > 0\"><t>x</t></other></sst>",
        kHead + "</sst>",
    };
    for (const std::string& xml : plain) {
        SCOPED_TRACE(xml);
        const auto scanned = scanSharedStrings(xml, kDepth);
        ASSERT_TRUE(scanned.has_value());
        EXPECT_EQ(*scanned, treeStrings(xml));
    }
}

TEST(SharedStringScan, LeavesToTheTreeWhatIsNotPlain) {
    const std::vector<std::string> other = {
        kHead + "<si><t>a<!-- 注释 -->b</t></si></sst>",
        kHead + "<si><t><![CDATA[<x>]]></t></si></sst>",
        "<!DOCTYPE sst [<!ENTITY e \"x\">]>" + kHead + "<si><t>&e;</t></si></sst>",
        kHead + "<si><t>a</si></t></sst>",
        kHead + "<si><t>\xC3\x28</t></si></sst>",
        kHead + "<si><t>&nbsp;&#0;&#xD800;&#x110000;&#12</t></si></sst>",
        kHead + "<si><t>a<b>c</b></t></si></sst>",
        kHead + "<si><t>x</t></si></sst><sst/>",
        kHead + "<si><t a=\"<\">x</t></si></sst>",
        kHead + "<si><t>unfinished",
        kHead + "<?pi x?><si><t>x</t></si></sst>",
        [] {  // one level deeper than allowed
            std::string deep = kHead;
            for (int i = 0; i < kDepth; ++i) deep += "<a>";
            for (int i = 0; i < kDepth; ++i) deep += "</a>";
            return deep + "</sst>";
        }(),
    };
    for (const std::string& xml : other) {
        SCOPED_TRACE(xml);
        EXPECT_FALSE(scanSharedStrings(xml, kDepth).has_value());
        // And readSharedStrings still answers as the tree does: the same texts or a refusal.
        const auto tree = treeStrings(xml);
        if (tree) EXPECT_EQ(readSharedStrings(xml, "book.xlsx", "xl/sharedStrings.xml", kDepth), *tree);
        else EXPECT_THROW(readSharedStrings(xml, "book.xlsx", "xl/sharedStrings.xml", kDepth), host::HostError);
    }
}

TEST(SharedStringScan, MutatedPartsScanToTheTreesTextsOrNotAtAll) {
    const std::string seed = kHead +
                             "<si><t>单位&amp;名称</t></si><si><r><rPr><b/></rPr><t xml:space=\"preserve\"> 甲 </t></r>"
                             "<r><t>乙&#x4E19;</t></r><rPh><t>yi</t></rPh></si><si><t>_x000A_\r\n</t></si></sst>";
    const std::string pieces[] = {"<", ">", "/", "&", ";", "\"", "'", "=", " ", "\r", "t", "si", "<t>", "</t>",
                                  "<si>", "</si>", "<r>", "</r>", "&#", "x", "\xE4", "<!--", "-->"};
    std::mt19937 random(20261208);
    int scannedCount = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string xml = seed;
        const int edits = 1 + int(random() % 3);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = random() % xml.size();
            if (random() % 2) xml.erase(at, 1 + random() % 3);
            else xml.insert(at, pieces[random() % std::size(pieces)]);
        }
        const auto scanned = scanSharedStrings(xml, kDepth);
        if (!scanned) continue;
        ++scannedCount;
        ASSERT_EQ(scanned, treeStrings(xml)) << xml;
    }
    EXPECT_GT(scannedCount, 300);  // the mutations leave many parts plain
}

}  // namespace
}  // namespace vorra::engine::files
