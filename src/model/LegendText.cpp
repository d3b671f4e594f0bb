#include "model/LegendText.h"

#include "model/Difference.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "model/TextMarks.h"
#include "model/ZR815KDoc.h"

#include <cmath>

std::array<std::string, kLegendColumns> LegendHeaders(bool showHalfVelocity)
{
    return {" ",
            QT_TRANSLATE_NOOP("Core", "Waveform name"),
            QT_TRANSLATE_NOOP("Core", "Scale"),
            QT_TRANSLATE_NOOP("Core", "Pulse"),
            showHalfVelocity ? QT_TRANSLATE_NOOP("Core", "V/2") : QT_TRANSLATE_NOOP("Core", "PR"),
            QT_TRANSLATE_NOOP("Core", "Average"),
            QT_TRANSLATE_NOOP("Core", "Gain"),
            QT_TRANSLATE_NOOP("Core", "Impedance"),
            QT_TRANSLATE_NOOP("Core", "Shift"),
            QT_TRANSLATE_NOOP("Core", "RL"),
            QT_TRANSLATE_NOOP("Core", "М1"),
            QT_TRANSLATE_NOOP("Core", "М2"),
            QT_TRANSLATE_NOOP("Core", "Method"),
            QT_TRANSLATE_NOOP("Core", "Threshold"),
            QT_TRANSLATE_NOOP("Core", "Delay"),
            QT_TRANSLATE_NOOP("Core", "Data"),
            QT_TRANSLATE_NOOP("Core", "Time")};
}

std::string FileDateText(long long fileTime)
{
    const LocalDateTime t = SplitFileTime(fileTime);
    return FormatTwoDigits(t.day) + "." + FormatTwoDigits(t.month) + "." + FormatTwoDigits(t.year % 100);
}

std::string FileClockText(long long fileTime)
{
    const LocalDateTime t = SplitFileTime(fileTime);
    return FormatTwoDigits(t.hour) + ":" + FormatTwoDigits(t.minute) + ":" + FormatTwoDigits(t.second);
}

std::array<std::string, kLegendColumns> LegendCells(const CZR815KDoc& doc, int channel)
{
    const WaveformRecord& r = doc.m_memory[channel];
    const std::string factor =
        doc.m_bShowHalfVelocity ? FormatFixed(150.0 / doc.m_dFactor, 1) : FormatFixed(doc.m_dFactor, 3);
    return {"M" + FormatInt(channel + 1),
            r.m_strName,
            FormatFixed(r.m_dScale, 3),
            FormatInt(static_cast<int64_t>(std::trunc(r.m_dPulse))),
            factor,
            FormatInt(r.m_nAverages),
            FormatInt(r.m_nGain),
            FormatInt(r.m_nImpedance),
            DrawnAsDifference(doc, channel) ? std::string(kDifferenceShiftText) : FormatInt(r.m_nShift),
            FormatInt(doc.ReturnLoss(r)),
            FormatFixed(r.m_dMarker1 / doc.m_dFactor * 1.5, 3),
            FormatFixed(r.m_dMarker2 / doc.m_dFactor * 1.5, 3),
            MethodText(r.m_nMethod),
            FormatInt(r.m_nThreshold),
            FormatFixed(r.m_dDelay, 1),
            FileDateText(r.m_ftTime),
            FileClockText(r.m_ftTime)};
}

int LegendWidthUnits(bool returnLoss, bool markers)
{
    return 29 + (returnLoss ? 3 : 0) + (markers ? 8 : 0);
}

std::array<int, kLegendColumns> LegendColumnWidths(int formWidth, bool returnLoss, bool markers)
{
    std::array<int, kLegendColumns> widths = {25, 0,  75, 75, 75, 75, 75, 75, 75,
                                              0,  0,  0,  50, 75, 50, 0,  0};
    widths[1] = formWidth - 25 * LegendWidthUnits(returnLoss, markers);
    widths[9] = returnLoss ? 75 : 0;
    widths[10] = markers ? 100 : 0;
    widths[11] = markers ? 100 : 0;
    return widths;
}
