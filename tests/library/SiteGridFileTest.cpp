#include "library/core/SiteGridFile.h"
#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <iterator>
#include <cmath>
#include <sys/stat.h>

namespace {

using Cells = std::array<std::string, 6>;

ino_t InodeOf(const std::filesystem::path& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Files and folders in dir: a replacement that leaves a temporary file behind adds one.
std::ptrdiff_t EntryCount(const TempDir& dir)
{
    const std::filesystem::directory_iterator entries(dir.Path());
    return std::distance(begin(entries), end(entries));
}

class SiteGridFile : public ::testing::Test
{
protected:
    std::filesystem::path Grid() const { return dir / "route.pie"; }
    void Write(const std::string& text) const { dir.WriteFile("route.pie", text); }
    std::string Text() const { return dir.ReadFile("route.pie"); }

    TempDir dir;
};

TEST_F(SiteGridFile, CreateWritesOnlyAmountAndTheScaleIndex)
{
    ASSERT_TRUE(CreateSiteGridFile(Grid(), 4000));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=0\nSCALE=6\n");

    // Both ends of the table, and scales it does not hold exactly.
    const std::pair<double, const char*> cases[] = {
        {62.5, "0"}, {128000, "11"}, {3000, "12"}, {4000.5, "12"}, {62.4999, "12"}, {0, "12"}};
    for (const auto& [scale, index] : cases) {
        ASSERT_TRUE(CreateSiteGridFile(Grid(), scale));
        EXPECT_EQ(Text(), std::string("[PIECE]\nAMOUNT=0\nSCALE=") + index + "\n") << scale;
    }
    EXPECT_TRUE(SiteGridSectionCells(Grid(), false).empty());
}

TEST_F(SiteGridFile, CreateReplacesAnOldGridInOneStep)
{
    Write("; old route\r\n[PIECE]\r\nAMOUNT=2\r\nSCALE=3\r\n[SITE1]\r\nNAME=a\r\n[SITE2]\r\nNAME=b\r\n");
    const ino_t before = InodeOf(Grid());
    ASSERT_TRUE(CreateSiteGridFile(Grid(), 125));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=0\nSCALE=1\n");
    EXPECT_NE(InodeOf(Grid()), before) << "written beside and renamed over, not emptied in place";
    EXPECT_EQ(EntryCount(dir), 1);

    EXPECT_FALSE(CreateSiteGridFile(dir / "missing" / "x.pie", 62.5));
}

TEST_F(SiteGridFile, AddAppendsADefaultSectionWithTheFactorInThousandths)
{
    ASSERT_TRUE(CreateSiteGridFile(Grid(), 62.5));
    ASSERT_TRUE(AddSiteGridSection(Grid(), 1.5));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=1\nSCALE=0\n\n[SITE1]\nNAME=\nLENGTH=1000\nVFACTOR=1500\n");
    EXPECT_EQ(SiteGridSectionCells(Grid(), false), (std::vector<Cells>{{"1", "", "0.00", "1.00", "1.00", "1.500"}}));
    EXPECT_EQ(SiteGridSectionCells(Grid(), true)[0][5], "100.0");

    // Truncated toward zero (1999.9 is not rounded up), but a factor read back
    // from its thousandths keeps them (1.001 × 1000 is 1000.999... in binary).
    ASSERT_TRUE(AddSiteGridSection(Grid(), 1.9999));
    ASSERT_TRUE(AddSiteGridSection(Grid(), 1.001));
    const std::vector<Cells> cells = SiteGridSectionCells(Grid(), false);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[1][5], "1.999");
    EXPECT_EQ(cells[2][0], "3");
    EXPECT_EQ(cells[2][5], "1.001");
    EXPECT_NE(Text().find("[SITE3]\nNAME=\nLENGTH=1000\nVFACTOR=1001\n"), std::string::npos);

    // A full grid takes no more: the file stays as it was, not AMOUNT=1001.
    const std::string full = "[PIECE]\nAMOUNT=1000\nSCALE=4\n";
    Write(full);
    EXPECT_FALSE(AddSiteGridSection(Grid(), 1.5));
    EXPECT_EQ(Text(), full);
}

TEST_F(SiteGridFile, AddKeepsTheFileAsWritten)
{
    // A hand-made grid in CR LF with a comment: only the new keys change.
    Write("[PIECE]\r\n; made by hand\r\nAMOUNT=1\r\nSCALE=4\r\n[SITE1]\r\nNAME=A\r\nVFACTOR=1200\r\n");
    ASSERT_TRUE(AddSiteGridSection(Grid(), 2.0));
    EXPECT_EQ(Text(), "[PIECE]\r\n; made by hand\r\nAMOUNT=2\r\nSCALE=4\r\n[SITE1]\r\nNAME=A\r\nVFACTOR=1200\r\n"
                      "\r\n[SITE2]\r\nNAME=\r\nLENGTH=1000\r\nVFACTOR=2000\r\n");
}

TEST_F(SiteGridFile, CellsTurnPositionLengthsIntoDistances)
{
    Write("[PIECE]\nAMOUNT=1\n[SITE1]\nNAME=\nLENGTH=3000\nVFACTOR=1000\n");
    EXPECT_EQ(SiteGridSectionCells(Grid(), false), (std::vector<Cells>{{"1", "", "0.00", "4.50", "4.50", "1.000"}}));
    EXPECT_EQ(SiteGridSectionCells(Grid(), true)[0][5], "150.0");
}

// Three sections with different factors; the second has no NAME key.
// Distances: 3 × 1.5 / 1 = 4.5; 2 × 1.5 / 1.3 = 2.3077; 1.234 × 1.5 / 1.8 = 1.02833.
constexpr const char* kThreeSections = "[PIECE]\nAMOUNT=3\nSCALE=6\n"
                                       "[SITE1]\nNAME=Ввод\nLENGTH=3000\nVFACTOR=1000\n"
                                       "[SITE2]\nLENGTH=2000\nVFACTOR=1300\n"
                                       "[SITE3]\nNAME=Переход под дорогой\nLENGTH=1234\nVFACTOR=1800\n";

TEST_F(SiteGridFile, StartsAndEndsAccumulateOverTheSections)
{
    Write(kThreeSections);
    EXPECT_EQ(SiteGridSectionCells(Grid(), false),
              (std::vector<Cells>{{"1", "Ввод", "0.00", "4.50", "4.50", "1.000"},
                                  {"2", "Участок 2", "4.50", "6.81", "2.31", "1.300"},
                                  {"3", "Переход под дорогой", "6.81", "7.84", "1.03", "1.800"}}));
    const std::vector<SiteGridRow> rows = ReadSiteGridRows(Grid(), true);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].m_cells[5], "150.0");
    EXPECT_EQ(rows[1].m_cells[5], "115.4"); // 115.38
    EXPECT_EQ(rows[2].m_cells[5], "83.3");
    EXPECT_FALSE(rows[0].m_bFactorDefaulted || rows[1].m_bFactorDefaulted || rows[2].m_bFactorDefaulted);
}

TEST_F(SiteGridFile, SectionsAsTheDocumentHoldsThem)
{
    Write(kThreeSections);
    const std::vector<SiteGridSection> sections = ReadSiteGridSections(Grid());
    ASSERT_EQ(sections.size(), 3u);
    const double expected[3][4] = {{1.0, 300, 0, 300}, {1.3, 200, 300, 500}, {1.8, 123.4, 500, 623.4}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(sections[i].m_dFactor, expected[i][0]) << i;
        EXPECT_DOUBLE_EQ(sections[i].m_dLength, expected[i][1]) << i;
        EXPECT_DOUBLE_EQ(sections[i].m_dStart, expected[i][2]) << i;
        EXPECT_DOUBLE_EQ(sections[i].m_dEnd, expected[i][3]) << i;
    }

    // AMOUNT counts even sections the file lacks: they read as their defaults.
    Write("[PIECE]\nAMOUNT=2\n[SITE1]\nLENGTH=500\n");
    const std::vector<Cells> cells = SiteGridSectionCells(Grid(), false);
    EXPECT_EQ(cells, (std::vector<Cells>{{"1", "Участок 1", "0.00", "0.50", "0.50", "1.500"},
                                         {"2", "Участок 2", "0.50", "0.50", "0.00", "1.500"}}));

    Write("[PIECE]\nAMOUNT=-3\n");
    EXPECT_TRUE(ReadSiteGridSections(Grid()).empty());
    EXPECT_TRUE(ReadSiteGridSections(dir / "none.pie").empty());
    Write("[PIECE]\nAMOUNT=2000000000\n");
    EXPECT_EQ(ReadSiteGridSections(Grid()).size(), static_cast<std::size_t>(kMaxSiteGridSections));
}

TEST_F(SiteGridFile, AFactorOfZeroOrLessReadsAsTheReferenceAndIsFlagged)
{
    Write("[PIECE]\nAMOUNT=5\n"
          "[SITE1]\nLENGTH=2000\nVFACTOR=0\n"
          "[SITE2]\nLENGTH=2000\nVFACTOR=\n"
          "[SITE3]\nLENGTH=2000\nVFACTOR=-5\n"
          "[SITE4]\nLENGTH=2000\nVFACTOR=fast\n"
          "[SITE5]\nLENGTH=2000\n");
    const std::vector<SiteGridRow> rows = ReadSiteGridRows(Grid(), false);
    ASSERT_EQ(rows.size(), 5u);
    const char* const ends[5] = {"2.00", "4.00", "6.00", "8.00", "10.00"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i].m_cells[5], "1.500") << i;
        EXPECT_EQ(rows[i].m_cells[4], "2.00") << i;
        EXPECT_EQ(rows[i].m_cells[3], ends[i]) << i;
        EXPECT_EQ(rows[i].m_bFactorDefaulted, i < 4) << "a missing key is the file's own default";
    }
    EXPECT_EQ(ReadSiteGridRows(Grid(), true)[1].m_cells[5], "100.0");
    for (const SiteGridSection& section : ReadSiteGridSections(Grid())) {
        EXPECT_EQ(section.m_dFactor, 1.5);
    }
}

TEST_F(SiteGridFile, DeleteRenumbersTheRestInOneReplacement)
{
    Write(kThreeSections);
    const ino_t before = InodeOf(Grid());
    ASSERT_TRUE(DeleteSiteGridSection(Grid(), 1));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=2\nSCALE=6\n\n"
                      "[SITE1]\nNAME=Ввод\nLENGTH=3000\nVFACTOR=1000\n\n"
                      "[SITE2]\nNAME=Переход под дорогой\nLENGTH=1234\nVFACTOR=1800\n");
    EXPECT_NE(InodeOf(Grid()), before);
    EXPECT_EQ(EntryCount(dir), 1);

    // The last one, then the only one.
    ASSERT_TRUE(DeleteSiteGridSection(Grid(), 1));
    ASSERT_TRUE(DeleteSiteGridSection(Grid(), 0));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=0\nSCALE=6\n");
}

TEST_F(SiteGridFile, DeleteKeepsStoredTextsAndMissingKeysAsTheyWere)
{
    // No SCALE; section 2 lacks NAME and VFACTOR, section 3 has blanks and quotes.
    Write("[piece]\nAMOUNT=3\n"
          "[SITE1]\nNAME=x\n"
          "[SITE2]\nLENGTH=700\n"
          "[site3]\nNAME= \"  Мост \" \nLENGTH=+12abc\nVFACTOR=\n");
    ASSERT_TRUE(DeleteSiteGridSection(Grid(), 0));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=2\nSCALE=0\n\n"
                      "[SITE1]\nLENGTH=700\n\n"
                      "[SITE2]\nNAME= \"  Мост \" \nLENGTH=+12abc\nVFACTOR=\n");
    const std::vector<SiteGridRow> rows = ReadSiteGridRows(Grid(), false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].m_cells[1], "Участок 1");
    EXPECT_FALSE(rows[0].m_bFactorDefaulted) << "the missing VFACTOR still reads as 1500";
    EXPECT_EQ(rows[1].m_cells[1], "  Мост ");
    EXPECT_TRUE(rows[1].m_bFactorDefaulted);
}

TEST_F(SiteGridFile, DeleteOutsideTheGridChangesNothing)
{
    Write(kThreeSections);
    const ino_t before = InodeOf(Grid());
    for (const int index : {-1, 3, 100}) {
        EXPECT_FALSE(DeleteSiteGridSection(Grid(), index)) << index;
    }
    EXPECT_EQ(Text(), kThreeSections);
    EXPECT_EQ(InodeOf(Grid()), before);

    ASSERT_TRUE(CreateSiteGridFile(Grid(), 500));
    EXPECT_FALSE(DeleteSiteGridSection(Grid(), 0));
    EXPECT_EQ(Text(), "[PIECE]\nAMOUNT=0\nSCALE=3\n");
    EXPECT_FALSE(DeleteSiteGridSection(dir / "none.pie", 0));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.pie"));
}

TEST_F(SiteGridFile, EditsOfOneKey)
{
    ASSERT_TRUE(CreateSiteGridFile(Grid(), 1000));
    ASSERT_TRUE(AddSiteGridSection(Grid(), 1.5));
    ASSERT_TRUE(AddSiteGridSection(Grid(), 1.5));

    // Names read back exactly, even where reading trims blanks and quotes.
    for (const std::string name : {"Кабель ААБл", " padded ", "\"quoted\"", "'", ""}) {
        ASSERT_TRUE(SetSiteGridSectionName(Grid(), 1, name));
        EXPECT_EQ(SiteGridSectionCells(Grid(), false)[1][1], name);
    }
    ASSERT_TRUE(SetSiteGridSectionName(Grid(), 0, "two\nlines"));
    EXPECT_EQ(SiteGridSectionCells(Grid(), false)[0][1], "two lines");

    ASSERT_TRUE(SetSiteGridSectionLength(Grid(), 0, 2500));
    ASSERT_TRUE(SetSiteGridSectionFactor(Grid(), 0, 1.7999)); // 1799, not 1800
    Cells first = SiteGridSectionCells(Grid(), false)[0];
    EXPECT_EQ(first[4], "2.08"); // 2.5 × 1.5 / 1.799 = 2.0845
    EXPECT_EQ(first[5], "1.799");
    EXPECT_EQ(SiteGridSectionCells(Grid(), false)[1][2], "2.08");

    ASSERT_TRUE(SetSiteGridSectionLength(Grid(), 0, -40));
    EXPECT_EQ(SiteGridSectionCells(Grid(), false)[0][4], "0.00");

    // Nothing outside the grid, and no factor that would read as the default.
    const std::string kept = Text();
    EXPECT_FALSE(SetSiteGridSectionName(Grid(), 2, "x"));
    EXPECT_FALSE(SetSiteGridSectionLength(Grid(), -1, 1000));
    EXPECT_FALSE(SetSiteGridSectionFactor(Grid(), 0, 0.0004));
    EXPECT_FALSE(SetSiteGridSectionFactor(Grid(), 0, -1.5));
    EXPECT_FALSE(SetSiteGridSectionFactor(Grid(), 0, std::nan("")));
    EXPECT_EQ(Text(), kept);
}

class SectionLength : public ::testing::Test
{
protected:
    SectionLength()
        : doc(dir / "param.ini")
    {
    }
    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(SectionLength, FromTheTypedEndAtThePlainFactor)
{
    doc.m_dFactor = 1.5;
    EXPECT_EQ(SectionLengthFromEnd(doc, "0.00", "1.00"), 1000);
    EXPECT_EQ(SectionLengthFromEnd(doc, "0.00", "1.0006 m"), 1000) << "truncated, not rounded";
    EXPECT_EQ(SectionLengthFromEnd(doc, "2.50", "12.5m"), 10000);

    // 1.25 and 2.5 m of distance at PR 1.2 are positions 1 and 2: a difference a
    // hair under 1000 mm in binary still counts as 1000.
    doc.m_dFactor = 1.2;
    EXPECT_EQ(SectionLengthFromEnd(doc, "1.25", "2.5"), 1000);
    EXPECT_EQ(SectionLengthFromEnd(doc, "0.00", "3.7499"), 2999);

    // An end typed before the start, or no number at all.
    EXPECT_EQ(SectionLengthFromEnd(doc, "4.00", "3.99"), 0);
    EXPECT_EQ(SectionLengthFromEnd(doc, "4.00", "end"), 0);
}

TEST_F(SectionLength, FromTheTypedEndWithAGridInForce)
{
    doc.m_dFactor = 1.2; // not used while the grid is in force
    ApplySiteGrid(doc, {{1.5, 100}, {2.0, 200}});
    // Distance 175 is position 100 + 75 / 1.5 × 2 = 200; distance 250 ends the grid.
    EXPECT_EQ(SectionLengthFromEnd(doc, "100.00", "175.00 m"), 100000);
    EXPECT_EQ(SectionLengthFromEnd(doc, "50.00", "175"), 150000);
    EXPECT_EQ(SectionLengthFromEnd(doc, "100.00", "325"), 300000) << "past the grid the last factor continues";
    EXPECT_EQ(SectionLengthFromEnd(doc, "175.00", "100.00"), 0);
}

} // namespace
