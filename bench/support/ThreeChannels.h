// Loads three synthetic waveforms (scales 2, 4 and 8 km) into M1..M3 and
// switches them on, as a technician comparing three recordings would.
#pragma once

#include "model/ZR815KDoc.h"
#include "tdrsynth/Synth.h"

#include <string>
#include <vector>

inline void LoadThreeChannels(CZR815KDoc& doc, uint64_t firstSeed)
{
    for (int k = 0; k < 3; ++k) {
        SynthParams params = ParamsForScale(5 + k);
        params.m_nSeed = firstSeed + static_cast<uint64_t>(k);
        const std::vector<uint8_t> bytes = SynthesiseTdr(params);
        DecodeWaveform(doc.m_memory[k], bytes);
        doc.m_memory[k].m_bOn = true;
        doc.m_memory[k].m_strName = "channel " + std::to_string(k + 1);
    }
}

// The scene the display benchmarks measure: three channels at scale 4 km,
// zoom 2 about C1 at 1000 m, C2 at 2500 m.
inline void SetUpThreeChannelScene(CZR815KDoc& doc, uint64_t firstSeed)
{
    LoadThreeChannels(doc, firstSeed);
    doc.SetScale(6);
    doc.m_dCursor1 = 1000;
    doc.m_dCursor2 = 2500;
    doc.SetZoom(1);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
}

