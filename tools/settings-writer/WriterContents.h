// The two contents settings-writer alternates between, and one round of writes.
// Shared with the test that kills the writer, so both sides agree on what a
// whole file may hold.
#pragma once

#include "cablelib/core/CableLibrary.h"
#include "library/core/SiteGridFile.h"
#include "model/PrivateProfile.h"
#include "model/ZR815KDoc.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace settings_writer {

inline constexpr const char* kIniName = "param.ini";
inline constexpr const char* kGridName = "grid.pie";
inline constexpr const char* kLibraryName = "cables.tku";

// Keys of [KLM-204] with their values in contents A (0) and B (1), in the order
// they are written. The long values make a torn file easy to tell.
inline std::vector<std::pair<std::string, std::array<std::string, 2>>> IniKeys()
{
    return {
        {"SCALE", {"4", "7"}},
        {"CURSOR1", {"125.500", "3071.250"}},
        {"OPEN", {"/srv/routes/north/" + std::string(400, 'a') + "/", "/srv/routes/south/" + std::string(700, 'b') + "/"}},
        {"OPEN_KU", {"/srv/cables/a.tku", "/srv/cables/" + std::string(300, 'k') + ".tku"}},
        {"VFACTOR", {"1500", "1830"}},
    };
}

// The site grid of a content: the scale it is made at and its sections' factors.
inline double GridScale(int variant) { return variant == 0 ? 1000 : 4000; }
inline std::vector<double> GridFactors(int variant)
{
    return variant == 0 ? std::vector<double>{1.5, 1.8} : std::vector<double>{1.6, 2.0, 2.25};
}

// The velocity-factor library of a content.
inline std::vector<CableEntry> Library(int variant)
{
    std::vector<CableEntry> entries;
    const int count = variant == 0 ? 3 : 240;
    for (int i = 0; i < count; ++i) {
        const std::string tag = std::to_string(i + 1);
        entries.push_back({(variant == 0 ? "Pair cable " : "Кабель ТПП ") + tag + "x2x0.4",
                           variant == 0 ? "1.5" + tag : "1.7" + tag});
    }
    return entries;
}

// One round: every key of param.ini, the grid made anew and its sections added,
// the library replaced. False as soon as one write fails.
inline bool WriteRound(const std::filesystem::path& folder, int variant)
{
    const PrivateProfile ini(folder / kIniName);
    for (const auto& [key, values] : IniKeys()) {
        if (!ini.WriteString(kSettingsSection, key, values[static_cast<std::size_t>(variant)])) {
            return false;
        }
    }
    const std::filesystem::path grid = folder / kGridName;
    if (!CreateSiteGridFile(grid, GridScale(variant))) {
        return false;
    }
    for (double factor : GridFactors(variant)) {
        if (!AddSiteGridSection(grid, factor)) {
            return false;
        }
    }
    return WriteCableLibrary(folder / kLibraryName, Library(variant));
}

} // namespace settings_writer
