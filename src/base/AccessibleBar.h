// Tool bars a keyboard and a screen reader can use. Every button takes Tab
// focus and the arrow keys move along the bar; Space presses the focused
// button. To a screen reader every tool button is a (toggle) button whose
// actions, "Press" and "Toggle" alike, click it: the click runs the command,
// and the check mark is left to the command's state rule, so it always shows
// the document's state. (Qt's own "Toggle" flips the button alone and never
// runs the command.)
#pragma once

class QToolBar;

void MakeBarAccessible(QToolBar* bar);
