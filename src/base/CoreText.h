// The window's side of the core's marked texts: each is translated in context
// "Core", where the translation tool filed it.
#pragma once

#include "model/TextMarks.h"

#include <QString>
#include <string>

QString CoreText(const char* text);
QString CoreText(const std::string& text);

// For the core functions that put marked texts together.
TextTranslation CoreTranslation();

// The unit of the distance fields, "m" in the window's language.
std::string MetreUnit();

// A core distance text ("12.500 m") with its unit in the window's language.
QString WithMetreUnit(const std::string& text);
