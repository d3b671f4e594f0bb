// Text export of a folder's waveforms: every .tdr file of exactly 8512 bytes
// becomes a .txt file beside it holding its 8000 samples, one signed decimal
// number per line, each line ended by CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

// One file to convert.
struct TextExportJob
{
    std::string m_strSource; // the .tdr file name
    std::string m_strTarget; // the same name less its last four characters, plus ".txt"
    // Another file of the folder, earlier in name order, already writes this
    // target (names that differ only in the case of ".tdr"); the job then fails
    // rather than overwrite that export.
    bool m_bTargetTaken = false;
};

struct TextExportResult
{
    std::size_t m_nWritten = 0;        // .txt files written
    std::vector<std::string> m_failed; // .tdr names that could not be read or whose .txt could not be written
    bool m_bCancelled = false;         // the progress callback stopped the export
};

// The jobs of a folder, in case-insensitive name order: one per regular file of
// exactly 8512 bytes whose name ends in ".tdr" in any case. Whether the header
// makes sense does not matter. A missing or unreadable folder has none.
std::vector<TextExportJob> ListTextExportJobs(const std::filesystem::path& folder);

// The text of the samples: each as a signed byte in decimal, then "\r\n".
std::string WaveformText(std::span<const int8_t> samples);

// Reads the job's source (which must still be a regular file of 8512 bytes) and
// replaces its target in one atomic write, so a failure never leaves a half
// written file. False when the source cannot be read, the target cannot be
// written (read-only file or folder, a directory in its place) or the target is
// taken by an earlier job.
bool ExportWaveformText(const std::filesystem::path& folder, const TextExportJob& job);

// Called after each file with the files done so far and the total; returning
// false stops the export before the next file.
using TextExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Exports every job of the folder, in order.
TextExportResult ExportFolderText(const std::filesystem::path& folder,
                                  const TextExportProgress& progress = {});
