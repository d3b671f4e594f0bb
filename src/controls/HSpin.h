// The numeric field of the program: a one-line edit that shows a bounded value
// with a fixed number of decimals and a unit, flanked by four step buttons.
// The value changes with the wheel over the field, the keypad's plus and minus,
// the buttons, and typed digits committed by Enter. The parent hears of a change
// (the field's id with code 0x0400, through changeNotified) exactly once per
// user action and never when the program sets the value. Enter also posts the
// edit-enter event to the parent. The rules live in SpinValue; this widget
// forwards events to it and shows its state.
#pragma once

#include "controls/ButtonSpin.h"
#include "controls/core/SpinValue.h"
#include "model/PlotMouse.h"

#include <QLineEdit>
#include <QPointer>
#include <array>

class CHSpin : public QLineEdit
{
    Q_OBJECT
public:
    // Creates the field and its four buttons in parent, all with an empty rectangle.
    CHSpin(QWidget* parent, int id);
    // The buttons live in the parent; they go with the field.
    ~CHSpin() override;

    int GetControlId() const { return m_nId; }

    void SetParams(double minimum, double maximum, double value, double step, int precision,
                   const std::string& unit);
    void SetValue(double value);
    double GetValue() const { return m_value.GetValue(); }
    double GetMin() const { return m_value.GetMin(); }
    double GetMax() const { return m_value.GetMax(); }
    double GetStep() const { return m_value.GetStep(); }
    const SpinValue& Value() const { return m_value; }

    // Places the field and its buttons inside r (the parent's coordinates).
    void MoveSpin(const QRect& r);
    void ShowSpin(bool show);
    void EnableSpin(bool enable);
    // Shows a text in place of the value (the value stays).
    void ShowText(const QString& text);
    // The accessible name of the field; its buttons are named after it.
    void SetSpinName(const QString& name);

    // Types text through the typing rules and commits it as Enter does (a
    // value set through the accessibility interface).
    void CommitTyped(const QString& text);

    CButtonSpin* GetButton(int index) const { return m_buttons[static_cast<std::size_t>(index)].data(); }

signals:
    // A user change: the field's control id and kEnUpdate.
    void changeNotified(int id, int code);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Shows the core's text and button states; emits the notification when asked.
    void Show();
    void UserChanged(bool notify);
    void ButtonClicked(int index);
    bool IsNavigationKey(const QKeyEvent* event) const;
    void OnTextChanged(const QString& text);

    SpinValue m_value;
    std::array<QPointer<CButtonSpin>, 4> m_buttons{};
    WheelAccumulator m_wheel;
    int m_nId;
    bool m_bShowing = false; // Show is writing the text: not a typed one
};
