// Texts of the Qt-free core that the window shows are marked with
// QT_TRANSLATE_NOOP("Core", text). Here the mark leaves the text as it is; the
// translation tool finds the marks by their name, and the window translates the
// texts in context "Core" where it shows them (base/CoreText.h). The definition
// is token for token Qt's own, so a source that sees both compiles cleanly.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// A core function that puts marked texts together takes one of these to
// translate each piece: the window passes its translator, everything else the
// texts as they are.
using TextTranslation = std::function<std::string(const char*)>;

inline std::string Untranslated(const char* text) { return text; }

// The pattern with %1, %2, ... replaced by the arguments in order (a pattern's
// translation may move them about).
std::string FillIn(std::string pattern, std::initializer_list<std::string> arguments);

// The unit after a distance, " m" as a translated word.
inline std::string MetreSuffix(const TextTranslation& localise)
{
    return " " + localise(QT_TRANSLATE_NOOP("Core", "m"));
}
