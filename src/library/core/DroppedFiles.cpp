#include "library/core/DroppedFiles.h"

#include "library/core/FileNameText.h"
#include "library/core/TdrFolder.h"
#include "library/core/WaveformListing.h"
#include "model/TextMarks.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

DropResult LoadIntoFreeChannels(CZR815KDoc& doc, const std::vector<std::filesystem::path>& files)
{
    DropResult result;
    const bool wasEmpty = !AnyChannelOn(doc);
    for (const std::filesystem::path& file : files) {
        WaveformRecord* free = nullptr;
        for (WaveformRecord& channel : doc.m_memory) {
            if (!channel.m_bOn) {
                free = &channel;
                break;
            }
        }
        if (free == nullptr) {
            result.m_problems.push_back({file, true});
            continue;
        }
        // Loaded into a copy, so a failed load leaves the channel as it was;
        // the copy keeps the channel's colour and shift.
        WaveformRecord loaded = *free;
        const std::string name = file.filename().string();
        if (!HasTdrExtension(name) ||
            !LoadListedWaveform(loaded, file.parent_path(), WaveformNameOf(name))) {
            result.m_problems.push_back({file, false});
            continue;
        }
        loaded.m_bOn = true;
        *free = loaded;
        ++result.m_nLoaded;
    }
    if (wasEmpty && result.m_nLoaded > 0) {
        ShowAtOwnScale(doc);
    }
    return result;
}

bool AnyChannelOn(const CZR815KDoc& doc)
{
    for (const WaveformRecord& channel : doc.m_memory) {
        if (channel.m_bOn) {
            return true;
        }
    }
    return false;
}

void ShowAtOwnScale(CZR815KDoc& doc)
{
    for (const WaveformRecord& channel : doc.m_memory) {
        if (channel.m_bOn) {
            if (const int index = tables::ScaleIndex(channel.m_dScale);
                index >= 0 && channel.m_dScale != doc.m_dScale) {
                doc.SetScale(index);
            }
            return;
        }
    }
}

std::string DropProblemText(const DropResult& result)
{
    return DropProblemText(result, Untranslated);
}

std::string DropProblemText(const DropResult& result, const TextTranslation& localise)
{
    std::string text;
    for (const DropProblem& problem : result.m_problems) {
        if (!text.empty()) {
            text += '\n';
        }
        text += FillIn(localise(problem.m_bNoFreeChannel
                                    ? QT_TRANSLATE_NOOP("Core", "%1: all three memory channels are in use")
                                    : QT_TRANSLATE_NOOP("Core", "%1: not a waveform file")),
                       {MessagePath(problem.m_path)});
    }
    return text;
}
