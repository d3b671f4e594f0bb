#include "model/LanguageChoice.h"

#include <gtest/gtest.h>

// The stored choice wins; otherwise the first desktop language with a
// translation; a desktop of neither (the C locale of the tests) keeps the
// source texts.
TEST(LanguageChoice, StoredChoiceThenDesktopOrderThenSourceTexts)
{
    EXPECT_EQ(ChooseLanguage("ru", {"en-US"}), "ru");
    EXPECT_EQ(ChooseLanguage("EN", {"ru-RU"}), "en");
    EXPECT_EQ(ChooseLanguage("", {"de-DE", "de", "ru", "ru-RU"}), "ru");
    EXPECT_EQ(ChooseLanguage("xx", {"en-GB", "en-Latn-GB"}), "en");
    EXPECT_EQ(ChooseLanguage("", {"C"}), "");
    EXPECT_EQ(ChooseLanguage("", {"de-DE", "fr"}), "");
    EXPECT_EQ(ChooseLanguage("", {}), "");
    EXPECT_EQ(StoredLanguage("ru_RU.UTF-8"), "ru");
    EXPECT_EQ(StoredLanguage("rus"), "");
}
