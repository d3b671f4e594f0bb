#include "library/core/DroppedFiles.h"
#include "model/ZR815KDoc.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(DroppedFiles, FillTheFreeChannelsInOrderAndReportTheRest)
{
    TempDir dir;
    const std::string wave = TdrBytes().Word(2, 4).Bytes();
    dir.WriteFile("a.tdr", wave);
    dir.WriteFile("short.tdr", std::string(100, '\0'));
    dir.WriteFile("b.TDR", wave);
    dir.WriteFile("c.tdr", wave);
    dir.WriteFile("notes.txt", wave);
    CZR815KDoc doc(dir / "param.ini");
    doc.m_memory[1].m_bOn = true; // M2 is taken
    doc.m_memory[1].m_strName = "kept";
    doc.m_memory[2].m_nShift = -12;

    const DropResult result =
        LoadIntoFreeChannels(doc, {dir / "a.tdr", dir / "short.tdr", dir / "notes.txt", dir / "b.TDR", dir / "c.tdr",
                                   dir / "missing.tdr"});
    EXPECT_EQ(result.m_nLoaded, 2);
    EXPECT_TRUE(doc.m_memory[0].m_bOn);
    EXPECT_EQ(doc.m_memory[0].m_strName, "a");
    EXPECT_EQ(doc.m_memory[1].m_strName, "kept");
    EXPECT_TRUE(doc.m_memory[2].m_bOn);
    EXPECT_EQ(doc.m_memory[2].m_strName, "b");
    // The channel keeps its colour and shift.
    EXPECT_EQ(doc.m_memory[2].m_crColor, (Colour{200, 0, 200}));
    EXPECT_EQ(doc.m_memory[2].m_nShift, -12);
    EXPECT_DOUBLE_EQ(doc.m_memory[2].m_dScale, 1000);

    ASSERT_EQ(result.m_problems.size(), 4u);
    EXPECT_FALSE(result.m_problems[0].m_bNoFreeChannel); // short.tdr
    EXPECT_FALSE(result.m_problems[1].m_bNoFreeChannel); // notes.txt
    EXPECT_TRUE(result.m_problems[2].m_bNoFreeChannel);  // c.tdr: all taken
    EXPECT_TRUE(result.m_problems[3].m_bNoFreeChannel);  // checked before the file is read
    const std::string text = DropProblemText(result);
    EXPECT_NE(text.find((dir / "short.tdr").string() + ": not a waveform file"), std::string::npos);
    EXPECT_NE(text.find((dir / "c.tdr").string() + ": all three memory channels are in use"), std::string::npos);
}

// Into an empty document the waveforms show at the first one's own scale; a
// document already showing one keeps its scale for the comparison.
TEST(DroppedFiles, IntoAnEmptyDocumentTheFirstShowsAtItsOwnScale)
{
    TempDir dir;
    dir.WriteFile("km.tdr", TdrBytes().Word(2, 4).Bytes());
    dir.WriteFile("short.tdr", TdrBytes().Word(2, 1).Bytes());
    CZR815KDoc doc(dir / "param.ini");
    doc.m_dScale = 62.5;
    doc.m_nZoom = 2;
    LoadIntoFreeChannels(doc, {dir / "km.tdr", dir / "short.tdr"});
    EXPECT_DOUBLE_EQ(doc.m_dScale, 1000);
    EXPECT_EQ(doc.m_nZoom, 0);
    LoadIntoFreeChannels(doc, {dir / "short.tdr"});
    EXPECT_DOUBLE_EQ(doc.m_dScale, 1000);
}

TEST(DroppedFiles, AFailedLoadLeavesTheChannelAsItWas)
{
    TempDir dir;
    dir.WriteFile("bad.tdr", std::string(8512, '\xff'));
    CZR815KDoc doc(dir / "param.ini");
    doc.m_memory[0].m_strName = "before";
    const DropResult result = LoadIntoFreeChannels(doc, {dir / "bad.tdr"});
    EXPECT_EQ(result.m_nLoaded, 0);
    EXPECT_FALSE(doc.m_memory[0].m_bOn);
    EXPECT_EQ(doc.m_memory[0].m_strName, "before");
    EXPECT_TRUE(DropProblemText(DropResult{}).empty());
}

} // namespace
