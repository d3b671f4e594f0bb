#include "model/ZR815KDoc.h"

#include "model/Format.h"
#include "model/PrivateProfile.h"
#include "model/ScaleTables.h"
#include "model/Thousandths.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRef = tables::kReferenceFactor;
constexpr int kShiftLimit = 200;

// Wheel steps: exactly -120 steps down, everything else steps up.
bool IsStepDown(int delta) { return delta == kWheelDown; }

const char* const kShiftKeys[3] = {"Y_P1", "Y_P2", "Y_P3"};

// The factor a section is converted with. A factor of 0 or below (or not a
// number), which only a hand-edited grid can hold, counts as the reference
// factor, so no conversion divides by zero or turns the distance around.
double SectionFactor(const SiteGridSection& section)
{
    return section.m_dFactor > 0 ? section.m_dFactor : kRef;
}

// The distance of a position (metres) along the sections: the whole sections
// before it, plus its part of the section that holds it. Past the grid's end the
// last section's factor continues. The expression is the plain conversion's
// (position × 1.5 / factor), so inside a first section of PR 1.5 both agree to
// the bit.
double DistanceAlongSections(const std::vector<SiteGridSection>& sections, double position)
{
    double distance = 0;
    for (const SiteGridSection& section : sections) {
        const double s = section.m_dStart / 100;
        const double e = section.m_dEnd / 100;
        const double f = SectionFactor(section);
        if (position < e) {
            return distance + (position - s) * kRef / f;
        }
        distance += (e - s) * kRef / f;
    }
    const SiteGridSection& last = sections.back();
    return distance + (position - last.m_dEnd / 100) * kRef / SectionFactor(last);
}

} // namespace

// A window's left edge is seldom a whole number of columns from 0, so a point
// placed exactly on a column edge can divide out a hair short of it
// (386.99999999999994). Truncating that would give the column before: a cursor
// step from there would land on the same point again, for ever, and the byte
// read under the cursor would be its neighbour's.
double HeldColumn(double offset, double columnWidth)
{
    const double q = offset / columnWidth;
    const double whole = std::round(q);
    const double tolerance = std::max(1e-6, 1e-9 * std::abs(whole));
    return std::abs(q - whole) <= tolerance ? whole : std::trunc(q);
}

// --- construction and settings ------------------------------------------------

CZR815KDoc::CZR815KDoc(std::filesystem::path iniPath)
    : m_settingsPath(std::move(iniPath))
{
    m_memory[0].m_crColor = Colour{200, 0, 0};
    m_memory[1].m_crColor = Colour{255, 153, 0};
    m_memory[2].m_crColor = Colour{200, 0, 200};
    ReadSettings();
}

CZR815KDoc::~CZR815KDoc() { WriteSettings(); }

void CZR815KDoc::ReadSettings()
{
    // One read and one parse for all keys.
    const ProfileText ini = PrivateProfile(m_settingsPath).Load();
    const char* s = kSettingsSection;

    const int32_t scale = ini.GetInt(s, "SCALE", 0);
    m_dScale = tables::kScale[(scale >= 0 && scale < tables::kCount) ? scale : 0];
    m_nMouseMode = ini.GetInt(s, "MOUSE", 0);

    // A velocity factor must be positive; anything else falls back to the reference.
    // A positive one is held to the velocity field's range, so the field never
    // shows a factor other than the one the distances use.
    const int32_t factor = ini.GetInt(s, "VFACTOR", 1500);
    m_dFactor = factor > 0 ? std::clamp(factor / 1000.0, tables::kMinFactor, tables::kMaxFactor) : kRef;

    m_nGain = ini.GetInt(s, "GAIN", 0);
    m_nAverage = ini.GetInt(s, "AVERAGE", 0);

    const int32_t cursor1 = ini.GetInt(s, "CURSOR1", 0);
    const int32_t cursor2 = ini.GetInt(s, "CURSOR2", 0);
    m_dCursor1 = cursor1 > 0 ? cursor1 / 1000.0 : 0.0;
    m_dCursor2 = cursor2 > 0 ? cursor2 / 1000.0 : 0.0;

    for (int i = 0; i < 3; ++i) {
        m_memory[i].m_nShift = std::clamp(ini.GetInt(s, kShiftKeys[i], 0), -kShiftLimit, kShiftLimit);
    }
    m_bApproximation = ini.GetInt(s, "APPOXIMATION", 1) != 0;
    m_bShowHalfVelocity = ini.GetInt(s, "SPEED", 0) != 0;
    m_bReturnLoss = ini.GetInt(s, "RL", 0) != 0;
}

void CZR815KDoc::SaveSettings(SettingsEdit edit)
{
    if (m_bHoldSettings) {
        m_heldSettings.push_back(std::move(edit));
    } else {
        PrivateProfile(m_settingsPath).Update(edit);
    }
}

void CZR815KDoc::WriteSettings() const
{
    const char* s = kSettingsSection;
    const int index = std::max(tables::ScaleIndex(m_dScale), 0);
    // All keys, the windows' held ones first, in one read and one replacement of the file.
    PrivateProfile(m_settingsPath).Update([&](ProfileText& ini) {
        for (const SettingsEdit& edit : m_heldSettings) {
            edit(ini);
        }
        ini.Set(s, "SCALE", FormatInt(index));
        ini.Set(s, "PULSE", FormatInt(index));
        ini.Set(s, "MOUSE", FormatInt(m_nMouseMode));
        ini.Set(s, "VFACTOR", FormatInt(ToThousandths(m_dFactor)));
        ini.Set(s, "GAIN", FormatInt(m_nGain));
        ini.Set(s, "AVERAGE", FormatInt(m_nAverage));
        ini.Set(s, "CURSOR1", FormatInt(ToThousandths(m_dCursor1)));
        ini.Set(s, "CURSOR2", FormatInt(ToThousandths(m_dCursor2)));
        for (int i = 0; i < 3; ++i) {
            ini.Set(s, kShiftKeys[i], FormatInt(m_memory[i].m_nShift));
        }
        ini.Set(s, "APPOXIMATION", m_bApproximation ? "1" : "0");
        ini.Set(s, "MARKER", m_bShowMarkers ? "1" : "0");
        ini.Set(s, "SPEED", m_bShowHalfVelocity ? "1" : "0");
        ini.Set(s, "RL", m_bReturnLoss ? "1" : "0");
    });
}

// --- views ----------------------------------------------------------------------

void CZR815KDoc::AddView(CDocView* view)
{
    if (view != nullptr && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CZR815KDoc::RemoveView(CDocView* view) { std::erase(m_views, view); }

void CZR815KDoc::UpdateAllViews(CDocView* sender, int hint)
{
    // A view may update the document again from its handler, or leave; work on a
    // snapshot and skip views that have left meanwhile.
    const std::vector<CDocView*> views = m_views;
    for (CDocView* view : views) {
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end()) {
            view->OnUpdate(sender, hint);
        }
    }
}

// --- window and columns ------------------------------------------------------------

double CZR815KDoc::WindowWidth() const { return m_dScale / std::pow(2.0, m_nZoom); }

double CZR815KDoc::ColumnWidth() const { return WindowWidth() / tables::kColumns; }

double CZR815KDoc::HalfVelocity() const { return 300.0 / (2.0 * m_dFactor); }

bool CZR815KDoc::GridInForce() const
{
    return m_bGridSelected && m_bGridApplied && !m_gridSections.empty();
}

void CZR815KDoc::GetViewWindow(double& left, double& right) const
{
    const double width = WindowWidth();
    left = m_dZoomCentre - width / 2;
    right = m_dZoomCentre + width / 2;
    if (left < 0) {
        left = 0;
        right = width;
    }
    if (m_dScale < right) {
        left = m_dScale - width;
        right = m_dScale;
    }
}

// --- scale and zoom ------------------------------------------------------------------

void CZR815KDoc::SetScale(int index)
{
    if (index < 0 || index >= tables::kCount) {
        return;
    }
    m_dScale = tables::kScale[index];
    m_nZoom = 0;
    m_bZoomed = false;
    UpdateAllViews(nullptr, HINT_SCALE);
}

// The zoom centre is taken from the anchor cursor when the zoom leaves 0, and
// forgotten when it returns there; deeper steps keep it.
void CZR815KDoc::TakeZoomCentre()
{
    if (!m_bZoomed && m_nZoom != 0) {
        m_dZoomCentre = *m_pZoomAnchor;
        m_bZoomed = true;
    } else if (m_bZoomed && m_nZoom == 0) {
        m_bZoomed = false;
    }
}

bool CZR815KDoc::StepZoom(int delta)
{
    if (IsStepDown(delta)) {
        --m_nZoom;
        if (m_nZoom < 0) {
            m_nZoom = 0;
            return false;
        }
    } else {
        ++m_nZoom;
        const int deepest = tables::MaxZoom(m_dScale);
        if (m_nZoom > deepest) {
            m_nZoom = deepest;
            return false;
        }
    }
    TakeZoomCentre();
    return true;
}

void CZR815KDoc::SetZoom(int exponent)
{
    m_nZoom = std::clamp(exponent, 0, tables::MaxZoom(m_dScale));
    TakeZoomCentre();
    UpdateAllViews(nullptr, HINT_SCALE);
}

// --- cursors and shifts -----------------------------------------------------------------

void CZR815KDoc::SetCursorColumn(double& cursor, int column)
{
    double left = 0;
    double right = 0;
    GetViewWindow(left, right);
    cursor = left + ColumnWidth() * column;
    m_dFactor = FactorAt(cursor);
}

bool CZR815KDoc::StepCursor(double& cursor, int delta)
{
    double left = 0;
    double right = 0;
    GetViewWindow(left, right);
    const double c = ColumnWidth();
    const double k = HeldColumn(cursor - left, c);
    double moved = 0;
    if (IsStepDown(delta)) {
        moved = left + k * c - c;
        if (moved < left) {
            cursor = left;
            return false;
        }
    } else {
        moved = left + k * c + c;
        if (moved > right) {
            cursor = right;
            return false;
        }
    }
    cursor = moved;
    m_dFactor = FactorAt(moved);
    return true;
}

void CZR815KDoc::SetCursorDistance(double& cursor, double distance)
{
    PlaceCursor(cursor, DistanceToPosition(distance));
    UpdateAllViews(nullptr, HINT_REDRAW);
}

void CZR815KDoc::PlaceCursor(double& cursor, double position)
{
    const double c = ColumnWidth();
    cursor = c * std::floor(position / c + 0.5);
    m_dFactor = FactorAt(cursor);
}

void CZR815KDoc::SelectCursorMode(int mode)
{
    m_nMouseMode = mode;
    if (mode == MOUSE_CURSOR1) {
        m_dFactor = FactorAt(m_dCursor1);
    } else if (mode == MOUSE_CURSOR2) {
        m_dFactor = FactorAt(m_dCursor2);
    }
    UpdateAllViews(nullptr, HINT_REDRAW);
}

bool CZR815KDoc::StepShift(int32_t& shift, int delta)
{
    if (IsStepDown(delta)) {
        --shift;
        if (shift < -kShiftLimit) {
            shift = -kShiftLimit;
            return false;
        }
    } else {
        ++shift;
        if (shift > kShiftLimit) {
            shift = kShiftLimit;
            return false;
        }
    }
    return true;
}

// --- samples per column and return loss -----------------------------------------------------

void CZR815KDoc::PickColumns(WaveformRecord& record, double left, double window,
                             std::array<int8_t, 500>& target) const
{
    target.fill(0);
    const double step = record.m_dSampleStep;
    if (!(step > 0) || !(window > 0)) {
        return; // a record never loaded has no samples to pick
    }
    const double first = std::trunc(left / step);
    const double per = window / tables::kColumns / step;
    for (int i = 0; i < tables::kColumns; ++i) {
        const double k = std::trunc(i * per) + first;
        if (k > static_cast<double>(kTdrSampleCount - 1)) {
            break;
        }
        if (k >= 0) {
            target[i] = record.m_samples[static_cast<std::size_t>(k)];
        }
    }
}

int CZR815KDoc::ReturnLoss(const WaveformRecord& record) const
{
    const auto amplitude = [](int32_t value) {
        const int32_t a = value > 127 ? 255 - value : value;
        return a == 0 ? 1 : a;
    };
    const double ratio = static_cast<double>(amplitude(record.m_nValueC1)) / amplitude(record.m_nValueC2);
    return static_cast<int>(std::trunc(20.0 * std::log10(ratio)));
}

// --- velocity factor and distances, plain or by site-grid section --------------------------------

double CZR815KDoc::FactorAt(double position) const
{
    if (!GridInForce()) {
        return m_dFactor;
    }
    for (const SiteGridSection& section : m_gridSections) {
        if (section.m_dStart / 100 <= position && position < section.m_dEnd / 100) {
            return SectionFactor(section);
        }
    }
    return SectionFactor(m_gridSections.back());
}

double CZR815KDoc::DistanceToPosition(double distance) const
{
    if (!GridInForce()) {
        return distance / kRef * m_dFactor;
    }
    double d0 = 0;
    double position = 0;
    for (const SiteGridSection& section : m_gridSections) {
        const double f = SectionFactor(section);
        const double d1 = d0 + (section.m_dLength / 100) / f * kRef;
        if (d0 <= distance && distance <= d1) {
            position += (distance - d0) / kRef * f;
        } else if (distance > d1) {
            position += section.m_dLength / 100;
        }
        d0 = d1;
    }
    if (distance > d0) {
        position += (distance - d0) / kRef * SectionFactor(m_gridSections.back());
    }
    return position;
}

void CZR815KDoc::CursorDistance(double cursor, double& distance, double& resolution) const
{
    const double c = ColumnWidth();
    if (!GridInForce()) {
        distance = cursor * kRef / m_dFactor;
        resolution = c * kRef / m_dFactor;
        return;
    }
    // Sections of a hand-edited grid may overlap: the last one that holds the cursor counts.
    bool found = false;
    double running = 0;
    for (const SiteGridSection& section : m_gridSections) {
        const double s = section.m_dStart / 100;
        const double e = section.m_dEnd / 100;
        if (s <= cursor && cursor < e) {
            distance = running + (cursor - s) / SectionFactor(section) * kRef;
            resolution = c / SectionFactor(section) * kRef;
            found = true;
        }
        running += (e - s) / SectionFactor(section) * kRef;
    }
    if (found) {
        return;
    }
    // A cursor at or past the end of the grid continues with the last section's factor;
    // one before its start (a negative position) is measured with the first section's.
    const SiteGridSection& last = m_gridSections.back();
    const SiteGridSection& firstSection = m_gridSections.front();
    if (cursor < firstSection.m_dStart / 100) {
        distance = (cursor - firstSection.m_dStart / 100) / SectionFactor(firstSection) * kRef;
        resolution = c / SectionFactor(firstSection) * kRef;
    } else {
        distance = running + (cursor - last.m_dEnd / 100) / SectionFactor(last) * kRef;
        resolution = c / SectionFactor(last) * kRef;
    }
}

void CZR815KDoc::GetCursorDistances(double& d1, double& d2, double& res1, double& res2) const
{
    CursorDistance(m_dCursor1, d1, res1);
    CursorDistance(m_dCursor2, d2, res2);
}

double CZR815KDoc::PositionToDistance(double position) const
{
    double distance = 0;
    double resolution = 0;
    CursorDistance(position, distance, resolution);
    return distance;
}

// With a grid in force each edge of the window is the distance of its position
// along the sections, the same rule GetCursorDistances applies to a cursor, so a
// cursor on an edge reads the edge's distance.
int CZR815KDoc::GetViewDistances(double& left, double& right) const
{
    double L = 0;
    double R = 0;
    GetViewWindow(L, R);
    if (!GridInForce()) {
        left = L * kRef / m_dFactor;
        right = R * kRef / m_dFactor;
        return 0;
    }
    left = DistanceAlongSections(m_gridSections, L);
    right = DistanceAlongSections(m_gridSections, R);
    return static_cast<int>(m_gridSections.size());
}
