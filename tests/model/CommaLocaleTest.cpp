// Numbers keep their '.' even when the process runs under a locale whose
// decimal separator is a comma (as Qt sets it up from the environment).
#include "model/Format.h"
#include "model/LegendText.h"
#include "model/PrivateProfile.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

class CommaLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr)
            << "the ru_RU.UTF-8 locale is missing: scripts/install-deps generates it";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        ASSERT_STREQ(probe, "1,5") << "the locale should write a decimal comma";
    }
    void TearDown() override { std::setlocale(LC_ALL, m_old.c_str()); }

private:
    std::string m_old;
};

TEST_F(CommaLocale, TextsAndSettingsUseADecimalPoint)
{
    EXPECT_EQ(FormatFixed(1.5, 3), "1.500");
    EXPECT_EQ(FormatFixed(-0.25, 1), "-0.2");
    EXPECT_EQ(ReadLeadingNumber("1.5"), 1.5);
    EXPECT_EQ(ReadLeadingNumber("1,5"), 1);

    TempDir dir;
    const auto ini = dir / "param.ini";
    {
        CZR815KDoc doc(ini);
        doc.m_dFactor = 1.6;
        doc.m_dCursor1 = 12.3456;
        doc.m_memory[0].m_strName = "w";
        EXPECT_EQ(LegendCells(doc, 0)[4], "1.600");
        doc.m_bShowHalfVelocity = true;
        EXPECT_EQ(LegendCells(doc, 0)[4], "93.8");
    }
    const PrivateProfile profile(ini);
    EXPECT_EQ(profile.GetString(kSettingsSection, "VFACTOR", ""), "1600");
    EXPECT_EQ(profile.GetString(kSettingsSection, "CURSOR1", ""), "12345");
    CZR815KDoc again(ini);
    EXPECT_DOUBLE_EQ(again.m_dFactor, 1.6);
}

} // namespace
