#include "model/Difference.h"

#include "model/ZR815KDoc.h"

#include <algorithm>

namespace {

int8_t Held(int value) { return static_cast<int8_t>(std::clamp(value, -128, 127)); }

bool IsChannel(int channel) { return channel >= 0 && channel < 3; }

} // namespace

PickedColumns HeldDifference(const PickedColumns& reference, const PickedColumns& channel)
{
    PickedColumns difference{};
    for (std::size_t i = 0; i < difference.size(); ++i) {
        difference[i] = Held(int{reference[i]} - int{channel[i]});
    }
    return difference;
}

int ReferenceInForce(const CZR815KDoc& doc)
{
    const int reference = doc.m_nReference;
    if (!doc.m_bDifference || !IsChannel(reference) || !doc.m_memory[static_cast<std::size_t>(reference)].m_bOn) {
        return -1;
    }
    return reference;
}

bool DrawnAsDifference(const CZR815KDoc& doc, int channel)
{
    if (!IsChannel(channel) || !doc.m_memory[static_cast<std::size_t>(channel)].m_bOn) {
        return false;
    }
    const int reference = ReferenceInForce(doc);
    return reference >= 0 && reference != channel;
}

PickedColumns TraceValues(const CZR815KDoc& doc, int channel, PickedColumns WaveformRecord::*columns)
{
    if (!IsChannel(channel)) {
        return PickedColumns{};
    }
    const WaveformRecord& record = doc.m_memory[static_cast<std::size_t>(channel)];
    if (DrawnAsDifference(doc, channel)) {
        const WaveformRecord& reference = doc.m_memory[static_cast<std::size_t>(doc.m_nReference)];
        return HeldDifference(reference.*columns, record.*columns);
    }
    PickedColumns values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = Held(int{(record.*columns)[i]} + record.m_nShift);
    }
    return values;
}
