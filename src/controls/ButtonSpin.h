// One of the four flat icon buttons of a spin field: go to minimum, step down,
// step up, go to maximum. The button is a child of the field's parent (a
// sibling of the field); the field owns it and acts on its clicks, which come
// on release and never repeat.
#pragma once

#include <QPushButton>

class CButtonSpin : public QPushButton
{
    Q_OBJECT
public:
    CButtonSpin(QWidget* parent, int index);
    int GetIndex() const { return m_nIndex; }

    // The painted picture of a button: a bar and a triangle pointing left for
    // the minimum, a left triangle, a right triangle, a right triangle and a
    // bar for the maximum.
    static QIcon Icon(int index);

private:
    int m_nIndex;
};
