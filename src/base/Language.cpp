#include "base/Language.h"

#include "model/LanguageChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifndef ONDALIS_TRANSLATIONDIR
#define ONDALIS_TRANSLATIONDIR "/usr/share/ondalis/translations"
#endif

QStringList TranslationFolders()
{
    const QString exe = QCoreApplication::applicationDirPath();
    return {exe + "/translations", QDir::cleanPath(exe + "/../share/ondalis/translations"),
            QStringLiteral(ONDALIS_TRANSLATIONDIR)};
}

bool LoadProgramTranslation(QTranslator& translator, const QString& language)
{
    for (const QString& folder : TranslationFolders()) {
        if (translator.load("ondalis_" + language, folder)) {
            return true;
        }
    }
    return false;
}

bool LoadQtTranslation(QTranslator& translator, const QString& language)
{
    return translator.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

std::string InstallTranslations(QCoreApplication& app, const std::string& stored)
{
    std::vector<std::string> desktop;
    for (const QString& name : QLocale::system().uiLanguages()) {
        desktop.push_back(name.toStdString());
    }
    const std::string language = ChooseLanguage(stored, desktop);
    if (language.empty()) {
        return {};
    }
    // Without the program's own translation Qt's alone would mix languages.
    const QString name = QString::fromStdString(language);
    auto* own = new QTranslator(&app);
    if (!LoadProgramTranslation(*own, name)) {
        delete own;
        return {};
    }
    app.installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (LoadQtTranslation(*qt, name)) {
        app.installTranslator(qt);
    } else {
        delete qt;
    }
    return language;
}
