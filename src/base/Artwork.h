// The program's icons, painted in code: tool bar buttons (16 x 15, the scale
// buttons 36 x 15 with their scale as text) and the window icon.
#pragma once

#include <QIcon>
#include <QSize>

inline constexpr QSize kButtonSize(16, 15);
inline constexpr QSize kScaleButtonSize(36, 15);

// The tool bar picture of a command; a null icon for commands without one.
QIcon CommandIcon(int id);

// A trace on a dark screen, at several sizes.
QIcon ApplicationIcon();
