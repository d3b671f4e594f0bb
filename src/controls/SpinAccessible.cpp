#include "controls/SpinAccessible.h"

#include "controls/HSpin.h"

#include <QFontMetrics>

namespace {

QAccessibleInterface* SpinFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CHSpin") && object != nullptr && object->isWidgetType()) {
        return new CSpinAccessible(static_cast<CHSpin*>(object));
    }
    return nullptr;
}

} // namespace

CSpinAccessible::CSpinAccessible(CHSpin* field)
    : QAccessibleWidget(field, QAccessible::SpinBox)
{
}

void CSpinAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(SpinFactory);
        return true;
    }();
    (void)installed;
}

CHSpin* CSpinAccessible::Field() const { return static_cast<CHSpin*>(widget()); }

void* CSpinAccessible::interface_cast(QAccessible::InterfaceType type)
{
    switch (type) {
    case QAccessible::ValueInterface:
        return static_cast<QAccessibleValueInterface*>(this);
    case QAccessible::TextInterface:
        return static_cast<QAccessibleTextInterface*>(this);
    case QAccessible::EditableTextInterface:
        return static_cast<QAccessibleEditableTextInterface*>(this);
    default:
        return QAccessibleWidget::interface_cast(type);
    }
}

QAccessible::State CSpinAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    return s;
}

QString CSpinAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        return Field()->text();
    }
    return QAccessibleWidget::text(t);
}

void CSpinAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value) {
        Field()->setText(text); // the field takes it through its typing rules
    } else {
        QAccessibleWidget::setText(t, text);
    }
}

QVariant CSpinAccessible::currentValue() const { return Field()->GetValue(); }

void CSpinAccessible::setCurrentValue(const QVariant& value)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (ok) {
        Field()->CommitTyped(QString::number(v, 'f', 6));
    }
}

QVariant CSpinAccessible::maximumValue() const { return Field()->GetMax(); }
QVariant CSpinAccessible::minimumValue() const { return Field()->GetMin(); }
QVariant CSpinAccessible::minimumStepSize() const { return Field()->GetStep(); }

void CSpinAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const CHSpin* field = Field();
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && field->hasSelectedText()) {
        *startOffset = field->selectionStart();
        *endOffset = field->selectionStart() + static_cast<int>(field->selectedText().size());
    }
}

int CSpinAccessible::selectionCount() const { return Field()->hasSelectedText() ? 1 : 0; }

void CSpinAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void CSpinAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        Field()->deselect();
    }
}

void CSpinAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        Field()->setSelection(startOffset, endOffset - startOffset);
    }
}

int CSpinAccessible::cursorPosition() const { return Field()->cursorPosition(); }
void CSpinAccessible::setCursorPosition(int position) { Field()->setCursorPosition(position); }

QString CSpinAccessible::text(int startOffset, int endOffset) const
{
    return Field()->text().mid(startOffset, endOffset - startOffset);
}

int CSpinAccessible::characterCount() const { return static_cast<int>(Field()->text().size()); }

QRect CSpinAccessible::characterRect(int offset) const
{
    const CHSpin* field = Field();
    const QString text = field->text();
    if (offset < 0 || offset >= text.size()) {
        return {};
    }
    // The text is centred in the field.
    const QFontMetrics metrics(field->font());
    const int left = (field->width() - metrics.horizontalAdvance(text)) / 2 + metrics.horizontalAdvance(text.left(offset));
    const QRect box(left, (field->height() - metrics.height()) / 2, metrics.horizontalAdvance(text.at(offset)),
                    metrics.height());
    return QRect(field->mapToGlobal(box.topLeft()), box.size());
}

int CSpinAccessible::offsetAtPoint(const QPoint& point) const
{
    CHSpin* field = Field();
    return field->cursorPositionAt(field->mapFromGlobal(point));
}

void CSpinAccessible::scrollToSubstring(int, int) {}

QString CSpinAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

void CSpinAccessible::deleteText(int startOffset, int endOffset) { replaceText(startOffset, endOffset, {}); }

void CSpinAccessible::insertText(int offset, const QString& text) { replaceText(offset, offset, text); }

void CSpinAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    QString now = Field()->text();
    now.replace(startOffset, endOffset - startOffset, text);
    Field()->setText(now);
}
