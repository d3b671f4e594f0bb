#include "shell/Headless.h"

#include "display/FormDraw.h"
#include "library/core/FileNameText.h"
#include "library/core/TextExport.h"
#include "library/core/WaveformListing.h"
#include "model/CommandIds.h"
#include "model/DocView.h"
#include "model/EventFinder.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "model/SafeFile.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <QApplication>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "ondalis: ";
constexpr const char* kReportDocName = "Ondalis report";

int UsageError(const std::string& text, std::ostream& err)
{
    err << kProgram << text << '\n' << UsageText();
    return kExitUsage;
}

// A fresh folder for the run's own document settings, removed with its content.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::error_code ec;
        std::string pattern = (fs::temp_directory_path(ec) / "ondalis-run-XXXXXX").string();
        if (ec) {
            pattern = "/tmp/ondalis-run-XXXXXX";
        }
        if (const char* made = ::mkdtemp(pattern.data())) {
            m_path = made;
        }
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!m_path.empty()) {
            fs::remove_all(m_path, ec);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Ok() const { return !m_path.empty(); }
    fs::path operator/(const char* name) const { return m_path / name; }

private:
    fs::path m_path;
};

// The name a file shows in the legend: its file name less ".tdr" in any case,
// readable (ReadableFileName).
std::string RecordName(const fs::path& path)
{
    std::string name = path.filename().string();
    if (name.size() > 4) {
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        if (tail == ".tdr") {
            name.resize(name.size() - 4);
        }
    }
    return ReadableFileName(name);
}

// Loads one file named on the command line into a memory channel, keeping the
// channel's colour; the text of what went wrong, or empty.
std::string LoadRunFile(const std::string& file, WaveformRecord& record)
{
    const fs::path path(file);
    const std::string shown = TerminalPath(path);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return "cannot open " + shown + ": no such file";
    }
    if (fs::is_directory(status)) {
        return "cannot open " + shown + ": it is a folder";
    }
    const FileReadResult read = ReadWholeFile(path, kTdrFileSize + 1);
    if (read.status == FileReadStatus::Missing) {
        return "cannot open " + shown + ": no such file";
    }
    if (read.status != FileReadStatus::Read && fs::is_regular_file(status) &&
        fs::file_size(path, ec) != kTdrFileSize && !ec) {
        return shown + " is not a waveform (a .tdr file is 8512 bytes)";
    }
    if (read.status != FileReadStatus::Read) {
        return "cannot read " + shown;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(read.bytes.data());
    if (read.bytes.size() != kTdrFileSize) {
        return shown + " is not a waveform (a .tdr file is 8512 bytes)";
    }
    if (!DecodeWaveform(record, std::span<const uint8_t>(bytes, read.bytes.size()))) {
        return shown + " is not a waveform (its header does not decode)";
    }
    record.m_strName = RecordName(path);
    record.m_ftTime = LastWriteLocalFileTime(path).value_or(0);
    record.m_bOn = true;
    return std::string();
}

// Why the folder cannot be listed, or empty when it can: it is missing, is no
// folder, or cannot be opened or searched (no permission to read its names or
// to reach its files). An empty listing then means an empty folder, never one
// that could not be read.
std::string FolderFault(const std::string& folder)
{
    const std::string shown = TerminalPath(folder);
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(folder), ec);
    if (status.type() == fs::file_type::not_found) {
        return "no such folder " + shown;
    }
    if (fs::exists(status) && !fs::is_directory(status)) {
        return shown + " is not a folder";
    }
    if (!ec && ::access(folder.c_str(), R_OK | X_OK) != 0) {
        ec.assign(errno, std::generic_category());
    }
    if (!ec) {
        const fs::directory_iterator probe(fs::path(folder), ec);
    }
    return ec ? "cannot read the folder " + shown + ": " + ec.message() : std::string();
}

int ListRun(const CommandOptions& o, std::ostream& out, std::ostream& err)
{
    if (const std::string fault = FolderFault(o.m_strFolder); !fault.empty()) {
        err << kProgram << fault << '\n';
        return kExitFailed;
    }
    out << WaveformTableText(o.m_strFolder, o.m_bCsv);
    return kExitOk;
}

int ExportRun(const CommandOptions& o, std::ostream& out, std::ostream& err, bool progress)
{
    if (const std::string fault = FolderFault(o.m_strFolder); !fault.empty()) {
        err << kProgram << fault << '\n';
        return kExitFailed;
    }
    const std::vector<TextExportJob> jobs = ListTextExportJobs(o.m_strFolder);
    TextExportFolder exporter(o.m_strFolder);
    std::vector<std::string> failed;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (progress) {
            err << "\rWriting waveforms as text: " << (i + 1) << " of " << jobs.size() << std::flush;
        }
        if (exporter.Export(jobs[i])) {
            out << PrintableText(ReadableFileName(jobs[i].m_strTarget)) << '\n';
        } else {
            failed.push_back(jobs[i].m_strSource);
        }
    }
    if (progress && !jobs.empty()) {
        err << '\n';
    }
    for (const std::string& name : failed) {
        err << kProgram << "could not write " << TerminalPath(name) << " as text\n";
    }
    return failed.empty() ? kExitOk : kExitFailed;
}

// The events of each file, one tab-separated line each under one header line.
// A file that does not load is named on err and the others still run.
int EventsRun(const CommandOptions& o, std::ostream& out, std::ostream& err)
{
    out << FormatTableLine({"file", "number", "distance m", "sign", "kind", "amplitude", "return loss dB", "ghost",
                            "end"},
                           false);
    bool failed = false;
    for (const std::string& file : o.m_files) {
        WaveformRecord record;
        const std::string fault = LoadRunFile(file, record);
        if (!fault.empty()) {
            err << kProgram << fault << '\n';
            failed = true;
            continue;
        }
        const bool fileFactorUsable = tables::IsFieldFactor(record.m_dFileFactor);
        const double factor = o.m_factor.value_or(fileFactorUsable ? record.m_dFileFactor : tables::kReferenceFactor);
        const std::string shown = PrintableText(ReadablePath(file)); // the whole path: it is data here
        for (const LineEvent& e : FindEvents(record, factor)) {
            out << FormatTableLine({shown, std::to_string(e.m_nNumber), FormatFixed(e.m_dDistance, 3),
                                    e.m_nSign > 0 ? "+" : "-", LineEventKindName(e.m_kind),
                                    std::to_string(e.m_nAmplitude), FormatFixed(e.m_dReturnLoss, 1),
                                    e.m_bGhost ? "yes" : "no", e.m_bStretch ? FormatFixed(e.m_dEndDistance, 3) : ""},
                                   false);
        }
    }
    return failed ? kExitFailed : kExitOk;
}

// The report or the picture: the files in M1..M3 of a document of its own, the
// display form set up from the options, then the output written in one step.
int DrawRun(const CommandOptions& o, std::ostream& err)
{
    if (QApplication::instance() == nullptr) {
        err << kProgram << "drawing needs the application object\n";
        return kExitFailed;
    }
    ScratchFolder scratch;
    if (!scratch.Ok()) {
        err << kProgram << "cannot make a temporary folder\n";
        return kExitFailed;
    }
    CZR815KDoc doc(scratch / "param.ini");
    for (std::size_t k = 0; k < o.m_files.size(); ++k) {
        const std::string fault = LoadRunFile(o.m_files[k], doc.m_memory[k]);
        if (!fault.empty()) {
            err << kProgram << fault << '\n';
            return kExitFailed;
        }
    }
    const WaveformRecord& first = doc.m_memory[0];
    const int scaleIndex = o.m_scaleIndex.value_or(std::max(tables::ScaleIndex(first.m_dScale), 0));
    doc.m_dScale = tables::kScale[scaleIndex];
    const int zoom = o.m_zoomExponent.value_or(0);
    if (zoom > tables::MaxZoom(doc.m_dScale)) {
        return UsageError("zoom " + std::to_string(1 << zoom) + " is deeper than the scale allows (at most " +
                              std::to_string(1 << tables::MaxZoom(doc.m_dScale)) + ")",
                          err);
    }
    const bool fileFactorUsable = tables::IsFieldFactor(first.m_dFileFactor);
    doc.m_dFactor = o.m_factor.value_or(fileFactorUsable ? first.m_dFileFactor : tables::kReferenceFactor);
    doc.m_bShowHalfVelocity = o.m_bHalfVelocity;
    doc.m_bEventsListed = o.m_bEvents;
    // Cursors and the zoom centre lie on the scale: 0 up to its length in distance.
    const double scaleDistance = doc.m_dScale * tables::kReferenceFactor / doc.m_dFactor;
    const std::pair<const char*, std::optional<double>> distances[] = {
        {"--c1", o.m_cursor1}, {"--c2", o.m_cursor2}, {"--centre", o.m_centre}};
    for (const auto& [name, distance] : distances) {
        if (distance && *distance > scaleDistance * (1 + 1e-12)) {
            return UsageError(std::string(name) + " " + FormatFixed(*distance, 3) + " m lies beyond the scale (" +
                                  FormatFixed(scaleDistance, 3) + " m)",
                              err);
        }
    }

    CFormDraw form(doc);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.resize(o.m_nWidth, o.m_nHeight);
    form.show();
    form.OnInitialUpdate();
    if (o.m_mode == RunMode::Thumbnail) {
        form.OnCommand(ID_LEGEND); // the plot alone: at icon size the legend would crowd out the trace
    }

    // The cursors snap to the columns of the window they are placed in: once
    // unzoomed (C1 may give the zoom its centre), once more in the final window.
    const auto placeCursors = [&] {
        if (o.m_cursor1) {
            doc.SetCursorDistance(doc.m_dCursor1, *o.m_cursor1);
        }
        if (o.m_cursor2) {
            doc.SetCursorDistance(doc.m_dCursor2, *o.m_cursor2);
        }
    };
    placeCursors();
    if (o.m_centre) {
        doc.m_nZoom = zoom;
        doc.m_bZoomed = zoom != 0;
        doc.m_dZoomCentre = doc.DistanceToPosition(*o.m_centre);
        doc.UpdateAllViews(nullptr, HINT_SCALE);
    } else if (zoom != 0) {
        doc.SetZoom(zoom);
    }
    placeCursors();
    doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);

    // Drawn into the scratch folder first; the output's name never goes
    // through a QString, so it keeps the very bytes given.
    const bool picture = o.m_mode != RunMode::Report;
    const fs::path drawn = scratch / (picture ? "picture.png" : "report.pdf");
    if (picture) {
        form.SavePicture(QString::fromStdString(drawn.string()));
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(drawn.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(kReportDocName);
        form.PrintReport(printer);
    }
    const FileReadResult written = ReadWholeFile(drawn);
    if (written.status != FileReadStatus::Read || written.bytes.empty()) {
        err << kProgram << (picture ? "the picture" : "the report") << " could not be drawn\n";
        return kExitFailed;
    }
    if (!WriteFileAtomically(fs::path(o.m_strOutput), written.bytes)) {
        err << kProgram << "cannot write " << TerminalPath(o.m_strOutput) << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

std::string WaveformTableText(const std::string& folder, bool csv)
{
    std::string text;
    if (csv) {
        const auto headings = WaveListHeadings(false);
        text += FormatTableLine({headings.begin(), headings.end()}, true);
    }
    for (const WaveformListing& row : ListWaveformFolder(folder)) {
        std::vector<std::string> cells;
        for (const std::string& cell : WaveListCells(row, false)) {
            cells.push_back(PrintableText(cell)); // the name may hold control bytes
        }
        text += FormatTableLine(cells, csv);
    }
    return text;
}

int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressOnErr)
{
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.Ok()) {
        return UsageError(parsed.m_strError, err);
    }
    const CommandOptions& o = parsed.m_options;
    switch (o.m_mode) {
    case RunMode::Help:
        out << UsageText();
        return kExitOk;
    case RunMode::Version:
        out << kVersionText << '\n';
        return kExitOk;
    case RunMode::List:
        return ListRun(o, out, err);
    case RunMode::ExportText:
        return ExportRun(o, out, err, progressOnErr);
    case RunMode::Report:
    case RunMode::Picture:
    case RunMode::Thumbnail:
        return DrawRun(o, err);
    case RunMode::Events:
        return EventsRun(o, out, err);
    case RunMode::Window:
        break;
    }
    return UsageError("no option given", err);
}
