// The one document: every piece of measurement state the forms share, the
// settings file that keeps it between runs, and the arithmetic that turns it
// into windows, columns, distances and cursor steps.
#pragma once

#include "model/DocView.h"
#include "model/WaveformRecord.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class ProfileText;

// One section of an applied site grid. Length and bounds are centimetres of position.
struct SiteGridSection
{
    double m_dFactor = 0;
    double m_dLength = 0;
    double m_dStart = 0;
    double m_dEnd = 0;
    bool operator==(const SiteGridSection&) const = default;
};

// An event of a channel's trace marked on the plot while the events list is
// shown: the channel and the position of the event's leading edge (metres).
struct PlotEventMark
{
    int m_nChannel = 0;
    double m_dPosition = 0;
    bool operator==(const PlotEventMark&) const = default;
};

// Section of the settings file that holds every key of the program.
inline constexpr const char* kSettingsSection = "KLM-204";

class CZR815KDoc
{
public:
    // Reads the settings from the file at iniPath (defaults for what is missing).
    explicit CZR815KDoc(std::filesystem::path iniPath);
    // Writes the settings back to the same file.
    ~CZR815KDoc();
    CZR815KDoc(const CZR815KDoc&) = delete;
    CZR815KDoc& operator=(const CZR815KDoc&) = delete;

    const std::filesystem::path& SettingsPath() const { return m_settingsPath; }
    // A window's own keys in the settings file. The edit is written at once,
    // unless the program is closing (HoldSettingsUntilClose): then the keys
    // of every window go into the file with the document's own, in the one
    // replacement its destructor makes, so a kill during the close leaves the
    // file wholly old or wholly new.
    using SettingsEdit = std::function<void(ProfileText&)>;
    void SaveSettings(SettingsEdit edit);
    void HoldSettingsUntilClose() { m_bHoldSettings = true; }

    // Views
    void AddView(CDocView* view);
    void RemoveView(CDocView* view);
    // Calls OnUpdate on every registered view except sender, in registration order.
    void UpdateAllViews(CDocView* sender, int hint);

    // Arithmetic
    void GetViewWindow(double& left, double& right) const;
    double DistanceToPosition(double distance) const;
    double FactorAt(double position) const;
    void GetCursorDistances(double& d1, double& d2, double& res1, double& res2) const;
    // The distance of a position by the rule the cursors are read with: plain,
    // or section by section while a site grid is in force.
    double PositionToDistance(double position) const;
    int GetViewDistances(double& left, double& right) const;
    void SetScale(int index);
    bool StepZoom(int delta);
    void SetZoom(int exponent);
    void SetCursorColumn(double& cursor, int column);
    bool StepCursor(double& cursor, int delta);
    void SetCursorDistance(double& cursor, double distance);
    // Puts a cursor on the column edge nearest a position (columns counted from
    // position 0 at the current zoom) and takes the factor there; no update.
    void PlaceCursor(double& cursor, double position);
    void SelectCursorMode(int mode);
    bool StepShift(int32_t& shift, int delta);
    void PickColumns(WaveformRecord& record, double left, double window, std::array<int8_t, 500>& target) const;
    int ReturnLoss(const WaveformRecord& record) const;

    // Derived values the forms share.
    double WindowWidth() const;  // m_dScale / 2^m_nZoom
    double ColumnWidth() const;  // WindowWidth() / 500
    bool GridInForce() const;    // a site grid is selected, applied and has sections
    double HalfVelocity() const; // V/2 of m_dFactor, m/us

    // Fields
    bool m_bShowMarkers = false;
    bool m_bGridApplied = false;
    bool m_bGridSelected = false;
    bool m_bReturnLoss = false;
    bool m_bShowHalfVelocity = false;
    std::vector<SiteGridSection> m_gridSections;
    // Names of m_gridSections, one each, for the plot's section boundaries.
    std::vector<std::string> m_gridNames;
    // The file name (in the site-grid folder) of the grid whose sections are applied.
    std::string m_strGridApplied;
    double m_dScale = 62.5;
    int32_t m_nMouseMode = 0;
    bool m_bApproximation = true;
    int32_t m_nAverage = 0;
    double m_dFactor = 1.5;
    int32_t m_nGain = 0;
    std::array<WaveformRecord, 3> m_memory;
    double m_dCursor1 = 0;
    Colour m_crCursor1{200, 200, 255};
    double m_dCursor2 = 0;
    Colour m_crCursor2{200, 200, 0};
    int32_t m_nZoom = 0;
    double* m_pZoomAnchor = &m_dCursor1;
    double m_dZoomCentre = 0;
    bool m_bZoomed = false;
    // Difference mode and its reference channel (0..2); neither is kept in the
    // settings file, so every run starts with plain traces.
    bool m_bDifference = false;
    int32_t m_nReference = 0;
    // Events the plot marks; empty while the events list is hidden.
    std::vector<PlotEventMark> m_eventMarks;
    // The events list is shown: the printed report carries its table too.
    bool m_bEventsListed = false;

private:
    void ReadSettings();
    void WriteSettings() const;
    void TakeZoomCentre();
    void CursorDistance(double cursor, double& distance, double& resolution) const;

    std::filesystem::path m_settingsPath;
    bool m_bHoldSettings = false;
    std::vector<SettingsEdit> m_heldSettings;
    std::vector<CDocView*> m_views;
};

// The column that holds a point `offset` from a window's left edge, for columns
// `columnWidth` wide: the whole part of offset / columnWidth, where a quotient
// within a rounding hair of a whole number counts as that number.
double HeldColumn(double offset, double columnWidth);

// Mouse modes of the plot.
enum MouseMode : int32_t {
    MOUSE_ZOOM = 0,
    MOUSE_CURSOR1 = 1,
    MOUSE_CURSOR2 = 2,
    MOUSE_SHIFT_M1 = 5,
    MOUSE_SHIFT_M2 = 6,
    MOUSE_SHIFT_M3 = 7,
};

// The one wheel delta that steps down or left; every other delta steps up or right.
inline constexpr int kWheelDown = -120;
