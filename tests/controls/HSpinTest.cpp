#include "controls/ButtonSpin.h"
#include "controls/ControlNotify.h"
#include "controls/EditText.h"
#include "controls/HSpin.h"
#include "support/WheelEvent.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A parent window that records the notifications and edit-enter events it gets.
class Parent : public QWidget
{
public:
    std::vector<std::pair<int, int>> notes;
    int editEnters = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == kEditEnterEvent) {
            ++editEnters;
            return true;
        }
        return QWidget::event(e);
    }
};

// A distance field of 0..100 m, 3 decimals, step 0.5, at 10 m.
class HSpin : public ::testing::Test
{
protected:
    HSpin()
        : spin(new CHSpin(&parent, 150))
    {
        parent.resize(300, 40);
        spin->MoveSpin(QRect(10, 5, 160, 22));
        spin->SetParams(0, 100, 10, 0.5, 3, "m");
        QObject::connect(spin, &CHSpin::changeNotified,
                         [this](int id, int code) { parent.notes.emplace_back(id, code); });
        parent.show();
    }
    void Type(const char* keys)
    {
        for (const char* k = keys; *k != '\0'; ++k) {
            QTest::keyClick(spin, *k);
        }
    }
    int Notes() const { return static_cast<int>(parent.notes.size()); }

    Parent parent;
    CHSpin* spin;
};

TEST_F(HSpin, ButtonsAreSiblingsPlacedAroundTheField)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(spin->GetButton(i)->parentWidget(), &parent);
        EXPECT_FALSE(spin->GetButton(i)->icon().isNull());
    }
    EXPECT_EQ(spin->GetButton(0)->geometry(), QRect(10, 5, 14, 22));
    EXPECT_EQ(spin->GetButton(1)->geometry(), QRect(25, 5, 14, 22));
    EXPECT_EQ(spin->geometry(), QRect(41, 5, 99, 22));
    EXPECT_EQ(spin->GetButton(2)->geometry(), QRect(140, 5, 14, 22));
    EXPECT_EQ(spin->GetButton(3)->geometry(), QRect(156, 5, 14, 22));
    spin->SetSpinName("C1");
    EXPECT_EQ(spin->accessibleName(), "C1");
    EXPECT_EQ(spin->GetButton(0)->accessibleName(), "C1 minimum");
    EXPECT_EQ(spin->GetButton(3)->accessibleName(), "C1 maximum");
    spin->ShowSpin(false);
    EXPECT_FALSE(spin->isVisible());
    EXPECT_FALSE(spin->GetButton(2)->isVisible());
}

TEST_F(HSpin, ProgramChangesNeverNotify)
{
    spin->SetValue(20);
    spin->SetParams(0, 50, 70, 1, 1, "m");
    spin->EnableSpin(true);
    spin->SetValue(-5); // the display applies the bound rule again
    EXPECT_EQ(Notes(), 0);
    EXPECT_EQ(spin->text(), "0.0 m");
    EXPECT_FALSE(spin->GetButton(0)->isEnabled());
    EXPECT_TRUE(spin->GetButton(3)->isEnabled());
}

TEST_F(HSpin, WheelNotchesStepOnceEachAndTouchpadDeltasAddUp)
{
    SendWheel(spin, 120);
    ASSERT_EQ(Notes(), 1);
    EXPECT_EQ(parent.notes[0], std::make_pair(150, 0x0400));
    EXPECT_EQ(spin->GetValue(), 10.5);
    EXPECT_EQ(spin->text(), "10.500 m");
    SendWheel(spin, -120);
    EXPECT_EQ(spin->GetValue(), 10);
    // A touchpad's small deltas make one step once they add up to a notch.
    SendWheel(spin, 40);
    SendWheel(spin, 40);
    EXPECT_EQ(Notes(), 2);
    SendWheel(spin, 40);
    EXPECT_EQ(Notes(), 3);
    EXPECT_EQ(spin->GetValue(), 10.5);
    // Past the maximum: the maximum, still one notification, and no more stepping up.
    spin->SetValue(99.75);
    SendWheel(spin, 120);
    SendWheel(spin, 120);
    EXPECT_EQ(Notes(), 5);
    EXPECT_EQ(spin->GetValue(), 100);
    EXPECT_FALSE(spin->GetButton(2)->isEnabled());
    EXPECT_FALSE(spin->GetButton(3)->isEnabled());
    EXPECT_TRUE(spin->GetButton(1)->isEnabled());
}

TEST_F(HSpin, KeypadPlusAndMinusStepButTheMainKeyboardsDoNot)
{
    QTest::keyClick(spin, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(spin, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(spin, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(Notes(), 3);
    EXPECT_EQ(spin->GetValue(), 10.5);
    QTest::keyClick(spin, Qt::Key_Plus);
    QTest::keyClick(spin, Qt::Key_Minus);
    EXPECT_EQ(Notes(), 3);
    EXPECT_FALSE(spin->Value().IsTyping());
    EXPECT_EQ(spin->text(), "10.500 m");
}

TEST_F(HSpin, ButtonsActOnReleaseOncePerClick)
{
    CButtonSpin* next = spin->GetButton(2);
    QTest::mousePress(next, Qt::LeftButton);
    EXPECT_EQ(Notes(), 0);
    QTest::mouseRelease(next, Qt::LeftButton);
    EXPECT_EQ(Notes(), 1);
    EXPECT_EQ(spin->GetValue(), 10.5);
    QTest::mouseClick(spin->GetButton(3), Qt::LeftButton);
    EXPECT_EQ(spin->GetValue(), 100);
    QTest::mouseClick(spin->GetButton(1), Qt::LeftButton);
    EXPECT_EQ(spin->GetValue(), 99.5);
    QTest::mouseClick(spin->GetButton(0), Qt::LeftButton);
    EXPECT_EQ(spin->GetValue(), 0);
    EXPECT_EQ(Notes(), 4);
    // Disabled at the minimum: a click does nothing.
    QTest::mouseClick(spin->GetButton(0), Qt::LeftButton);
    EXPECT_EQ(Notes(), 4);
}

TEST_F(HSpin, TypedDigitsCommitOnEnterAndPostEditEnter)
{
    Type("12.5");
    EXPECT_EQ(spin->text(), "12.5");
    EXPECT_EQ(Notes(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(Notes(), 1);
    EXPECT_EQ(spin->GetValue(), 12.5);
    EXPECT_EQ(spin->text(), "12.500 m");
    // The edit-enter event is posted, not sent.
    EXPECT_EQ(parent.editEnters, 0);
    QApplication::processEvents();
    EXPECT_EQ(parent.editEnters, 1);
    // Enter with nothing typed still posts the event but changes nothing.
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::processEvents();
    EXPECT_EQ(parent.editEnters, 2);
    EXPECT_EQ(Notes(), 1);
    // Keypad digits type too, and the keypad's ',' of a Russian layout is the
    // decimal point; letters and '-' do not.
    QTest::keyClick(spin, Qt::Key_7, Qt::KeypadModifier);
    QTest::keyClick(spin, Qt::Key_Comma, Qt::KeypadModifier);
    Type("a-5");
    EXPECT_EQ(spin->text(), "7.5");
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(spin->GetValue(), 7.5);
}

TEST_F(HSpin, BackspaceRemovesTheFirstCharacterAndEscapeRestores)
{
    Type("123");
    QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "23");
    QTest::keyClick(spin, Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "3");
    QTest::keyClick(spin, Qt::Key_Escape);
    EXPECT_EQ(spin->text(), "10.000 m");
    EXPECT_FALSE(spin->Value().IsTyping());
    EXPECT_EQ(Notes(), 0);
    // Not typing: Backspace and Delete leave the shown value alone.
    QTest::keyClick(spin, Qt::Key_End);
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClick(spin, Qt::Key_Home);
    QTest::keyClick(spin, Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "10.000 m");
}

TEST_F(HSpin, StepsWhileTypingShowTheValueAndKeepThePendingText)
{
    Type("4");
    SendWheel(spin, 120);
    EXPECT_EQ(spin->text(), "10.500 m");
    Type("2");
    EXPECT_EQ(spin->text(), "42");
    // Leaving the field neither commits nor cancels.
    QLineEdit other(&parent);
    other.show();
    other.setFocus();
    EXPECT_EQ(spin->text(), "42");
    EXPECT_EQ(spin->GetValue(), 10.5);
}

TEST_F(HSpin, ScreenReadersReadTheValueAndTheirTextCommitsOnEnterAsTyped)
{
    spin->SetSpinName("C1");
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(spin);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->role(), QAccessible::SpinBox);
    EXPECT_EQ(field->text(QAccessible::Name), "C1");
    EXPECT_EQ(field->text(QAccessible::Value), "10.000 m");
    QAccessibleValueInterface* value = field->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble(), 10);
    EXPECT_EQ(value->minimumValue().toDouble(), 0);
    EXPECT_EQ(value->maximumValue().toDouble(), 100);
    EXPECT_EQ(value->minimumStepSize().toDouble(), 0.5);

    // Text written through the interface is typed: shown, then committed by Enter.
    ASSERT_NE(field->editableTextInterface(), nullptr);
    field->editableTextInterface()->replaceText(0, field->textInterface()->characterCount(), "42,5 m");
    EXPECT_EQ(spin->text(), "42.5");
    EXPECT_EQ(Notes(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(spin->GetValue(), 42.5);
    EXPECT_EQ(Notes(), 1);
    // A value set through the interface is a user change, clamped.
    value->setCurrentValue(250.0);
    EXPECT_EQ(spin->GetValue(), 100);
    EXPECT_EQ(Notes(), 2);
}

TEST_F(HSpin, PastedOrMiddleClickedTextDoesNotGetIn)
{
    QApplication::clipboard()->setText("99");
    QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(spin, Qt::MiddleButton);
    EXPECT_EQ(spin->text(), "10.000 m");
    EXPECT_FALSE(spin->Value().IsTyping());
}

TEST(EditText, EnterPostsEditEnterInsteadOfEditing)
{
    Parent parent;
    auto* edit = new CEditText(&parent, 177);
    parent.show();
    QTest::keyClicks(edit, "name");
    EXPECT_EQ(edit->text(), "name");
    bool returned = false;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { returned = true; });
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(returned);
    EXPECT_EQ(parent.editEnters, 0);
    QApplication::processEvents();
    EXPECT_EQ(parent.editEnters, 1);
    EXPECT_EQ(edit->GetControlId(), 177);
}

} // namespace
