#include "external/md5/Md5.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(Md5, Rfc1321TestSuite)
{
    EXPECT_EQ(MD5_GetStringMD5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(MD5_GetStringMD5("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(MD5_GetStringMD5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(MD5_GetStringMD5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(MD5_GetStringMD5("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(MD5_GetStringMD5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(MD5_GetStringMD5("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, DigestsEveryByteIncludingNulAndUtf8)
{
    // Expected values computed independently with python3 hashlib.
    EXPECT_EQ(MD5_GetStringMD5("a\0b"s), "70350f6027bce3713f6b76473084309b");
    EXPECT_EQ(MD5_GetStringMD5("计步器"), "184bfebe8f2d342465e953bcedc8982b");
    EXPECT_EQ(MD5_GetStringMD5(std::string(1000, 'x')), "398533d48111e9f664b1f64cb10c4b63");
}

TEST(Md5, DigestIsLowerCaseHex)
{
    for (const char* text : {"", "A", "Travimo", "\xff\xfe"}) {
        const std::string d = MD5_GetStringMD5(text);
        ASSERT_EQ(d.size(), 32u);
        for (char c : d)
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << d;
    }
}

TEST(PasswordDigest, FiveFoldDigest)
{
    // Computed independently: md5 hex applied five times with python3 hashlib.
    EXPECT_EQ(PasswordDigest("123456"), "c26be8aaf53b15054896983b43eb6a65");
    EXPECT_EQ(PasswordDigest("Password"), "fe9ca65247fdfa34ae6127b9cd975017");
    EXPECT_EQ(PasswordDigest("密码"), "cc284d221255fab1249e62c2ca20619a");
    EXPECT_EQ(PasswordDigest("a"), "71ba0b9064690af299c7a7737eb6818c");
}

TEST(PasswordDigest, EmptyPasswordStaysEmpty)
{
    EXPECT_EQ(PasswordDigest(""), "");
    // Not the digest of the empty text either.
    EXPECT_NE(PasswordDigest(" "), "");
}

TEST(PasswordDigest, IsCaseSensitiveAndChained)
{
    EXPECT_NE(PasswordDigest("password"), PasswordDigest("Password"));
    std::string chained = "abc";
    for (int i = 0; i < 5; ++i)
        chained = MD5_GetStringMD5(chained);
    EXPECT_EQ(PasswordDigest("abc"), chained);
    EXPECT_NE(PasswordDigest("abc"), MD5_GetStringMD5("abc"));
}

}  // namespace

// A libcrypto that refuses MD5 (FIPS-only properties) must not turn a password into "no password".
TEST(PasswordDigest, WithoutMd5APasswordNeverBecomesEmpty)
{
    ASSERT_EQ(EVP_set_default_properties(nullptr, "fips=yes"), 1);
    const std::string plain = MD5_GetStringMD5("abc");
    const std::string digest = PasswordDigest("secret");
    const std::string empty = PasswordDigest("");
    ASSERT_EQ(EVP_set_default_properties(nullptr, ""), 1);
    if (!plain.empty())
        GTEST_SKIP() << "this libcrypto has a FIPS provider that makes MD5 digests";
    EXPECT_EQ(digest, kNoPasswordDigest);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(PasswordDigest("secret").size(), 32u);  // back to normal
}
