#include "platform/codec.h"

#include <gtest/gtest.h>

TEST(Cp1250Codec, CzechLettersRoundTrip)
{
    const std::string czech = "Závodník 1 – Žluťoučký kůň úpěl ďábelské ódy";
    const auto bytes = utf8ToCp1250(czech);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->substr(0, 10), "Z\xE1vodn\xEDk 1");
    EXPECT_EQ(bytes->find("\x96"), 11u) << "en dash is 0x96 in Windows-1250";
    EXPECT_EQ(cp1250ToUtf8(*bytes), czech);

    // A text longer than any conversion buffer, and an empty one.
    std::string large;
    for (int i = 0; i < 5000; ++i)
        large += "ěščřžýáíé";
    for (const std::string &text : {large, std::string()}) {
        const auto encoded = utf8ToCp1250(text);
        ASSERT_TRUE(encoded.has_value());
        EXPECT_EQ(encoded->size(), text.size() / 2);
        EXPECT_EQ(cp1250ToUtf8(*encoded), text);
    }
}

TEST(Cp1250Codec, RefusesTextTheCodePageCannotHold)
{
    EXPECT_FALSE(utf8ToCp1250("Łódź ✓").has_value());
    EXPECT_FALSE(utf8ToCp1250("日本").has_value());
    EXPECT_FALSE(utf8ToCp1250("\xC3").has_value()) << "broken UTF-8";
    EXPECT_FALSE(fitsCp1250("€ and ☃"));
    EXPECT_TRUE(fitsCp1250("€ and Łódź"));
}

TEST(Cp1250Codec, UndefinedBytesDecodeAsReplacementCharacters)
{
    EXPECT_EQ(cp1250ToUtf8("a\x81" "b\x98"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}
