#include "controls/core/ParamsPanel.h"

#include "model/ScaleTables.h"
#include "model/TextMarks.h"
#include "model/ZR815KDoc.h"

double VelocityFieldValue(const CZR815KDoc& doc)
{
    return doc.m_bShowHalfVelocity ? 300.0 / (2.0 * doc.m_dFactor) : doc.m_dFactor;
}

VelocityField VelocityFieldOf(const CZR815KDoc& doc)
{
    if (doc.m_bShowHalfVelocity) {
        return {50, 150, VelocityFieldValue(doc), 0.1, 1, QT_TRANSLATE_NOOP("Core", "V/2")};
    }
    return {tables::kMinFactor,
            tables::kMaxFactor,
            VelocityFieldValue(doc),
            0.001,
            3,
            QT_TRANSLATE_NOOP("Core", "PR")};
}

double FactorFromVelocityField(bool showHalfVelocity, double value)
{
    return showHalfVelocity ? 300.0 / (2.0 * value) : value;
}

ReferenceMarks UpdateReferenceMarks(const std::array<bool, 3>& channelOn, const std::array<bool, 3>& checked)
{
    ReferenceMarks marks;
    marks.checked = checked;
    bool held = false;
    for (std::size_t k = 0; k < 3; ++k) {
        if (channelOn[k]) {
            marks.enabled[k] = true;
            if (marks.checked[k]) {
                held = true;
            }
        } else {
            if (marks.checked[k]) {
                held = false;
            }
            marks.checked[k] = false;
            marks.enabled[k] = false;
        }
    }
    if (!held) {
        for (std::size_t k = 0; k < 3; ++k) {
            if (channelOn[k]) {
                marks.checked[k] = true;
                break;
            }
        }
        marks.broadcast = true;
    }
    return marks;
}

ParamsPlacement ComputeParamsLayout(int width, const std::array<LabelSize, 4>& labels, LabelSize difference)
{
    const int right = width - 2; // the panel less 2 pixels on every side
    const int top = 2;
    ParamsPlacement p;
    for (std::size_t k = 0; k < 4; ++k) {
        const bool velocity = k == 3;
        const int rowTop = top + 24 * static_cast<int>(k);
        const int labelRight = right - (velocity ? 122 : 102);
        p.labels[k] = {labelRight - labels[k].width, rowTop + (22 - labels[k].height) / 2, labels[k].width,
                       labels[k].height};
        const int fieldLeft = right - (velocity ? 120 : 100);
        p.fields[k] = {fieldLeft, rowTop, right - 5 - fieldLeft, 22};
    }
    p.difference = {right - 120, top + 24 * 4 + (22 - difference.height) / 2, difference.width, difference.height};
    return p;
}
