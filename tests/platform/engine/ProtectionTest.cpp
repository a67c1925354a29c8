#include "EngineFixture.h"
#include "platform/engine/host/SheetPassword.h"

using namespace vorra;
using namespace vorra::host;
using vorra::engine::testing::EngineTest;

using Protection = EngineTest;

TEST_F(Protection, LockedCellsRefuseWritesUnlockedAcceptThem) {
    sheet->range("D4:I5").setLocked(false);
    sheet->protect("470518");
    EXPECT_TRUE(sheet->isProtected());
    put("E4", text("中国银行苏州分行"));
    EXPECT_EQ(cell("E4"), text("中国银行苏州分行"));
    try {
        put("K3", number(100));
        ADD_FAILURE() << "a locked cell accepted a write";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), error::kCellLocked);
        EXPECT_NE(std::string(e.what()).find("K3"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(cell("K3").isEmpty());
    // One locked cell in the area refuses the whole write.
    EXPECT_THROW(put("I4:J4", text("x")), HostError);
    EXPECT_TRUE(cell("I4").isEmpty());
    sheet->range("E4").clearContents();
    EXPECT_TRUE(cell("E4").isEmpty());
    EXPECT_THROW(sheet->range("A1").clearContents(), HostError);
}

TEST_F(Protection, PasswordsAreCheckedOnUnprotect) {
    sheet->protect("470518");
    EXPECT_THROW(sheet->unprotect("470519"), HostError);
    EXPECT_THROW(sheet->unprotect(""), HostError);
    EXPECT_TRUE(sheet->isProtected());
    sheet->protect("other");  // a protected sheet keeps its protection and password
    EXPECT_THROW(sheet->unprotect("other"), HostError);
    sheet->unprotect("470518");
    EXPECT_FALSE(sheet->isProtected());
    EXPECT_NO_THROW(sheet->unprotect("anything"));  // unprotecting an open sheet does nothing
    put("K3", number(100));
    EXPECT_EQ(cell("K3"), number(100));
    sheet->protect("");
    EXPECT_NO_THROW(sheet->unprotect("whatever"));  // no password: any opens it
}

TEST_F(Protection, FormatsCannotChangeWhileProtected) {
    sheet->protect("1");
    EXPECT_THROW(sheet->range("A1").setNumberFormat("@"), HostError);
    EXPECT_THROW(sheet->range("A1").setLocked(false), HostError);
    EXPECT_THROW(sheet->range("A1").setFontColorIndex(3), HostError);
}

TEST_F(Protection, WholeColumnUnlockReachesNewCells) {
    sheet->range("K:K").setLocked(false);
    sheet->protect("470518");
    EXPECT_NO_THROW(put("K50000", text("货款")));
    EXPECT_THROW(put("J50000", text("HK")), HostError);
}

TEST(SheetPassword, LegacyHashMatchesTheFileFormatsValues) {
    using vorra::engine::legacyPasswordHash;
    EXPECT_EQ(legacyPasswordHash("password"), "83AF");
    EXPECT_EQ(legacyPasswordHash("test"), "CBEB");
    EXPECT_EQ(legacyPasswordHash("470518"), "C409");
}

TEST(SheetPassword, SaltedHashFromAFileIsVerified) {
    // Values computed independently: SHA-512 over salt and UTF-16LE password, then
    // spun with a little-endian counter.
    vorra::engine::SheetProtection p;
    p.enabled = true;
    p.algorithmName = "SHA-512";
    p.saltValue = "AAECAwQFBgcICQoLDA0ODw==";
    p.spinCount = 100000;
    p.hashValue =
        "LPVlbuKpKOgATtpB9kLmi3xfKE/Z/0vBI7VIIq3MbO+HwfV29SA6Qx4TJg6Is/WOmPlq70hglln6SRNLiJVsSQ==";
    EXPECT_TRUE(vorra::engine::passwordMatches(p, "470518"));
    EXPECT_FALSE(vorra::engine::passwordMatches(p, "470519"));
    p.spinCount = 10;
    p.hashValue =
        "94udSTq4MW/lmU1TY/tMJXoXcgT2Ue7pQpgN7OdVa6hpQLJRHv6ZAnXfgQ1hiISkrbHSZkiChdYt9XmTOBWFRg==";
    EXPECT_TRUE(vorra::engine::passwordMatches(p, "密码"));
}

TEST(SheetPassword, MalformedSaltedHashesAreRefusedClearly) {
    vorra::engine::SheetProtection p;
    p.enabled = true;
    p.algorithmName = "SHA-512";
    p.saltValue = "AAECAwQFBgcICQoLDA0ODw==";
    p.hashValue = "not base64!";
    p.spinCount = 1;
    EXPECT_THROW(vorra::engine::passwordMatches(p, "x"), HostError);
    p.hashValue = "AAAA";
    p.spinCount = 2'000'000'000;
    EXPECT_THROW(vorra::engine::passwordMatches(p, "x"), HostError);
    p.spinCount = 1;
    p.algorithmName = "MD2";
    EXPECT_THROW(vorra::engine::passwordMatches(p, "x"), HostError);
}

TEST_F(Protection, ASheetReadWithASaltedHashUnprotectsWithItsPassword) {
    auto& model = static_cast<engine::EngineWorksheet&>(*sheet).model();
    model.protection.enabled = true;
    model.protection.algorithmName = "SHA-512";
    model.protection.saltValue = "AAECAwQFBgcICQoLDA0ODw==";
    model.protection.spinCount = 10;
    model.protection.hashValue =
        "94udSTq4MW/lmU1TY/tMJXoXcgT2Ue7pQpgN7OdVa6hpQLJRHv6ZAnXfgQ1hiISkrbHSZkiChdYt9XmTOBWFRg==";
    EXPECT_THROW(sheet->unprotect("470518"), HostError);
    sheet->unprotect("密码");
    EXPECT_FALSE(sheet->isProtected());
    sheet->protect("470518");
    EXPECT_TRUE(model.protection.hashValue.empty());
    EXPECT_EQ(model.protection.passwordHash, "C409");
}
