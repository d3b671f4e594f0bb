// Which language the window speaks. Its texts are written in the source
// language (mostly English, some Russian); translations exist for English and
// Russian. The user's choice is kept in the settings file; without one the
// desktop's languages decide, and a desktop that prefers neither gets the
// source texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The settings key of the choice, in the document's section: "en", "ru", or
// empty (or missing) for the desktop's choice.
inline constexpr const char* kLanguageKey = "LANGUAGE";

// The languages the program has translations for.
inline constexpr const char* kTranslatedLanguages[] = {"en", "ru"};

// A stored choice as one of kTranslatedLanguages, or "" for the desktop's
// choice (anything else stored counts as that too).
std::string StoredLanguage(std::string_view value);

// The translation to load: the stored choice when it names one, else the first
// of the desktop's languages (BCP 47 names such as "ru-RU", most preferred
// first) that has a translation; "" for the source texts.
std::string ChooseLanguage(std::string_view stored, const std::vector<std::string>& desktopLanguages);
