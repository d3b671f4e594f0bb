#include "controls/FormParams.h"
#include "controls/HSpin.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"
#include "support/WheelEvent.h"

#include <QCheckBox>
#include <QLabel>
#include <QAccessible>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A parameters panel of 200 x 100 on a document with no channel on.
class FormParams : public ::testing::Test, public CDocView
{
protected:
    FormParams()
        : doc(dir / "param.ini"), panel(doc)
    {
        panel.resize(200, 100);
        panel.show();
        panel.OnInitialUpdate();
        doc.AddView(this);
    }
    ~FormParams() override { doc.RemoveView(this); }
    void OnUpdate(CDocView* sender, int hint) override
    {
        hints.push_back(hint);
        senders.push_back(sender);
    }
    void Clear()
    {
        hints.clear();
        senders.clear();
    }
    CHSpin* Shift(int k) { return panel.GetShiftField(k); }
    CHSpin* Factor() { return panel.GetFactorField(); }

    TempDir dir;
    CZR815KDoc doc;
    CFormParams panel;
    std::vector<int> hints;
    std::vector<CDocView*> senders;
};

TEST_F(FormParams, FieldsLabelsTipsReferenceMarksAndTheHiddenMarkersBox)
{
    const char* labels[] = {"Shift M1", "Shift M2", "Shift M3", "PR"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(panel.GetLabel(k)->text(), labels[k]);
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Shift(k)->GetControlId(), 140 + k);
        EXPECT_EQ(Shift(k)->toolTip(), QString("Vertical waveform shift M%1").arg(k + 1));
        EXPECT_EQ(Shift(k)->accessibleName(), labels[k]);
        EXPECT_TRUE(panel.GetReference(k)->isVisible());
    }
    EXPECT_EQ(panel.GetReference(1)->toolTip(),
              QString::fromUtf8("В режиме \"Разность\" из П2 поточечно вычитаются остальные рефлектограммы"));
    EXPECT_EQ(Factor()->GetControlId(), 148);
    EXPECT_EQ(Factor()->toolTip(), "Current value of velocity factor");
    EXPECT_EQ(Factor()->accessibleName(), "PR");
    EXPECT_EQ(Factor()->text(), "1.500");
    EXPECT_EQ(Factor()->GetMin(), 1);
    EXPECT_EQ(Factor()->GetMax(), 3);
    EXPECT_FALSE(panel.GetMarkersBox()->isVisible());
    EXPECT_FALSE(panel.GetMarkersBox()->isEnabled());
    EXPECT_EQ(panel.GetMarkersBox()->text(), QString::fromUtf8("Отображать метки"));
    // Rows from the right: label against the field, 24 pixels apart.
    EXPECT_EQ(Shift(1)->GetButton(0)->geometry(), QRect(98, 26, 14, 22));
    EXPECT_EQ(Factor()->GetButton(0)->geometry().topLeft(), QPoint(78, 74));
    EXPECT_EQ(panel.GetLabel(3)->geometry().right() + 1, 198 - 122);
    // The difference box: a fifth row, under the velocity field.
    QCheckBox* box = panel.GetDifferenceBox();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Difference");
    EXPECT_EQ(box->accessibleName(), "Difference");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->geometry().left(), 78);
    EXPECT_GE(box->geometry().top(), 98);
    EXPECT_LE(box->geometry().bottom(), 98 + 22);
}

TEST_F(FormParams, TheDifferenceBoxAndTheReferenceMarksSetTheDocument)
{
    doc.m_memory[0].m_bOn = true;
    doc.m_memory[2].m_bOn = true;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(doc.m_nReference, 0);
    Clear();

    QTest::mouseClick(panel.GetDifferenceBox(), Qt::LeftButton);
    EXPECT_TRUE(doc.m_bDifference);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW}));
    EXPECT_EQ(senders[0], &panel);

    // A click on M3's mark makes it the reference; the other marks go.
    Clear();
    QTest::mouseClick(panel.GetReference(2), Qt::LeftButton);
    EXPECT_EQ(doc.m_nReference, 2);
    EXPECT_TRUE(panel.GetReference(2)->isChecked());
    EXPECT_FALSE(panel.GetReference(0)->isChecked());
    EXPECT_EQ(hints, (std::vector<int>{HINT_MEMORY}));
    // A second click keeps it: there is always one reference.
    QTest::mouseClick(panel.GetReference(2), Qt::LeftButton);
    EXPECT_TRUE(panel.GetReference(2)->isChecked());
    EXPECT_EQ(doc.m_nReference, 2);
    // M2 is off: its mark cannot be clicked.
    QTest::mouseClick(panel.GetReference(1), Qt::LeftButton);
    EXPECT_EQ(doc.m_nReference, 2);
    // A screen reader's toggle of M1's mark, a radio button named short, does what a click does.
    QAccessibleInterface* mark = QAccessible::queryAccessibleInterface(panel.GetReference(0));
    EXPECT_EQ(mark->role(), QAccessible::RadioButton);
    EXPECT_EQ(mark->text(QAccessible::Name), "Reference M1");
    mark->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(doc.m_nReference, 0);
    EXPECT_FALSE(panel.GetReference(2)->isChecked());
    QTest::mouseClick(panel.GetReference(2), Qt::LeftButton);

    // The reference switched off: the first channel on takes the mark, in the document too.
    doc.m_memory[2].m_bOn = false;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(doc.m_nReference, 0);
    EXPECT_TRUE(panel.GetReference(0)->isChecked());
    EXPECT_FALSE(panel.GetReference(2)->isEnabled());

    // The box follows the document, and unchecking it ends the mode.
    doc.m_bDifference = false;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_FALSE(panel.GetDifferenceBox()->isChecked());
    QTest::mouseClick(panel.GetDifferenceBox(), Qt::LeftButton);
    QTest::mouseClick(panel.GetDifferenceBox(), Qt::LeftButton);
    EXPECT_FALSE(doc.m_bDifference);
}

TEST_F(FormParams, WithNoChannelOnShiftsShowADashAndEveryUpdateBroadcasts)
{
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Shift(k)->text(), "-");
        EXPECT_FALSE(Shift(k)->isEnabled());
        EXPECT_FALSE(Shift(k)->GetButton(2)->isEnabled());
    }
    // The panel's broadcast runs inside the update, so later views hear it first.
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(hints, (std::vector<int>{HINT_MEMORY, HINT_REDRAW}));
    EXPECT_EQ(senders[0], &panel);
    EXPECT_EQ(Shift(0)->text(), "-");
}

TEST_F(FormParams, AChannelOnShowsItsShiftAndTakesTheReferenceMark)
{
    doc.m_memory[1].m_bOn = true;
    doc.m_memory[1].m_nShift = -17;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(Shift(1)->text(), "-17");
    EXPECT_TRUE(Shift(1)->isEnabled());
    EXPECT_EQ(Shift(0)->text(), "-");
    EXPECT_EQ(Shift(2)->text(), "-");
    EXPECT_TRUE(panel.GetReference(1)->isChecked());
    EXPECT_FALSE(panel.GetReference(0)->isChecked());
    EXPECT_TRUE(panel.GetReference(1)->isEnabled());
    EXPECT_FALSE(panel.GetReference(0)->isEnabled());
    // The mark moved, so the others heard of it; the next update holds it quietly.
    EXPECT_EQ(hints.back(), HINT_MEMORY);
    Clear();
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW}));
}

TEST_F(FormParams, ShiftStepsGoToTheDocumentAndStopAtTheLimit)
{
    doc.m_memory[0].m_bOn = true;
    doc.m_memory[0].m_nShift = 199;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    Clear();
    SendWheel(Shift(0), 120);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 200);
    SendWheel(Shift(0), 120);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 200);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_REDRAW}));
    EXPECT_EQ(Shift(0)->text(), "200");
    // Typed values commit on Enter, a fraction truncated; a minus sign cannot be typed.
    QTest::keyClicks(Shift(0), "-35.7");
    QTest::keyClick(Shift(0), Qt::Key_Return);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 35);
    QTest::keyClick(Shift(0), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 34);
}

TEST_F(FormParams, VelocityFieldInPrAndHalfVelocity)
{
    SendWheel(Factor(), 120);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.501);
    EXPECT_EQ(hints, (std::vector<int>{HINT_MEMORY, HINT_REDRAW}));

    doc.m_dFactor = 1.5;
    doc.m_bShowHalfVelocity = true;
    doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(panel.GetLabel(3)->text(), "V/2");
    EXPECT_EQ(Factor()->accessibleName(), "V/2");
    EXPECT_EQ(Factor()->text(), "100.0");
    EXPECT_EQ(Factor()->GetMin(), 50);
    EXPECT_EQ(Factor()->GetMax(), 150);
    EXPECT_EQ(Factor()->GetStep(), 0.1);
    SendWheel(Factor(), 120);
    EXPECT_EQ(doc.m_dFactor, 300 / 200.2);
    EXPECT_EQ(Factor()->text(), "100.1");

    // Back to PR: range, step and decimals follow.
    doc.m_bShowHalfVelocity = false;
    doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(panel.GetLabel(3)->text(), "PR");
    EXPECT_EQ(Factor()->text(), "1.499");
    EXPECT_EQ(Factor()->GetStep(), 0.001);
}

TEST_F(FormParams, AnAppliedSiteGridDisablesTheVelocityField)
{
    doc.m_bGridApplied = true;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_FALSE(Factor()->isEnabled());
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(Factor()->GetButton(i)->isEnabled());
    }
    doc.m_bGridApplied = false;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_TRUE(Factor()->isEnabled());
    EXPECT_TRUE(Factor()->GetButton(2)->isEnabled());
}

} // namespace
