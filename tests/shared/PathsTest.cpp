#include "shared/Base64.h"
#include "shared/Paths.h"

#include <gtest/gtest.h>

TEST(Paths, StandardizedIsLexical)
{
    EXPECT_EQ(Paths::standardized("/a/./b//c/"), "/a/b/c");
    EXPECT_EQ(Paths::standardized("/a/b/../c"), "/a/c");
    EXPECT_EQ(Paths::standardized("/../a"), "/a");
    EXPECT_EQ(Paths::standardized("/"), "/");
    EXPECT_EQ(Paths::parent("/a/b"), "/a");
    EXPECT_EQ(Paths::parent("/a"), "/");
}

TEST(Paths, ExtensionIsTheTextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(Paths::extension("/x/CLIP.MOV"), "MOV");
    EXPECT_EQ(Paths::extension("/x/clip.mov.txt"), "txt");
    EXPECT_EQ(Paths::extension("/x.d/noext"), "");
    EXPECT_EQ(Paths::extension("/x/.profile"), "");
    EXPECT_EQ(Paths::extension("/x/Tool.app/"), "app");
}

TEST(Base64, StrictDecoding)
{
    for (const std::string& bytes : std::vector<std::string> {"", "a", "ab", "abc", "abcd", std::string("\0\xff\x10", 3)})
        EXPECT_EQ(Base64::decode(Base64::encode(bytes)), bytes);
    EXPECT_EQ(Base64::encode("abcd"), "YWJjZA==");
    EXPECT_FALSE(Base64::decode("YWJjZA"));
    EXPECT_FALSE(Base64::decode("YWJj\nZA=="));
    EXPECT_FALSE(Base64::decode(" YWJjZA=="));
    EXPECT_FALSE(Base64::decode("YW=jZA=="));
    EXPECT_FALSE(Base64::decode("YWJjZ==="));
    EXPECT_FALSE(Base64::decode("YWJj-A=="));
    // Bits left over by the padding must be zero: "ZB==" and "YWI=" have a twin that is canonical.
    EXPECT_FALSE(Base64::decode("YWJjZB=="));
    EXPECT_FALSE(Base64::decode("YWJ="));
    EXPECT_EQ(Base64::decode("YWI="), "ab");
}
