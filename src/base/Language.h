// Loading the window's translation: the program's own texts and Qt's (the
// buttons and titles of its dialogs).
#pragma once

#include <QStringList>
#include <string>

class QCoreApplication;
class QTranslator;

// Where the program's .qm files are looked for, in order: "translations"
// beside the executable (the build tree), the installed share folder relative
// to the executable, then the installed share folder as configured.
QStringList TranslationFolders();

// Loads the program's translation of a language ("en", "ru") from the first
// of TranslationFolders() that has it, and Qt's own from Qt's translations
// folder (the Debian package of Qt's translations puts them there).
bool LoadProgramTranslation(QTranslator& translator, const QString& language);
bool LoadQtTranslation(QTranslator& translator, const QString& language);

// Installs the translation of ChooseLanguage(stored, the desktop's languages)
// into the application; Qt's own comes from Qt's translations folder when it
// is there. Gives the language installed, "" when the source texts stay.
std::string InstallTranslations(QCoreApplication& app, const std::string& stored);
