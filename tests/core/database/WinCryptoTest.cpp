#include <gtest/gtest.h>

#include <cstdio>
#include <iomanip>
#include <sstream>

#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
std::string Hex(const unsigned char* data, std::size_t length)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < length; ++i) {
        out << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(data[i]);
    }
    return out.str();
}

struct KeyVector
{
    std::u16string password;
    std::string material; // MD5 of the UTF-16LE password expanded with the 0x36 and 0x5C pads
};

// Computed independently from the documented derivation with another MD5 implementation.
const std::vector<KeyVector> KeyVectors = {
    {u"", "02da5b002ba7567feb33bada86b8284cabf23763f9c8c3812fb4904b2cbdb6b4"},
    {u"secret", "4d54864f86d740a5c47c7e0202e38c237a17b87f1735717d2d895186c969a9c3"},
    {u"\u041F\u0430\u0440\u043E\u043B\u044C\u20AC\U0001F600",
     "c9e445a92ce59813a5aac368bd582d6129072909ee5b29c7d9df6c5dbfeaea39"},
};

TEST(WinCryptoTest, DerivesTheDocumentedKeyMaterial)
{
    for (const auto& vector : KeyVectors) {
        const SecureBytes material = CWinCrypto::DeriveKeyMaterial(ToSecure(vector.password));
        EXPECT_EQ(Hex(material.data(), material.size()), vector.material);
    }
}

TEST(WinCryptoTest, PadsToWholeBlocksAndAFullBlockWhenAligned)
{
    const CWinCrypto des(CWinCrypto::Algorithm::TripleDes112, ToSecure(u"k"));
    const CWinCrypto aes(CWinCrypto::Algorithm::Aes256, ToSecure(u"k"));
    const std::vector<unsigned char> data(16, 'a');
    EXPECT_EQ(des.Encrypt(data.data(), 0).size(), 8u);
    EXPECT_EQ(des.Encrypt(data.data(), 7).size(), 8u);
    EXPECT_EQ(des.Encrypt(data.data(), 8).size(), 16u);
    EXPECT_EQ(aes.Encrypt(data.data(), 8).size(), 16u);
    EXPECT_EQ(aes.Encrypt(data.data(), 16).size(), 32u);
}

TEST(WinCryptoTest, BadPaddingIsReportedAsBadData)
{
    const CWinCrypto aes(CWinCrypto::Algorithm::Aes256, ToSecure(u"right"));
    const std::vector<unsigned char> data(5, 'a');
    SecureBytes cipher = aes.Encrypt(data.data(), data.size());
    try {
        CWinCrypto(CWinCrypto::Algorithm::Aes256, ToSecure(u"wrong")).Decrypt(cipher);
        FAIL() << "decryption under the wrong key passed the padding check";
    } catch (const CWinCryptoException& error) {
        EXPECT_EQ(error.Error(), CryptoError::BadData);
    }
}

// Decrypts a file with the openssl command and the derived keys in hex: an independent path through both layers.
class OpensslCrossCheckTest : public testing::TestWithParam<std::u16string>
{
protected:
    static bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

    TempDir folder;
};

TEST_P(OpensslCrossCheckTest, FileDecryptsWithTheOpensslCommandToThePlaintext)
{
    if (!Run("openssl version >/dev/null")) {
        GTEST_SKIP() << "the openssl command is not installed";
    }
    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database(recorder, texts);
    database.Add({ToSecure(u"Web"), ToSecure(u"Shop \U0001F600")},
                 {ToSecure(u"ann"), ToSecure(u"p\u00E4ss"), ToSecure(u""), ToSecure(u"n\r\n")});
    const SecureString password = ToSecure(GetParam());
    const auto file = folder / "db.ldb";
    ASSERT_TRUE(WriteDatabase(database, file, password));

    const SecureBytes key = CWinCrypto::DeriveKeyMaterial(password);
    const std::string aesKey = Hex(key.data(), 32);
    const std::string desKey = Hex(key.data(), 16);
    const std::string inner = (folder / "inner").string();
    const std::string plain = (folder / "plain").string();
    ASSERT_TRUE(Run("openssl enc -d -aes-256-cbc -K " + aesKey + " -iv 00000000000000000000000000000000 -in " +
                    file.string() + " -out " + inner));
    ASSERT_TRUE(
        Run("openssl enc -d -des-ede-cbc -K " + desKey + " -iv 0000000000000000 -in " + inner + " -out " + plain));

    const SecureString expected = BuildPlaintext(database);
    EXPECT_EQ(ReadFileBytes(plain), std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));

    // And the other way: layers made by the openssl command open in the program.
    const std::string outer = (folder / "outer.ldb").string();
    ASSERT_TRUE(Run("openssl enc -des-ede-cbc -K " + desKey + " -iv 0000000000000000 -in " + plain + " -out " + inner));
    ASSERT_TRUE(Run("openssl enc -aes-256-cbc -K " + aesKey + " -iv 00000000000000000000000000000000 -in " + inner +
                    " -out " + outer));
    EXPECT_EQ(ReadFileBytes(outer), ReadFileBytes(file));
}

INSTANTIATE_TEST_SUITE_P(Passwords, OpensslCrossCheckTest,
                         testing::Values(u"", u"secret", u"correct horse battery staple",
                                         u"\u041F\u0430\u0440\u043E\u043B\u044C\u20AC\U0001F600"));
} // namespace
