#include "cablelib/FormKU.h"

#include "base/CoreText.h"
#include "cablelib/CalibrateKU.h"
#include "cablelib/TableKU.h"
#include "cablelib/core/CableLibrary.h"
#include "cablelib/core/CablePanel.h"
#include "library/core/FileNameText.h"
#include "model/CommandIds.h"
#include "model/Format.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/ZR815KDoc.h"

#include <QFileDialog>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QToolBar>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace {

const std::vector<int> kToolBarIds = {ID_KU_OPEN, 0, ID_KU_USE, 0, ID_KU_ADD, ID_KU_REMOVE, 0, ID_KU_CALIBRATE};

QString Filter(bool showHalfVelocity)
{
    return showHalfVelocity ? CFormKU::tr("Library V/2 (*.tku)") : CFormKU::tr("Library PR (*.tku)");
}

QString FromPath(const std::string& path) { return QString::fromStdString(path); }

// The library path before any library is chosen: the Save folder.
std::string DefaultLibraryFolder() { return ProgramFolder() + "Save/"; }

// Why a value cell cannot become the factor, as the end of a sentence naming it.
QString Refusal(CellCheck check, bool showHalfVelocity)
{
    return check == CellCheck::OutOfRange
               ? CFormKU::tr("is outside %1").arg(CoreText(CableRangeText(showHalfVelocity)))
               : CFormKU::tr("is not a positive number");
}

} // namespace

CFormKU::CFormKU(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent), m_listKU(this, kListId)
{
    m_strLibraryFile =
        PrivateProfile(doc.SettingsPath()).GetPath(kSettingsSection, "OPEN_KU", DefaultLibraryFolder());

    m_dialogs.chooseOpen = [this](const QString& title, const QString& filter, const QString& start) {
        QFileDialog dialog(this, title, start, filter);
        dialog.setFileMode(QFileDialog::AnyFile); // a new name starts a new library
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    m_dialogs.chooseSave = [this](const QString& title, const QString& filter, const QString& folder) {
        QFileDialog dialog(this, title, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("tku");
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    m_dialogs.information = [this](const QString& text) {
        QMessageBox(QMessageBox::Information, " ", text, QMessageBox::Ok, this).exec();
    };
    m_dialogs.error = [this](const QString& text) {
        QMessageBox::warning(this, tr("Velocity factor library"), text);
    };
    m_dialogs.question = [this](const QString& text) {
        return QMessageBox(QMessageBox::Question, "", text, QMessageBox::Yes | QMessageBox::No, this).exec() ==
               QMessageBox::Yes;
    };
    m_dialogs.askEntry = [this](bool half) -> std::optional<CableEntryInput> {
        CTableKU dialog(half, this);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return CableEntryInput{dialog.GetName(), dialog.GetValue()};
    };
    m_dialogs.askCalibration = [this](double c1, double c2, double factor,
                                      bool half) -> std::optional<CalibrationInput> {
        CCalibrateKU dialog(c1, c2, factor, half, this);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return CalibrationInput{dialog.GetName(), dialog.Result().factor};
    };

    m_listKU.setGeometry(QRect());
    m_listKU.setAccessibleName(tr("Velocity factor library"));
    for (const std::string& heading : CableHeadings(doc.m_bShowHalfVelocity)) {
        m_listKU.InsertColumn(CoreText(heading), CReportCtrl::LVCFMT_CENTER);
    }
    connect(m_listKU.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        RefreshToolStates();
        emit commandStatesChanged();
    });
    m_pToolKU = std::make_unique<CPanelToolBar>(this, kToolBarIds, tr("Velocity factor library tools"),
                                                [this](int id) { OnCommand(id); });
    if (LoadLibrary() == CableReadStatus::Unreadable) {
        LeaveUnreadableLibrary();
    }
    RefreshToolStates();
}

CFormKU::~CFormKU()
{
    GetDocument().SaveSettings(
        [file = m_strUnreadSetting.empty() ? m_strLibraryFile : m_strUnreadSetting](ProfileText& ini) {
            ini.SetPath(kSettingsSection, "OPEN_KU", file);
        });
}

void CFormKU::OnInitialUpdate()
{
    m_bCreated = true;
    Layout();
}

void CFormKU::Layout()
{
    if (!m_bCreated) {
        return;
    }
    QToolBar* bar = m_pToolKU->Bar();
    const QSize hint = bar->sizeHint();
    bar->setGeometry(0, 0, hint.width() + 100, hint.height());
    m_listKU.setGeometry(0, hint.height(), width(), height() - hint.height());
    const auto widths = CableColumnWidths(width(), m_listKU.ScrollBarAllowance());
    m_listKU.SetColumnWidth(0, widths[0]);
    m_listKU.SetColumnWidth(1, widths[1]);
}

void CFormKU::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    Layout();
}

void CFormKU::OnUpdate(CDocView*, int hint)
{
    if (hint != HINT_VELOCITY) {
        return;
    }
    const auto headings = CableHeadings(GetDocument().m_bShowHalfVelocity);
    m_listKU.SetColumnHeading(0, CoreText(headings[0]));
    m_listKU.SetColumnHeading(1, CoreText(headings[1]));
    if (LoadLibrary() == CableReadStatus::Unreadable) {
        LeaveUnreadableLibrary();
    }
    update();
}

// --- the file ---------------------------------------------------------------------------

CableReadStatus CFormKU::LoadLibrary()
{
    // No library chosen yet (the first start names the Save folder), or none
    // there yet: the entries stay.
    CableReadResult read;
    if (!NamesFolder(m_strLibraryFile)) {
        read = ReadCableLibraryFile(m_strLibraryFile);
    }
    if (read.status == CableReadStatus::Unreadable) {
        m_dialogs.error(tr("The library file %1 cannot be read; the table stays as it was.")
                            .arg(QString::fromStdString(MessagePath(m_strLibraryFile))));
    } else if (read.status == CableReadStatus::Read) {
        m_entries = std::move(read.entries);
    }
    ShowEntries();
    return read.status;
}

void CFormKU::ShowEntries()
{
    const bool half = GetDocument().m_bShowHalfVelocity;
    m_listKU.DeleteAllRows();
    for (const CableEntry& entry : m_entries) {
        m_listKU.AddItem(0, 0, QString::fromStdString(entry.m_strName));
        m_listKU.AddItem(0, 1, QString::fromStdString(CableCellText(entry.m_strValue, half)));
    }
    m_listKU.UpdateItemCount();
    Layout();
    m_listKU.viewport()->update();
}

// The library at m_strLibraryFile could not be read, so no save may replace it
// (it may hold more than the table, or be the user's and not the program's to
// write): the panel goes on without a library file, the next save asks for one,
// and OPEN_KU keeps naming the unread file for the next start.
void CFormKU::LeaveUnreadableLibrary()
{
    if (m_strUnreadSetting.empty()) {
        m_strUnreadSetting = m_strLibraryFile;
    }
    m_strLibraryFile = DefaultLibraryFolder();
}

bool CFormKU::SaveLibrary()
{
    std::filesystem::path target(m_strLibraryFile);
    const bool half = GetDocument().m_bShowHalfVelocity;
    if (NamesFolder(target)) {
        // No library file yet (the first start names the Save folder): ask where.
        const QString chosen = m_dialogs.chooseSave(tr("To save library of velocity factor"), Filter(half),
                                                    FromPath(m_strLibraryFile));
        if (chosen.isEmpty()) {
            return false;
        }
        target = WithLibraryExtension(std::filesystem::path(chosen.toStdString()));
        m_strLibraryFile = target.string();
        m_strUnreadSetting.clear();
    }
    if (!WriteCableLibrary(target, m_entries)) {
        m_dialogs.error(tr("The library could not be saved to %1; the table keeps the change.")
                            .arg(QString::fromStdString(MessagePath(target))));
        return false;
    }
    return true;
}

// --- commands -------------------------------------------------------------------------------

bool CFormKU::HasSelection() const { return !m_listKU.GetSelectedRows().isEmpty(); }

bool CFormKU::OnCommand(int id)
{
    switch (id) {
    case ID_KU_OPEN:
        OpenLibrary();
        break;
    case ID_KU_USE:
        UseSelectedValue();
        break;
    case ID_KU_ADD:
        AddValue();
        break;
    case ID_KU_REMOVE:
        RemoveSelectedValues();
        break;
    case ID_KU_CALIBRATE:
        Calibrate();
        break;
    default:
        return false;
    }
    RefreshToolStates();
    emit commandStatesChanged();
    return true;
}

std::optional<CommandState> CFormKU::CommandStateOf(int id) const
{
    switch (id) {
    case ID_KU_OPEN:
    case ID_KU_ADD:
    case ID_KU_CALIBRATE:
        return CommandState{true, false};
    case ID_KU_USE:
    case ID_KU_REMOVE:
        return CommandState{HasSelection(), false};
    default:
        return std::nullopt;
    }
}

void CFormKU::RefreshToolStates()
{
    m_pToolKU->Refresh([this](int id) { return CommandStateOf(id); });
}

void CFormKU::OpenLibraryFile(const std::string& path)
{
    // Kept as a whole path: OPEN_KU must find it again from any working folder.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::string previous = std::exchange(m_strLibraryFile, ec ? path : absolute.string());
    if (LoadLibrary() == CableReadStatus::Unreadable) {
        // The library stays the previous one, rows and file alike: a later
        // save must not replace the file that could not be read.
        m_strLibraryFile = std::move(previous);
        return;
    }
    m_strUnreadSetting.clear();
}

void CFormKU::OpenLibrary()
{
    const QString chosen = m_dialogs.chooseOpen(tr(kOpenTitle), Filter(GetDocument().m_bShowHalfVelocity),
                                                FromPath(m_strLibraryFile));
    if (!chosen.isEmpty()) {
        OpenLibraryFile(chosen.toStdString());
    }
}

void CFormKU::UseSelectedValue()
{
    const QList<int> rows = m_listKU.GetSelectedRows();
    if (rows.isEmpty()) {
        m_dialogs.information(tr(kNoSelectionText));
        return;
    }
    CZR815KDoc& doc = GetDocument();
    const QString cell = m_listKU.GetCellText(rows.first(), 1);
    const CellFactor value = CheckFactorCell(cell.toStdString(), doc.m_bShowHalfVelocity);
    if (value.check != CellCheck::Ok) {
        m_dialogs.error(tr("The value \"%1\" of \"%2\" %3; the velocity factor stays as it is.")
                            .arg(cell, m_listKU.GetCellText(rows.first(), 0),
                                 Refusal(value.check, doc.m_bShowHalfVelocity)));
        return;
    }
    doc.m_dFactor = value.factor;
    doc.UpdateAllViews(this, HINT_REDRAW);
}

// A new row: its cell as the user saw it, its stored line as the file gets it.
void CFormKU::AppendRow(const QString& name, const QString& cell, std::string storedValue)
{
    m_entries.push_back({name.toStdString(), std::move(storedValue)});
    m_listKU.AddItem(0, 0, name);
    m_listKU.AddItem(0, 1, cell);
    m_listKU.UpdateItemCount();
    Layout();
    m_listKU.viewport()->update();
}

void CFormKU::AddValue()
{
    const bool half = GetDocument().m_bShowHalfVelocity;
    const auto input = m_dialogs.askEntry(half);
    if (!input) {
        return;
    }
    // A PR is stored as typed; a V/2 as the PR it stands for, "%.3f".
    AppendRow(input->name, input->value, CableStoredText(input->value.toStdString(), half));
    SaveLibrary();
}

void CFormKU::RemoveSelectedValues()
{
    if (!HasSelection()) {
        m_dialogs.information(tr(kNoSelectionText));
        return;
    }
    if (!m_dialogs.question(tr(kRemoveQuestion))) {
        return;
    }
    // One pass over the entries, and the table refilled once: deleting the rows
    // one by one moves every later row, the view's items and the selection each
    // time, which takes minutes for some thousands of rows.
    const QList<int> rows = m_listKU.GetSelectedRows(); // ascending
    std::vector<CableEntry> kept;
    kept.reserve(m_entries.size());
    auto selected = rows.cbegin();
    for (size_t row = 0; row < m_entries.size(); ++row) {
        if (selected != rows.cend() && static_cast<size_t>(*selected) == row) {
            ++selected;
        } else {
            kept.push_back(std::move(m_entries[row]));
        }
    }
    m_entries = std::move(kept);
    m_listKU.clearSelection();
    ShowEntries();
    SaveLibrary();
}

void CFormKU::Calibrate()
{
    CZR815KDoc& doc = GetDocument();
    if (doc.m_dCursor1 == doc.m_dCursor2) {
        m_dialogs.error(
            tr("C1 and C2 are at the same point. Place them at the two ends of a stretch of known "
               "length first."));
        return;
    }
    const auto input = m_dialogs.askCalibration(doc.m_dCursor1, doc.m_dCursor2, doc.m_dFactor, doc.m_bShowHalfVelocity);
    if (!input) {
        return;
    }
    doc.m_dFactor = input->factor;
    // Stored from the factor itself, not from its rounded V/2 cell.
    AppendRow(input->name, QString::fromStdString(CellOfFactor(input->factor, doc.m_bShowHalfVelocity)),
              FormatFixed(input->factor, 3));
    SaveLibrary();
    doc.UpdateAllViews(this, HINT_REDRAW);
}
