#include "base/CoreText.h"

#include <QCoreApplication>

QString CoreText(const char* text) { return QCoreApplication::translate("Core", text); }

QString CoreText(const std::string& text) { return CoreText(text.c_str()); }

TextTranslation CoreTranslation()
{
    return [](const char* text) { return CoreText(text).toStdString(); };
}

std::string MetreUnit() { return CoreText("m").toStdString(); }

QString WithMetreUnit(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    if (shown.endsWith(QLatin1String(" m"))) {
        shown.chop(1);
        shown += CoreText("m");
    }
    return shown;
}
