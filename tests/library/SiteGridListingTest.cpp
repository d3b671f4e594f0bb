#include "library/core/SiteGridListing.h"
#include "support/TempDir.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Cells = std::array<std::string, kGridListColumns>;

void SetWriteTime(const std::filesystem::path& path, time_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(SiteGridListing, ListsGridFilesInCaseInsensitiveNameOrder)
{
    TimeZone zone("MSK-3");
    TempDir dir;
    dir.WriteFile("b.pie", "[PIECE]\nAMOUNT=2\nSCALE=12\n");
    dir.WriteFile("A.PIE", "[PIECE]\nAMOUNT=3\nSCALE=6\n");
    dir.WriteFile("c.Pie", "[PIECE]\nAMOUNT=1\nSCALE=-1\n");
    dir.WriteFile("d.e.pie", "[PIECE]\nAMOUNT=\"07\"\nSCALE= 2.9x\n"); // index 2 truncated
    dir.WriteFile("яма.pie", "");                                       // no keys at all
    dir.WriteFile("Ёлка.pie", "[PIECE]\nAMOUNT=0\nSCALE=11\n");
    dir.WriteFile("f.pie", "[PIECE]\nSCALE=-0.5\n"); // truncates to 0
    // Not grid files.
    dir.WriteFile(".pie", "[PIECE]\nAMOUNT=1\n");
    dir.WriteFile("pie", "[PIECE]\nAMOUNT=1\n");
    dir.WriteFile("g.pie.bak", "[PIECE]\nAMOUNT=1\n");
    dir.WriteFile("w.tdr", "");
    std::filesystem::create_directory(dir / "folder.pie");
    ::mkfifo((dir / "pipe.pie").c_str(), 0644);
    std::filesystem::create_symlink(dir / "gone", dir / "dangling.pie");
    std::filesystem::create_symlink(dir / "b.pie", dir / "linked.pie");

    // 2021-03-04 22:30:09 UTC is already the 5th in Moscow.
    for (const char* name : {"b.pie", "A.PIE", "c.Pie", "d.e.pie", "яма.pie", "Ёлка.pie", "f.pie"}) {
        SetWriteTime(dir / name, 1614897009);
    }

    const std::vector<SiteGridListing> rows = ListSiteGridFolder(dir.Path());
    std::vector<std::string> names;
    for (const SiteGridListing& row : rows) {
        names.push_back(row.m_strFileName);
        EXPECT_EQ(row.m_path, dir / row.m_strFileName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A.PIE", "b.pie", "c.Pie", "d.e.pie", "f.pie", "linked.pie",
                                               "Ёлка.pie", "яма.pie"}));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].m_cells, (Cells{" ", "A", "3", "4000.0", "05.03.2021", "01:30:09"}));
    EXPECT_EQ(rows[1].m_cells, (Cells{" ", "b", "2", "", "05.03.2021", "01:30:09"}));
    EXPECT_EQ(rows[2].m_cells[3], "") << "SCALE -1 indexes no entry";
    EXPECT_EQ(rows[3].m_cells[1], "d.e");
    EXPECT_EQ(rows[3].m_cells[2], "07") << "AMOUNT as stored";
    EXPECT_EQ(rows[3].m_cells[3], "250.0");
    EXPECT_EQ(rows[4].m_cells[2], "0");
    EXPECT_EQ(rows[4].m_cells[3], "62.5");
    EXPECT_EQ(rows[5].m_cells[1], "linked");
    EXPECT_EQ(rows[6].m_cells[3], "128000.0");
    EXPECT_EQ(rows[7].m_cells, (Cells{" ", "яма", "0", "62.5", "05.03.2021", "01:30:09"}));
}

// A new grid's name is completed before anything asks whether it replaces a file.
TEST(SiteGridListing, ANewGridsNameGetsTheExtensionUnlessItHasIt)
{
    EXPECT_EQ(WithSiteGridExtension("/g/route"), "/g/route.pie");
    EXPECT_EQ(WithSiteGridExtension("/g/trasa 1.5"), "/g/trasa 1.5.pie") << "a dot is not the extension";
    EXPECT_EQ(WithSiteGridExtension("/g/route.PIE"), "/g/route.PIE");
    EXPECT_EQ(WithSiteGridExtension("/g/route.pie.bak"), "/g/route.pie.bak.pie");
    EXPECT_EQ(WithSiteGridExtension("/g/.pie"), "/g/.pie.pie") << "a bare extension would never be listed";
}

TEST(SiteGridListing, AMissingFolderListsNothing)
{
    TempDir dir;
    EXPECT_TRUE(ListSiteGridFolder(dir / "none").empty());
    dir.WriteFile("file.pie", "");
    EXPECT_TRUE(ListSiteGridFolder(dir / "file.pie").empty());
}

} // namespace
