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

// A folder opened once for exporting: every job reads its source and replaces
// its target relative to it.
class TextExportFolder
{
  public:
    explicit TextExportFolder(const std::filesystem::path& folder);
    ~TextExportFolder();
    TextExportFolder(const TextExportFolder&) = delete;
    TextExportFolder& operator=(const TextExportFolder&) = delete;

    // Reads the job's source (which must still be a regular file of 8512 bytes)
    // and replaces its target: the text goes to a temporary file beside it,
    // which is renamed over the target, nothing flushed. A crash may lose the
    // newest export, but a file under the target's name is never half written,
    // and a failure leaves the old target and no temporary file. A replaced
    // regular file keeps its permissions (and its owner where the process may
    // keep it); a new file gets 0666 less the umask. A target that is a symbolic
    // link is replaced by a regular file; whatever the link points at (a file,
    // a folder, nothing) is never written. False when the folder cannot be
    // opened, the source cannot be read, the target cannot be written (a
    // read-only file or folder, a folder or special file in its place) or the
    // target is taken by an earlier job.
    bool Export(const TextExportJob& job);

  private:
    int m_nFolderFd = -1;
    std::string m_strTemporary; // the name of the last temporary file, tried again first
};

// One job exported on its own, as TextExportFolder(folder).Export(job).
bool ExportWaveformText(const std::filesystem::path& folder, const TextExportJob& job);

// Called after each file with the files done so far and the total; returning
// false stops the export before the next file.
using TextExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Exports every job of the folder, in order.
TextExportResult ExportFolderText(const std::filesystem::path& folder,
                                  const TextExportProgress& progress = {});
