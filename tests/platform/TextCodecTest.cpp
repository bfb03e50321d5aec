#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// "全部类型" in code page 936.
const std::string kAllTypesCp936 = "\xC8\xAB\xB2\xBF\xC0\xE0\xD0\xCD";

}  // namespace

TEST(TextCodec, ChineseRoundTripsBetweenCp936AndUtf16) {
    EXPECT_EQ(NarrowToWide(kAllTypesCp936), u"全部类型");
    std::string narrow;
    ASSERT_TRUE(WideToNarrow(u"全部类型", narrow));
    EXPECT_EQ(narrow, kAllTypesCp936);
    std::string utf8;
    ASSERT_TRUE(NarrowToUtf8(kAllTypesCp936, utf8));
    EXPECT_EQ(utf8, "全部类型");
    EXPECT_EQ(Utf8ToWide("全部类型"), u"全部类型");
    EXPECT_EQ(WideToUtf8(u"全部类型"), "全部类型");
}

TEST(TextCodec, EmbeddedZeroBytesAreCarriedAcross) {
    std::string narrow("VOC00001.wav\0Z2017", 18);
    std::u16string wide = NarrowToWide(narrow);
    ASSERT_EQ(wide.size(), 18u);
    EXPECT_EQ(wide[12], u'\0');
    EXPECT_EQ(wide.substr(13), u"Z2017");
}

TEST(TextCodec, TextWithoutCp936FormIsRefused) {
    std::string out = "unchanged";
    EXPECT_FALSE(WideToNarrow(u"a\U0001F600b", out));
    EXPECT_EQ(out, "unchanged");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
    // 0xFF is no lead byte in CP936; a lone lead byte at the end is truncated.
    EXPECT_EQ(NarrowToWide("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(NarrowToWide("a\xC8"), u"a\uFFFD");
    std::string utf8;
    EXPECT_FALSE(NarrowToUtf8("a\xFF", utf8));
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextCodec, FileSystemNamesThatAreNotUtf8ComeBackByteForByte) {
    const struct {
        std::string bytes;
        std::u16string wide;
    } cases[] = {
        {"a\xC3", u"a\xDCC3"},                            // a sequence cut short
        {"\xFF\xFE", u"\xDCFF\xDCFE"},                    // bytes that never lead
        {"\xC0\xAF", u"\xDCC0\xDCAF"},                    // an overlong '/'
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},         // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // past U+10FFFF
        {"\xE5\xBD\x95\xB5", u"录\xDCB5"},               // good, then a stray byte
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xEB\x85\xB9\xEC\x9D\x8C", u"녹음"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.bytes), c.wide) << c.bytes;
        EXPECT_EQ(WideToUtf8(c.wide), c.bytes) << c.bytes;
    }
    // Every byte value round-trips, alone and after a lead byte.
    for (int b = 0; b < 256; ++b) {
        for (std::string bytes : {std::string(1, char(b)), std::string("\xE5") + char(b)})
            EXPECT_EQ(WideToUtf8(Utf8ToWide(bytes)), bytes) << b;
    }
}

TEST(TextCodec, SurrogatePairsBecomeFourByteUtf8) {
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}
