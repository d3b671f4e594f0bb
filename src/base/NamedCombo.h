// A list box a screen reader names by its label rather than by its current
// entry (on Linux Qt names a combo box by its text), with the entry as its
// value and its list opened by the "Press" action.
#pragma once

class QComboBox;

void NameComboByLabel(QComboBox* combo);
