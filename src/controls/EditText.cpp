#include "controls/EditText.h"

#include "controls/ControlNotify.h"

#include <QKeyEvent>

CEditText::CEditText(QWidget* parent, int id)
    : QLineEdit(parent), m_nId(id)
{
}

void CEditText::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        PostEditEnter(this);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
