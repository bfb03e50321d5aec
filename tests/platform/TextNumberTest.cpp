#include "platform/TextNumber.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The C run-time's atoi is the reference; the UTF-16 form must agree with it.
TEST(TextNumber, ReadsLikeAtoi) {
    const char* cases[] = {"12",       "  -3",          "+7x",   "abc", "",     "-",    "\t\n42", "0",
                           "2017-03", "99999999999", "-99999999999999999999", "4294967296", "00031",
                           "- 5",     "--5",         "3000-01-01"};
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(platform::TextToInt(std::string_view(text)), std::atoi(text));
        std::u16string wide(text, text + std::char_traits<char>::length(text));
        EXPECT_EQ(platform::TextToInt(std::u16string_view(wide)), std::atoi(text));
    }
}

TEST(TextNumber, StopsAtNonAsciiCharacters) {
    EXPECT_EQ(platform::TextToInt(std::u16string_view(u"12年")), 12);
    EXPECT_EQ(platform::TextToInt(std::u16string_view(u"１２")), 0);  // full-width digits are no digits
}
