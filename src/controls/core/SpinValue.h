// The rules of the spin field CHSpin without the widget: its value and bounds,
// the text it shows, which of its four step buttons are enabled, and how user
// actions (wheel, keypad plus and minus, the buttons, typing and Enter) change
// the value.
//
// Every user action that rewrites the value returns true: the field then tells
// its parent about the change, exactly once. Changes made by the program
// (SetParams, SetValue) never do, which is what lets a panel refresh its fields
// from the document without feeding the refresh back into it.
//
// Typing: '0'..'9' and the decimal point are collected as pending text and
// shown alone. The point may be typed as '.' or ',' (a Russian layout's keypad
// gives ',') and is kept as '.'. Backspace/Delete/Insert remove the first
// pending character; Enter commits the leading number of the pending text (one
// point at most; nothing readable commits 0), clamped into the range; Escape
// drops the pending text. Steps while text is pending show the stepped value
// but keep the pending text, which comes back with the next typed character.
//
// A program change (SetParams, SetValue, ShowText) while text is pending drops
// it: the text was typed against the range and presentation the field had, and
// an Enter after the change would commit it under another meaning, unseen. The
// one exception is the parent's answer to the field's own user change, which
// the widget brackets with HoldPending: a step while typing is refreshed from
// the document and must keep the pending text.
#pragma once

#include <array>
#include <string>

class SpinValue
{
  public:
    // Button indices.
    enum : int { kFirst = 0, kPrev = 1, kNext = 2, kLast = 3 };

    // Stores all six as given (no clamping) and shows the value.
    void SetParams(double minimum, double maximum, double value, double step, int precision,
                   std::string unit);
    // A program change: clamps (minimum first, so with minimum > maximum the
    // maximum wins), shows the value, never notifies. NaN becomes the minimum.
    void SetValue(double value);
    // The field and all four buttons alike, until the next display applies the
    // bound rule to the buttons again.
    void EnableSpin(bool enable);
    // Replaces the shown text (the parameters panel shows "-" for a channel
    // that is off); the value stays.
    void ShowText(std::string text);
    // While set, program changes keep the pending text (see above).
    void HoldPending(bool hold) { m_bHoldPending = hold; }

    double GetValue() const { return m_dValue; }
    double GetMin() const { return m_dMin; }
    double GetMax() const { return m_dMax; }
    double GetStep() const { return m_dStep; }
    int GetPrecision() const { return m_nPrecision; }
    const std::string& GetUnit() const { return m_strUnit; }
    // What the field shows: "12.500 m", or the pending typed text.
    std::string Text() const { return m_strText; }
    // Go to minimum, step down, step up, go to maximum.
    std::array<bool, 4> ButtonsEnabled() const { return m_buttons; }
    bool IsFieldEnabled() const { return m_bEnabled; }
    bool IsTyping() const { return m_bTyping; }
    const std::string& PendingText() const { return m_strTyped; }

    // User actions; each returns true when the parent is to get the change notification.
    bool Wheel(int delta); // one step per wheel message: delta < 0 steps down, else up
    bool KeypadMinus();
    bool KeypadPlus();
    bool Button(int index); // 0..3; a disabled button takes no click
    void TypeChar(char32_t ch);
    void DeleteKey(); // Backspace, Delete or Insert while typing
    bool Enter();     // commits pending text; false (and nothing changes) when not typing
    void Escape();    // drops pending text, shows the value again

    // The number a typed text commits: its leading digits with at most one
    // point ('.' or ','), 0 when it has none; beyond the largest double it is infinite (and clamps).
    static double ParseTyped(const std::string& text);
    // The shown text of a value: "%.*f", followed by " unit" when there is one.
    static std::string Format(double value, int precision, const std::string& unit);

  private:
    bool UserSet(double value);
    void Store(double value);
    void DropPending();
    void Display();

    std::string m_strTyped;
    std::string m_strText;
    double m_dValue = 0;
    double m_dMin = 0;
    double m_dMax = 0;
    int m_nPrecision = 0;
    double m_dStep = 0;
    std::string m_strUnit;
    bool m_bTyping = false;
    bool m_bEnabled = true;
    bool m_bHoldPending = false;
    std::array<bool, 4> m_buttons{false, false, false, false};
};
