#include "model/LanguageChoice.h"

#include <cctype>

namespace {

// The primary subtag, lower case: "ru" of "ru-RU", "ru_RU.UTF-8" or "RU".
std::string PrimaryLanguage(std::string_view name)
{
    std::string primary;
    for (const char c : name) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            break;
        }
        primary += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return primary;
}

} // namespace

std::string StoredLanguage(std::string_view value)
{
    const std::string primary = PrimaryLanguage(value);
    for (const char* language : kTranslatedLanguages) {
        if (primary == language) {
            return primary;
        }
    }
    return {};
}

std::string ChooseLanguage(std::string_view stored, const std::vector<std::string>& desktopLanguages)
{
    if (std::string chosen = StoredLanguage(stored); !chosen.empty()) {
        return chosen;
    }
    for (const std::string& name : desktopLanguages) {
        if (std::string language = StoredLanguage(name); !language.empty()) {
            return language;
        }
    }
    return {};
}
