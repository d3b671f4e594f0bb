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
    const QString name = QString::fromStdString(language);
    auto* own = new QTranslator(&app);
    bool loaded = false;
    for (const QString& folder : TranslationFolders()) {
        if (own->load("ondalis_" + name, folder)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) {
        delete own;
        return {};
    }
    app.installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (qt->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(qt);
    } else {
        delete qt;
    }
    return language;
}
