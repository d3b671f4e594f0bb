#include "controls/HSpin.h"

#include "controls/ButtonSpin.h"
#include "controls/ControlNotify.h"
#include "controls/SpinAccessible.h"
#include "controls/core/SpinLayout.h"

#include <QKeyEvent>
#include <QPointer>
#include <QWheelEvent>
#include <cstdlib>

namespace {

const char* const kButtonNames[4] = {
    QT_TRANSLATE_NOOP("CHSpin", "minimum"), QT_TRANSLATE_NOOP("CHSpin", "step down"),
    QT_TRANSLATE_NOOP("CHSpin", "step up"), QT_TRANSLATE_NOOP("CHSpin", "maximum")};

QRect ToQRect(const ControlRect& box) { return QRect(box.x, box.y, box.width, box.height); }

} // namespace

CHSpin::CHSpin(QWidget* parent, int id)
    : QLineEdit(parent), m_nId(id)
{
    setAlignment(Qt::AlignCenter);
    // Text enters only through the field's own rules: no paste, drop, input
    // method composition or edit menu that would bypass them.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setGeometry(QRect());
    CSpinAccessible::Install();
    connect(this, &QLineEdit::textChanged, this, &CHSpin::OnTextChanged);
    for (int i = 0; i < 4; ++i) {
        auto* button = new CButtonSpin(parent, i);
        button->setGeometry(QRect());
        connect(button, &QPushButton::clicked, this, [this, i] { ButtonClicked(i); });
        m_buttons[static_cast<std::size_t>(i)] = button;
    }
    Show();
}

CHSpin::~CHSpin()
{
    for (const QPointer<CButtonSpin>& button : m_buttons) {
        delete button.data();
    }
}

void CHSpin::Show()
{
    const QString text = QString::fromStdString(m_value.Text());
    if (this->text() != text) {
        m_bShowing = true;
        setText(text);
        m_bShowing = false;
    }
    setEnabled(m_value.IsFieldEnabled());
    const auto enabled = m_value.ButtonsEnabled();
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]) {
            m_buttons[i]->setEnabled(enabled[i]);
        }
    }
}

void CHSpin::UserChanged(bool notify)
{
    Show();
    if (notify) {
        // The parent answers by refreshing the field from the document; that
        // refresh is this change's own echo and keeps any pending text.
        const QPointer<CHSpin> alive(this);
        m_value.HoldPending(true);
        emit changeNotified(m_nId, kEnUpdate);
        if (alive) {
            m_value.HoldPending(false);
        }
    }
}

void CHSpin::SetParams(double minimum, double maximum, double value, double step, int precision,
                       const std::string& unit)
{
    m_value.SetParams(minimum, maximum, value, step, precision, unit);
    Show();
}

void CHSpin::SetValue(double value)
{
    m_value.SetValue(value);
    Show();
}

void CHSpin::EnableSpin(bool enable)
{
    m_value.EnableSpin(enable);
    Show();
}

void CHSpin::ShowText(const QString& text)
{
    m_value.ShowText(text.toStdString());
    Show();
}

void CHSpin::MoveSpin(const QRect& r)
{
    const SpinPlacement place = ComputeSpinPlacement(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    setGeometry(ToQRect(place.field));
    for (std::size_t i = 0; i < m_buttons.size() && m_buttons[i]; ++i) {
        const QRect box = ToQRect(place.buttons[i]);
        m_buttons[i]->setGeometry(box);
        const int side = std::max(std::min(box.width(), box.height()) - 4, 4);
        m_buttons[i]->setIconSize(QSize(side, side));
    }
}

void CHSpin::ShowSpin(bool show)
{
    for (const QPointer<CButtonSpin>& button : m_buttons) {
        if (button) {
            button->setVisible(show);
        }
    }
    setVisible(show);
}

void CHSpin::SetSpinName(const QString& name)
{
    setAccessibleName(name);
    for (std::size_t i = 0; i < m_buttons.size() && m_buttons[i]; ++i) {
        m_buttons[i]->setAccessibleName(name + ' ' + tr(kButtonNames[i]));
    }
}

void CHSpin::OnTextChanged(const QString& text)
{
    if (m_bShowing) {
        return;
    }
    // Text that came in past the keys (an assistive technology writing into
    // the field) is typed afresh through the typing rules, and Enter commits it.
    m_value.Escape();
    for (const QChar ch : text) {
        m_value.TypeChar(ch.unicode());
    }
    Show();
}

void CHSpin::CommitTyped(const QString& text)
{
    setText(text);
    if (m_value.IsTyping()) {
        UserChanged(m_value.Enter());
    }
}

void CHSpin::ButtonClicked(int index) { UserChanged(m_value.Button(index)); }

bool CHSpin::IsNavigationKey(const QKeyEvent* event) const
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll);
    }
}

void CHSpin::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Escape) {
        m_value.Escape();
        Show();
        event->ignore(); // a dialog around the field still hears Escape
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const QPointer<CHSpin> alive(this);
        if (m_value.IsTyping()) {
            UserChanged(m_value.Enter());
        }
        if (alive) {
            PostEditEnter(this);
            event->accept();
        }
        return;
    }
    event->accept();
    if (keypad && key == Qt::Key_Minus) {
        UserChanged(m_value.KeypadMinus());
        return;
    }
    if (keypad && key == Qt::Key_Plus) {
        UserChanged(m_value.KeypadPlus());
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Insert) {
        if (m_value.IsTyping()) {
            m_value.DeleteKey();
            Show();
        }
        return;
    }
    if (IsNavigationKey(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString typed = event->text();
    if (!typed.isEmpty() && !(event->modifiers() & chord)) {
        for (const QChar ch : typed) {
            m_value.TypeChar(ch.unicode());
        }
        Show();
    }
}

bool CHSpin::event(QEvent* event)
{
    // The field keeps no edit history of its own: Undo and Redo are the window's.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CHSpin::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return; // a horizontal turn is not a step
    }
    const int notches = m_wheel.Add(delta);
    const QPointer<CHSpin> alive(this);
    for (int i = 0; i < std::abs(notches) && alive; ++i) {
        UserChanged(m_value.Wheel(notches < 0 ? -120 : 120));
    }
}

void CHSpin::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept(); // no pasting of the selection
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CHSpin::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CHSpin::inputMethodEvent(QInputMethodEvent* event) { event->ignore(); }
