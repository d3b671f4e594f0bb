// The temporaries of atomic writes are never listed: one left beside the files
// (a killed save) holds the very bytes the listed file would have.
#include "library/core/SiteGridListing.h"
#include "library/core/WaveformListing.h"
#include "model/SafeFile.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(TemporaryFiles, ListingsNeverShowThem)
{
    TempDir dir;
    const std::string wave = TdrBytes().Bytes();
    const std::string grid = "[PIECE]\nAMOUNT=0\nSCALE=4\n";
    dir.WriteFile("a.tdr", wave);
    dir.WriteFile("a.pie", grid);
    dir.WriteFile(".ondalis-tmp-Wave01", wave);
    dir.WriteFile(".ondalis-tmp-Grid01", grid);
    ASSERT_TRUE(IsTemporaryName(".ondalis-tmp-Wave01"));

    const std::vector<WaveformListing> waves = ListWaveformFolder(dir.Folder());
    ASSERT_EQ(waves.size(), 1u);
    EXPECT_EQ(waves[0].m_strFileName, "a.tdr");
    const std::vector<SiteGridListing> grids = ListSiteGridFolder(dir.Path());
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(grids[0].m_strFileName, "a.pie");
}
