#include "controls/core/ParamsPanel.h"

#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Flags = std::array<bool, 3>;

TEST(ParamsPanel, VelocityFieldInPrOrHalfVelocity)
{
    TempDir dir;
    CZR815KDoc doc(dir / "param.ini");

    doc.m_dFactor = 1.6;
    doc.m_bShowHalfVelocity = false;
    VelocityField f = VelocityFieldOf(doc);
    EXPECT_DOUBLE_EQ(f.minimum, 1);
    EXPECT_DOUBLE_EQ(f.maximum, 3);
    EXPECT_DOUBLE_EQ(f.value, 1.6);
    EXPECT_DOUBLE_EQ(f.step, 0.001);
    EXPECT_EQ(f.precision, 3);
    EXPECT_EQ(std::string(f.label), "PR");

    doc.m_bShowHalfVelocity = true;
    f = VelocityFieldOf(doc);
    EXPECT_DOUBLE_EQ(f.minimum, 50);
    EXPECT_DOUBLE_EQ(f.maximum, 150);
    EXPECT_DOUBLE_EQ(f.value, 93.75); // 300 / 3.2
    EXPECT_DOUBLE_EQ(f.step, 0.1);
    EXPECT_EQ(f.precision, 1);
    EXPECT_EQ(std::string(f.label), "V/2");

    doc.m_dFactor = 2.4;
    EXPECT_DOUBLE_EQ(VelocityFieldOf(doc).value, 62.5);
    EXPECT_DOUBLE_EQ(VelocityFieldValue(doc), 62.5);
    doc.m_bShowHalfVelocity = false;
    EXPECT_DOUBLE_EQ(VelocityFieldValue(doc), 2.4);
}

TEST(ParamsPanel, FieldValueBackToFactor)
{
    EXPECT_DOUBLE_EQ(FactorFromVelocityField(true, 100.1), 300 / 200.2);
    EXPECT_DOUBLE_EQ(FactorFromVelocityField(true, 75), 2.0);
    EXPECT_DOUBLE_EQ(FactorFromVelocityField(true, 150), 1.0);
    EXPECT_DOUBLE_EQ(FactorFromVelocityField(false, 1.234), 1.234);
    EXPECT_DOUBLE_EQ(FactorFromVelocityField(false, 2.999), 2.999);

    // Shown and read back, the factor comes out as it went in.
    TempDir dir;
    CZR815KDoc doc(dir / "param.ini");
    doc.m_bShowHalfVelocity = true;
    for (double pr : {1.0, 1.234, 1.5, 2.777, 3.0}) {
        doc.m_dFactor = pr;
        EXPECT_DOUBLE_EQ(FactorFromVelocityField(true, VelocityFieldValue(doc)), pr) << pr;
    }
}

TEST(ParamsPanel, ReferenceMarkFollowsTheChannelsThatAreOn)
{
    // No channel on: nothing to mark, all disabled, the views are told anyway.
    ReferenceMarks m = UpdateReferenceMarks({false, false, false}, {true, false, false});
    EXPECT_EQ(m.checked, (Flags{false, false, false}));
    EXPECT_EQ(m.enabled, (Flags{false, false, false}));
    EXPECT_TRUE(m.broadcast);

    // The mark on M1 goes with its channel; M2, the first one on, takes it.
    m = UpdateReferenceMarks({false, true, false}, {true, false, false});
    EXPECT_EQ(m.checked, (Flags{false, true, false}));
    EXPECT_EQ(m.enabled, (Flags{false, true, false}));
    EXPECT_TRUE(m.broadcast);

    // A mark on a channel that is on stays; nothing to tell.
    m = UpdateReferenceMarks({true, true, false}, {true, false, false});
    EXPECT_EQ(m.checked, (Flags{true, false, false}));
    EXPECT_EQ(m.enabled, (Flags{true, true, false}));
    EXPECT_FALSE(m.broadcast);

    m = UpdateReferenceMarks({true, true, true}, {false, false, true});
    EXPECT_EQ(m.checked, (Flags{false, false, true}));
    EXPECT_EQ(m.enabled, (Flags{true, true, true}));
    EXPECT_FALSE(m.broadcast);

    // No mark at all with channels on: the first one on gets it.
    m = UpdateReferenceMarks({false, false, true}, {false, false, false});
    EXPECT_EQ(m.checked, (Flags{false, false, true}));
    EXPECT_EQ(m.enabled, (Flags{false, false, true}));
    EXPECT_TRUE(m.broadcast);

    // The mark on M2 goes off with it: only the first channel on takes it, not M3 too.
    m = UpdateReferenceMarks({true, false, true}, {false, true, false});
    EXPECT_EQ(m.checked, (Flags{true, false, false}));
    EXPECT_TRUE(m.broadcast);
}

TEST(ParamsPanel, LastMarkSeenDecidesWhetherTheViewsAreTold)
{
    // M1 holds its mark, but the later mark on M2 (off) clears the flag: M1 keeps
    // its mark and the views are told.
    ReferenceMarks m = UpdateReferenceMarks({true, false, false}, {true, true, false});
    EXPECT_EQ(m.checked, (Flags{true, false, false}));
    EXPECT_EQ(m.enabled, (Flags{true, false, false}));
    EXPECT_TRUE(m.broadcast);

    // The mark on M1 (off) is followed by M3's, which holds: no telling.
    m = UpdateReferenceMarks({false, true, true}, {true, false, true});
    EXPECT_EQ(m.checked, (Flags{false, false, true}));
    EXPECT_EQ(m.enabled, (Flags{false, true, true}));
    EXPECT_FALSE(m.broadcast);

    // M2 on and marked, M3 off and marked last: the first channel on (M1) is marked too.
    m = UpdateReferenceMarks({true, true, false}, {false, true, true});
    EXPECT_EQ(m.checked, (Flags{true, true, false}));
    EXPECT_EQ(m.enabled, (Flags{true, true, false}));
    EXPECT_TRUE(m.broadcast);
}

TEST(ParamsPanel, RowsAreRightAlignedWithTheVelocityRowWider)
{
    const std::array<LabelSize, 4> labels = {{{50, 13}, {48, 14}, {52, 25}, {20, 16}}};
    // Right edge 298: labels end at 196 (176 for the velocity row), fields run
    // from 198 (178) to 293.
    ParamsPlacement p = ComputeParamsLayout(300, labels);
    EXPECT_EQ(p.labels[0], (ControlRect{146, 6, 50, 13}));   // (22 - 13) / 2 = 4
    EXPECT_EQ(p.labels[1], (ControlRect{148, 30, 48, 14}));  // (22 - 14) / 2 = 4
    EXPECT_EQ(p.labels[2], (ControlRect{144, 49, 52, 25}));  // (22 - 25) / 2 = -1, not -2
    EXPECT_EQ(p.labels[3], (ControlRect{156, 77, 20, 16}));  // (22 - 16) / 2 = 3
    EXPECT_EQ(p.fields[0], (ControlRect{198, 2, 95, 22}));
    EXPECT_EQ(p.fields[1], (ControlRect{198, 26, 95, 22}));
    EXPECT_EQ(p.fields[2], (ControlRect{198, 50, 95, 22}));
    EXPECT_EQ(p.fields[3], (ControlRect{178, 74, 115, 22}));
    // The difference box in the fifth row, left-aligned with the velocity field, centred in the row.
    EXPECT_EQ(ComputeParamsLayout(300, labels, {90, 18}).difference, (ControlRect{178, 100, 90, 18}));
    EXPECT_EQ(ComputeParamsLayout(300, labels, {90, 25}).difference, (ControlRect{178, 97, 90, 25}));

    // A panel narrower than the rows runs off the left edge.
    p = ComputeParamsLayout(100, labels);
    EXPECT_EQ(p.labels[0], (ControlRect{-54, 6, 50, 13}));
    EXPECT_EQ(p.labels[3], (ControlRect{-44, 77, 20, 16}));
    EXPECT_EQ(p.fields[0], (ControlRect{-2, 2, 95, 22}));
    EXPECT_EQ(p.fields[3], (ControlRect{-22, 74, 115, 22}));
}

} // namespace
