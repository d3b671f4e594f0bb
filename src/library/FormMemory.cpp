#include "library/FormMemory.h"

#include "base/CoreText.h"
#include "base/PanelToolBar.h"
#include "controls/ControlNotify.h"
#include "library/EventsPage.h"
#include "library/SiteGridPage.h"
#include "library/core/DroppedFiles.h"
#include "library/core/FileNameText.h"
#include "library/core/PreviewPicking.h"
#include "library/core/TdrFolder.h"
#include "library/core/TextExport.h"
#include "library/core/WaveformListing.h"
#include "model/CommandIds.h"
#include "model/CommandTable.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/SafeFile.h"
#include "model/ZR815KDoc.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <filesystem>

namespace {

const QColor kPreviewColour(0, 200, 255);
// Exports of more files than this show a progress dialog that can cancel them.
constexpr std::size_t kProgressThreshold = 20;

const int kChannelCommands[3] = {ID_LOAD_M1, ID_LOAD_M2, ID_LOAD_M3};
const std::vector<int> kToolBarIds = {ID_OPEN_WAVE_FOLDER, 0, ID_LOAD_M1, ID_LOAD_M2, ID_LOAD_M3, 0, ID_PREVIEW, ID_EXPORT_TEXT};

int ChannelOfCommand(int id)
{
    for (int k = 0; k < 3; ++k) {
        if (kChannelCommands[k] == id) {
            return k;
        }
    }
    return -1;
}

QString ErrorBoxText()
{
    return CFormMemory::tr(CFormMemory::kErrorText);
}

// Why a file named to be opened cannot be, naming it; empty when it is a waveform.
QString OpenFault(const std::filesystem::path& file)
{
    const QString name = QString::fromStdString(MessagePath(file));
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::status(file, ec))) {
        return CFormMemory::tr("The waveform file %1 does not exist.").arg(name);
    }
    const FileReadResult read = ReadWholeFile(file, kTdrFileSize + 1);
    const auto probe = std::make_unique<WaveformRecord>();
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(read.bytes.data()), read.bytes.size());
    if (!HasTdrExtension(file.filename().string()) || read.status != FileReadStatus::Read ||
        !DecodeWaveform(*probe, bytes)) {
        return CFormMemory::tr("%1 is not a waveform file (.tdr) or cannot be read.").arg(name);
    }
    return QString();
}

} // namespace

CFormMemory::CFormMemory(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent), m_listWaves(this, kListId), m_preview(this, kPreviewId)
{
    m_strWaveFolder =
        FolderWithSlash(PrivateProfile(doc.SettingsPath()).GetPath(kSettingsSection, "OPEN", ProgramFolder() + "Save/"));
    m_previewRecord.m_bOn = true;
    m_previewRecord.m_crColor = Colour{0, 200, 255};
    m_fnChooseFile = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, tr("Select waveforms"), folder, tr("Waveforms (*.tdr)"));
    };
    m_fnErrorBox = [this](const QString& text) { QMessageBox::critical(this, tr("Error"), text); };

    CreateList();
    CreatePreview();
    CreateToolBar();
    m_pTabPages = new QTabBar(this);
    m_pTabPages->setAccessibleName(tr("Library pages"));
    m_pTabPages->setShape(QTabBar::RoundedSouth);
    m_pTabPages->addTab(tr("Waveforms"));
    m_pTabPages->addTab(tr("Site grids"));
    m_pTabPages->addTab(tr("Events"));
    m_pSiteGrid = new CSiteGridPage(*this, *this, doc);
    m_pEvents = new CEventsPage(*this, doc);
    connect(m_pSiteGrid, &CSiteGridPage::statesChanged, this, &CFormView::commandStatesChanged);
    connect(m_pTabPages, &QTabBar::currentChanged, this, &CFormMemory::SwitchPage);
    RefreshToolStates();
}

CFormMemory::~CFormMemory()
{
    // The pages go first, while the panel around their widgets is whole.
    delete m_pEvents;
    m_pEvents = nullptr;
    delete m_pSiteGrid;
    m_pSiteGrid = nullptr;
    GetDocument().SaveSettings([folder = m_strWaveFolder](ProfileText& ini) {
        ini.SetPath(kSettingsSection, "OPEN", folder);
    });
}

void CFormMemory::CreateList()
{
    m_listWaves.setAccessibleName(tr("Waveforms"));
    for (const std::string& heading : WaveListHeadings(GetDocument().m_bShowHalfVelocity)) {
        m_listWaves.InsertColumn(CoreText(heading), CReportCtrl::LVCFMT_CENTER);
    }
    // The colour cell of a row whose file a channel holds: the first such channel's
    // colour; a screen reader hears the channels' names ("M1 M3") instead.
    m_listWaves.SetCellColors([this](int row, int column) {
        CReportCtrl::CellColors colours;
        const std::vector<std::size_t> holding = column == 0 ? ChannelsHolding(row) : std::vector<std::size_t>{};
        if (!holding.empty()) {
            const Colour& c = GetDocument().m_memory[holding.front()].m_crColor;
            colours.crBack = QColor(c.r, c.g, c.b);
        }
        return colours;
    });
    m_listWaves.SetCellAccessibleTexts([this](int row, int column) {
        QStringList names;
        for (const std::size_t k : column == 0 ? ChannelsHolding(row) : std::vector<std::size_t>{}) {
            names << QString("M%1").arg(k + 1);
        }
        return names.join(' ');
    });
    ListWaveforms();
    connect(m_listWaves.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.indexes().isEmpty()) {
                    LoadPreview(selected.indexes().first().row());
                }
                RefreshToolStates();
                emit commandStatesChanged();
            });
}

void CFormMemory::CreatePreview()
{
    m_preview.setAccessibleName(tr("Preview"));
    m_preview.SetStyle(CScreenWnd::StyleGrid | CScreenWnd::StyleYLabels | CScreenWnd::StyleXLabels);
    m_preview.SetYRange(-128, 127, 255);
    m_preview.SetXRange(0, 500, 500);
    m_preview.SetYLabels(-128, 127);
    m_preview.SetXLabels(0, 62.5);
    const struct
    {
        const char* name;
        int count;
    } lines[] = {{"1", 2}, {"2", 2}, {"", 500}, {"\u041C1", 2}, {"\u041C2", 2}};
    for (const auto& line : lines) {
        m_preview.AddLine(kPreviewColour, line.count, QString::fromUtf8(line.name));
    }
    for (int i = 0; i < 3; ++i) {
        m_preview.GetLine(i)->SetState(CArrPoints::StateVisible);
    }
    const int markers = GetDocument().m_bShowMarkers ? CArrPoints::StateVisible | CArrPoints::StateLabel : 0;
    m_preview.GetLine(3)->SetState(markers);
    m_preview.GetLine(4)->SetState(markers);
    m_preview.setVisible(false);
}

void CFormMemory::CreateToolBar()
{
    m_pToolWaves = std::make_unique<CPanelToolBar>(this, kToolBarIds, tr("Waveform library tools"),
                                                   [this](int id) { OnCommand(id); });
}

std::vector<std::size_t> CFormMemory::ChannelsHolding(int row) const
{
    std::vector<std::size_t> channels;
    const std::string name = m_listWaves.GetCellText(row, 1).toStdString();
    for (std::size_t k = 0; k < 3; ++k) {
        const WaveformRecord& channel = GetDocument().m_memory[k];
        if (channel.m_bOn && channel.m_strName == name) {
            channels.push_back(k);
        }
    }
    return channels;
}

QAction* CFormMemory::ToolAction(int id) const { return m_pToolWaves->Action(id); }

// --- listing and layout ------------------------------------------------------------------

void CFormMemory::ListWaveforms()
{
    const bool halfVelocity = GetDocument().m_bShowHalfVelocity;
    m_listWaves.DeleteAllRows();
    m_rowFiles.clear();
    for (const WaveformListing& row : ListWaveformFolder(m_strWaveFolder)) {
        m_rowFiles.push_back(row.m_strFileName);
        const auto cells = WaveListCells(row, halfVelocity);
        for (int column = 0; column < kWaveListColumns; ++column) {
            m_listWaves.AddItem(0, column, QString::fromStdString(cells[column]));
        }
    }
    m_listWaves.UpdateItemCount();
}

void CFormMemory::Layout(bool firstLayoutWidths)
{
    const int cx = width();
    const int cy = height();
    const int h = m_pToolWaves->Bar()->sizeHint().height();
    const QScreen* screen = QApplication::primaryScreen();
    m_pToolWaves->Bar()->setGeometry(0, 0, screen ? screen->size().width() : cx, h);
    m_pTabPages->setGeometry(0, cy - kTabHeight, cx, kTabHeight);
    if (m_bPreview) {
        m_preview.setGeometry(0, h, cx, kPreviewHeight);
        m_listWaves.setGeometry(0, h + kPreviewHeight, cx, cy - h - kPreviewHeight - kTabHeight);
    } else {
        m_preview.setGeometry(QRect());
        m_listWaves.setGeometry(0, h, cx, cy - h - kTabHeight);
    }
    m_preview.setVisible(m_bPreview && m_nPage == 0);
    m_pSiteGrid->Layout(cx, cy);
    m_pEvents->Layout(cx, cy - kTabHeight);

    // The name column gives way to the scroll bar when the rows overflow the list.
    const int scrollBar = m_listWaves.ScrollBarAllowance();
    const bool markers = GetDocument().m_bShowMarkers;
    const auto widths = firstLayoutWidths ? WaveListLayoutWidths(cx, scrollBar, markers)
                                          : WaveListResizeWidths(cx, scrollBar, markers);
    for (int column = 0; column < kWaveListColumns; ++column) {
        m_listWaves.SetColumnWidth(column, widths[column]);
    }
}

void CFormMemory::OnInitialUpdate()
{
    Layout(true);
    m_bLaidOut = true;
}

void CFormMemory::SwitchPage(int page)
{
    m_nPage = page == 1 || page == 2 ? page : 0;
    if (m_pTabPages->currentIndex() != m_nPage) {
        m_pTabPages->setCurrentIndex(m_nPage); // comes back here through the tab's signal
        return;
    }
    const bool waves = m_nPage == 0;
    m_listWaves.setVisible(waves);
    m_pToolWaves->Bar()->setVisible(waves);
    m_preview.setVisible(waves && m_bPreview);
    m_pSiteGrid->Show(m_nPage == 1);
    m_pEvents->Show(m_nPage == 2);
    if (m_bLaidOut) {
        Layout(false);
    }
    emit commandStatesChanged();
}

bool CFormMemory::event(QEvent* event)
{
    if (event->type() == kEditEnterEvent) {
        m_pSiteGrid->CommitSectionEdit();
        emit commandStatesChanged();
        return true;
    }
    return CFormView::event(event);
}

void CFormMemory::keyPressEvent(QKeyEvent* event)
{
    // Enter anywhere in the panel commits an open in-place editor.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_pSiteGrid->ForwardEnter()) {
        event->accept();
        return;
    }
    CFormView::keyPressEvent(event);
}

void CFormMemory::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    if (m_bLaidOut) {
        Layout(false);
    }
}

void CFormMemory::OnUpdate(CDocView*, int hint)
{
    m_pSiteGrid->OnUpdate(hint);
    const CZR815KDoc& doc = GetDocument();
    if (hint == HINT_VELOCITY) {
        m_listWaves.SetColumnHeading(4, CoreText(WaveListHeadings(doc.m_bShowHalfVelocity)[4]));
        ListWaveforms();
    } else if (hint == HINT_MARKERS && m_bLaidOut) {
        Layout(true);
    }
    m_preview.SetApproximation(doc.m_bApproximation);
    if (m_bPreview) {
        m_preview.update();
    }
    m_listWaves.viewport()->update();
    RefreshToolStates();
}

// --- commands ----------------------------------------------------------------------------

int CFormMemory::FirstSelectedRow() const
{
    const QList<int> rows = m_listWaves.GetSelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void CFormMemory::SelectRow(int row)
{
    m_listWaves.selectRow(row);
}

bool CFormMemory::OnCommand(int id)
{
    if (m_pSiteGrid->OnCommand(id)) {
        return true;
    }
    if (const int channel = ChannelOfCommand(id); channel >= 0) {
        ToggleChannel(channel);
    } else if (id == ID_OPEN_WAVE_FOLDER) {
        ChooseFolder();
    } else if (id == ID_PREVIEW) {
        m_bPreview = !m_bPreview;
        Layout(false);
        emit previewToggled();
    } else if (id == ID_EXPORT_TEXT) {
        ExportText();
    } else {
        return false;
    }
    RefreshToolStates();
    emit commandStatesChanged();
    return true;
}

std::optional<CommandState> CFormMemory::CommandStateOf(int id) const
{
    if (const auto state = m_pSiteGrid->CommandStateOf(id)) {
        return state;
    }
    const bool selected = FirstSelectedRow() >= 0;
    if (const int channel = ChannelOfCommand(id); channel >= 0) {
        return CommandState{selected, GetDocument().m_memory[channel].m_bOn};
    }
    switch (id) {
    case ID_OPEN_WAVE_FOLDER:
        return CommandState{true, false};
    case ID_PREVIEW:
        return CommandState{selected, m_bPreview};
    case ID_EXPORT_TEXT:
        return CommandState{selected, false};
    default:
        return std::nullopt;
    }
}

void CFormMemory::RefreshToolStates()
{
    m_pToolWaves->Refresh([this](int id) { return CommandStateOf(id); });
}

void CFormMemory::ChooseFolder()
{
    const QString chosen = m_fnChooseFile(QString::fromStdString(m_strWaveFolder));
    if (chosen.isEmpty()) {
        return;
    }
    CZR815KDoc& doc = GetDocument();
    for (WaveformRecord& channel : doc.m_memory) {
        channel.m_bOn = false;
    }
    const std::string path = chosen.toStdString();
    m_strWaveFolder = path.substr(0, path.rfind('/') + 1);
    ListWaveforms();
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
}

std::string CFormMemory::RowWaveformName(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_rowFiles.size()
               ? WaveformNameOf(m_rowFiles[static_cast<std::size_t>(row)])
               : std::string();
}

bool CFormMemory::LoadSelectedWaveform(WaveformRecord& record)
{
    const int row = FirstSelectedRow();
    if (row < 0) {
        return false;
    }
    return LoadListedWaveform(record, m_strWaveFolder, RowWaveformName(row));
}

void CFormMemory::ToggleChannel(int channel)
{
    WaveformRecord& record = GetDocument().m_memory[channel];
    if (record.ToggleOn() && !LoadSelectedWaveform(record)) {
        record.ToggleOn();
        m_fnErrorBox(ErrorBoxText());
    }
    m_listWaves.viewport()->update();
    GetDocument().UpdateAllViews(this, HINT_MEMORY);
}

void CFormMemory::LoadPreview(int row)
{
    const int64_t time = m_previewRecord.m_ftTime;
    if (!LoadListedWaveform(m_previewRecord, m_strWaveFolder, RowWaveformName(row))) {
        return; // the plot keeps what it showed
    }
    m_previewRecord.m_ftTime = time; // the preview takes no file time
    const PreviewPicture picture = PickPreview(m_previewRecord);
    m_previewRecord.m_displaySecond = picture.m_values;
    m_preview.SetXLabels(picture.m_dLabelLeft, picture.m_dLabelRight);
    CArrPoints* trace = m_preview.GetLine(2);
    for (int c = 0; c < 500; ++c) {
        trace->SetPoint(c, c, CScreenWnd::ClampValue(picture.m_values[c], 127, -128));
    }
    const bool markers = GetDocument().m_bShowMarkers;
    const int columns[2] = {picture.m_nMarkerColumn1, picture.m_nMarkerColumn2};
    for (int i = 0; i < 2; ++i) {
        CArrPoints* marker = m_preview.GetLine(3 + i);
        marker->SetState(markers ? CArrPoints::StateVisible | CArrPoints::StateLabel : CArrPoints::StateHidden);
        if (markers) {
            marker->SetPoint(0, columns[i], -128);
            marker->SetPoint(1, columns[i], 127);
        }
    }
    m_preview.update();
}

void CFormMemory::ExportText()
{
    const std::vector<TextExportJob> jobs = ListTextExportJobs(m_strWaveFolder);
    if (jobs.empty()) {
        return;
    }
    std::unique_ptr<QProgressDialog> progress;
    if (jobs.size() > kProgressThreshold) {
        progress = std::make_unique<QProgressDialog>(tr("Writing waveforms as text..."), tr("Cancel"), 0,
                                                     static_cast<int>(jobs.size()), this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    TextExportFolder exporter(m_strWaveFolder);
    QStringList failed;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (progress) {
            progress->setValue(static_cast<int>(i));
            if (progress->wasCanceled()) {
                break;
            }
        }
        if (!exporter.Export(jobs[i])) {
            failed << QString::fromStdString(MessagePath(jobs[i].m_strSource));
        }
    }
    if (progress) {
        progress->setValue(static_cast<int>(jobs.size()));
    }
    if (!failed.isEmpty()) {
        m_fnErrorBox(tr("These waveforms could not be written as text:") + "\n" + failed.join("\n"));
    }
}

bool CFormMemory::OpenSiteGridFile(const std::string& path)
{
    SwitchPage(1);
    if (!m_pSiteGrid->OpenGridFile(path)) {
        m_fnErrorBox(tr("%1 is not a site grid file (.pie) or cannot be read.")
                         .arg(QString::fromStdString(MessagePath(path))));
        return false;
    }
    return true;
}

bool CFormMemory::OpenWaveformFile(const std::string& path)
{
    const std::filesystem::path file(path);
    const std::string fileName = file.filename().string();
    // A file that cannot be opened changes nothing, least of all the folder
    // the panel lists and remembers.
    if (const QString fault = OpenFault(file); !fault.isEmpty()) {
        m_fnErrorBox(fault);
        return false;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    m_strWaveFolder = FolderWithSlash((ec ? file : absolute).parent_path().string());
    ListWaveforms();
    const std::string name = WaveformNameOf(fileName);
    const bool wasEmpty = !AnyChannelOn(GetDocument());
    for (int row = 0; row < m_listWaves.GetRowCount(); ++row) {
        if (RowWaveformName(row) == name) {
            SelectRow(row);
            if (!GetDocument().m_memory[0].m_bOn) {
                OnCommand(ID_LOAD_M1);
            }
            if (wasEmpty) {
                ShowAtOwnScale(GetDocument()); // opened from outside: the whole recording shows
            }
            return GetDocument().m_memory[0].m_bOn;
        }
    }
    return false;
}
