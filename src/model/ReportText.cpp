#include "model/ReportText.h"

#include "model/Format.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <algorithm>
#include <cmath>

namespace {

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

} // namespace

std::array<std::string, 7> ReportParameterTexts(const CZR815KDoc& doc)
{
    return ReportParameterTexts(doc, Untranslated);
}

std::array<std::string, 7> ReportParameterTexts(const CZR815KDoc& doc, const TextTranslation& localise)
{
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    const double pr = doc.m_dFactor;
    const double toDistance = tables::kReferenceFactor / pr;
    const std::string m = MetreSuffix(localise);
    const std::string factor =
        doc.m_bShowHalfVelocity
            ? localise(QT_TRANSLATE_NOOP("Core", "V/2")) + Blanks(14) + FormatFixed(150.0 / pr, 1)
            : localise(QT_TRANSLATE_NOOP("Core", "PR")) + Blanks(15) + FormatFixed(pr, 3);
    return {
        factor,
        localise(QT_TRANSLATE_NOOP("Core", "Zoom")) + Blanks(11) +
            FormatInt(int64_t{1} << std::clamp(doc.m_nZoom, 0, 30)),
        localise(QT_TRANSLATE_NOOP("Core", "Resolution")) + Blanks(3) +
            FormatFixed(doc.WindowWidth() / pr * tables::kReferenceFactor / 500, 4) + m,
        localise(QT_TRANSLATE_NOOP("Core", "Zero point")) + Blanks(1) + FormatFixed(left * toDistance, 3) + m,
        localise(QT_TRANSLATE_NOOP("Core", "C1")) + Blanks(15) +
            FormatFixed(doc.m_dCursor1 / pr * tables::kReferenceFactor, 4) + m,
        localise(QT_TRANSLATE_NOOP("Core", "C2")) + Blanks(15) +
            FormatFixed(doc.m_dCursor2 / pr * tables::kReferenceFactor, 4) + m,
        localise(QT_TRANSLATE_NOOP("Core", "L")) + Blanks(17) +
            FormatFixed(std::fabs(doc.m_dCursor1 - doc.m_dCursor2) / pr * tables::kReferenceFactor, 4) + m,
    };
}

std::array<std::string, 2> ReportContactLines()
{
    return ReportContactLines(Untranslated);
}

std::array<std::string, 2> ReportContactLines(const TextTranslation& localise)
{
    return {Blanks(38) + localise(kMakerPhone), localise(kMakerName) + Blanks(19) +
                                                    localise(QT_TRANSLATE_NOOP("Core", "Internet: ")) +
                                                    kMakerWeb};
}
