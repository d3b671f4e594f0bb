#include "library/SiteGridPage.h"

#include "base/CoreText.h"
#include "controls/EditText.h"
#include "controls/HSpin.h"
#include "controls/core/CursorStrip.h"
#include "controls/core/ParamsPanel.h"
#include "library/core/FileNameText.h"
#include "library/core/SiteGridFile.h"
#include "library/core/SiteGridLayout.h"
#include "library/core/SiteGridListing.h"
#include "library/core/TdrFolder.h"
#include "model/CommandIds.h"
#include "model/Format.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/ZR815KDoc.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QToolBar>
#include <cmath>

namespace {

const char* const kGridFileHeadings[6] = {" ",
                                          QT_TRANSLATE_NOOP("CSiteGridPage", "Название файла"),
                                          QT_TRANSLATE_NOOP("CSiteGridPage", "Кол-во"),
                                          QT_TRANSLATE_NOOP("CSiteGridPage", "Масштаб"),
                                          QT_TRANSLATE_NOOP("CSiteGridPage", "Дата"),
                                          QT_TRANSLATE_NOOP("CSiteGridPage", "Время")};
const char* const kSectionHeadings[5] = {
    QT_TRANSLATE_NOOP("CSiteGridPage", "№"), QT_TRANSLATE_NOOP("CSiteGridPage", "Название участка"),
    QT_TRANSLATE_NOOP("CSiteGridPage", "Начало участка"), QT_TRANSLATE_NOOP("CSiteGridPage", "Конец участка"),
    QT_TRANSLATE_NOOP("CSiteGridPage", "Длинна участка")};
const QColor kAppliedCell(255, 0, 0);

int ScreenWidth(const QWidget& widget)
{
    const QScreen* screen = QApplication::primaryScreen();
    return screen ? screen->size().width() : widget.width();
}

// Something is at the path, a link included, or what is there cannot be told.
bool PathIsTaken(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// The save dialog of a new grid. The name is completed with ".pie" when the
// dialog accepts it, and the question whether to replace an existing file is
// asked about the completed name: the dialog's own question would see the name
// as typed, so it is off, and so is the platform's dialog, which would ask
// before the name could be completed.
class CGridSaveDialog : public QFileDialog
{
public:
  CGridSaveDialog(QWidget* parent, const QString& folder)
      : QFileDialog(parent, CSiteGridPage::tr(CSiteGridPage::kCreateTitle), folder,
                    CSiteGridPage::tr(CSiteGridPage::kCreateFilter))
  {
      setAcceptMode(AcceptSave);
      setFileMode(AnyFile);
      setOptions(DontUseNativeDialog | DontConfirmOverwrite);
    }
    // The completed path once accepted.
    const QString& ChosenPath() const { return m_strChosen; }

protected:
    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() != 1 || QFileInfo(files.first()).isDir()) {
            QFileDialog::accept(); // a folder typed or chosen is opened
            return;
        }
        const std::filesystem::path path = WithSiteGridExtension(files.first().toStdString());
        if (PathIsTaken(path) &&
            QMessageBox::question(this, windowTitle(),
                                  CSiteGridPage::tr("%1 already exists.\nReplace it?")
                                      .arg(QString::fromStdString(path.filename().string())),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            return; // the dialog stays open for another name
        }
        m_strChosen = QString::fromStdString(path.string());
        QFileDialog::accept();
    }

private:
    QString m_strChosen;
};

} // namespace

CSiteGridPage::CSiteGridPage(QWidget& panel, CDocView& view, CZR815KDoc& doc)
    : QObject(&panel), m_panel(panel), m_view(view), m_doc(doc), m_listGridFiles(&panel, kGridFilesId),
      m_listSections(&panel, kSectionsId)
{
    const ProfileText ini = PrivateProfile(doc.SettingsPath()).Load();
    m_strGridFolder = FolderWithSlash(ini.GetPath(kSettingsSection, "OPEN_PIECE", ProgramFolder() + "Save/"));
    m_strGridCreated = ini.GetPath(kSettingsSection, "SAVE_PIECE", "");

    m_listGridFiles.setAccessibleName(tr("Site grid files"));
    m_listSections.setAccessibleName(tr("Sections"));
    for (const char* heading : kGridFileHeadings) {
        m_listGridFiles.InsertColumn(tr(heading), CReportCtrl::LVCFMT_CENTER);
    }
    for (const char* heading : kSectionHeadings) {
        m_listSections.InsertColumn(tr(heading), CReportCtrl::LVCFMT_CENTER);
    }
    m_listSections.InsertColumn(CoreText(SectionFactorHeading(doc.m_bShowHalfVelocity)),
                                CReportCtrl::LVCFMT_CENTER);
    m_listGridFiles.setSelectionMode(QAbstractItemView::SingleSelection);
    m_listSections.setSelectionMode(QAbstractItemView::SingleSelection);
    // The applied grid's first cell is red.
    m_listGridFiles.SetCellColors([this](int row, int column) {
        CReportCtrl::CellColors colours;
        if (column == 0 && m_doc.m_bGridApplied && RowGridName(row) == m_doc.m_strGridApplied) {
            colours.crBack = kAppliedCell;
        }
        return colours;
    });
    m_listSections.SetCellToolTips([this](int row, int) {
        const bool defaulted = row < static_cast<int>(m_factorDefaulted.size()) && m_factorDefaulted[row];
        return defaulted ? tr("This section's velocity factor is not a positive number: PR 1.500 is used.")
                         : QString();
    });
    connect(m_listGridFiles.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CSiteGridPage::SelectGridFile);
    connect(m_listSections.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        RefreshToolStates();
        emit statesChanged();
    });
    connect(&m_listSections, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { StartEdit(index.row(), index.column()); });

    const auto run = [this](int id) { OnCommand(id); };
    m_pToolGrids = std::make_unique<CPanelToolBar>(
        &panel, std::vector<int>{ID_OPEN_GRID_FOLDER, 0, ID_APPLY_SITE_GRID, 0, ID_CREATE_GRID},
        tr("Site grid tools"), run);
    m_pToolSections = std::make_unique<CPanelToolBar>(
        &panel, std::vector<int>{ID_ADD_SECTION, ID_COMMIT_SECTION, ID_DELETE_SECTION}, tr("Section tools"),
        run);

    m_fnChooseFolder = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(&m_panel, tr(kFolderTitle), folder, tr(kFolderFilter));
    };
    m_fnChooseCreate = [this](const QString& folder) {
        CGridSaveDialog dialog(&m_panel, folder);
        return dialog.exec() == QDialog::Accepted ? dialog.ChosenPath() : QString();
    };
    m_fnErrorBox = [this](const QString& text) { QMessageBox::warning(&m_panel, tr(kCreateTitle), text); };
    ListGridFiles();
    Show(false);
    RefreshToolStates();
}

CSiteGridPage::~CSiteGridPage()
{
    m_doc.SaveSettings([folder = m_strGridFolder, created = m_strGridCreated](ProfileText& ini) {
        ini.SetPath(kSettingsSection, "OPEN_PIECE", folder);
        ini.SetPath(kSettingsSection, "SAVE_PIECE", created);
    });
}

std::filesystem::path CSiteGridPage::GridFile(const std::string& name) const
{
    // The listed file of that name, whatever the case of its extension.
    for (const std::filesystem::path& path : m_gridPaths) {
        const std::string file = path.filename().string();
        if (file.size() >= 4 && file.substr(0, file.size() - 4) == name) {
            return path;
        }
    }
    return std::filesystem::path(m_strGridFolder + name + ".pie");
}

std::string CSiteGridPage::RowGridName(int row) const
{
    // The cell shows the name readable; the file is found by the bytes listed.
    return row >= 0 && static_cast<std::size_t>(row) < m_gridPaths.size()
               ? WaveformNameOf(m_gridPaths[static_cast<std::size_t>(row)].filename().string())
               : std::string();
}

QAction* CSiteGridPage::ToolAction(int id) const
{
    QAction* action = m_pToolGrids->Action(id);
    return action != nullptr ? action : m_pToolSections->Action(id);
}

// --- lists ------------------------------------------------------------------------------

bool CSiteGridPage::ListGridFiles()
{
    m_bFilling = true;
    m_listGridFiles.DeleteAllRows();
    m_gridPaths.clear();
    int selectedRow = -1;
    for (const SiteGridListing& row : ListSiteGridFolder(m_strGridFolder)) {
        for (int column = 0; column < kGridListColumns; ++column) {
            m_listGridFiles.AddItem(0, column, QString::fromStdString(row.m_cells[column]));
        }
        if (WaveformNameOf(row.m_strFileName) == m_strGridSelected) {
            selectedRow = static_cast<int>(m_gridPaths.size());
        }
        m_gridPaths.push_back(row.m_path);
    }
    m_listGridFiles.UpdateItemCount();
    // The grid the sections come from stays selected across a refill.
    if (selectedRow >= 0) {
        m_listGridFiles.selectRow(selectedRow);
    }
    m_bFilling = false;
    return !m_gridPaths.empty();
}

void CSiteGridPage::ListSections()
{
    m_listSections.DeleteAllRows();
    m_factorDefaulted.clear();
    if (!m_strGridSelected.empty()) {
        for (const SiteGridRow& row : ReadSiteGridRows(GridFile(m_strGridSelected), m_doc.m_bShowHalfVelocity)) {
            for (int column = 0; column < kSiteGridColumns; ++column) {
                m_listSections.AddItem(0, column, QString::fromStdString(row.m_cells[column]));
            }
            m_factorDefaulted.push_back(row.m_bFactorDefaulted);
        }
    }
    m_listSections.UpdateItemCount();
}

void CSiteGridPage::ReloadGridSections()
{
    m_doc.m_gridSections.clear();
    m_doc.m_gridNames.clear();
    if (m_doc.m_strGridApplied.empty()) {
        return;
    }
    const std::filesystem::path file = GridFile(m_doc.m_strGridApplied);
    m_doc.m_gridSections = ReadSiteGridSections(file);
    for (const SiteGridRow& row : ReadSiteGridRows(file, false)) {
        m_doc.m_gridNames.push_back(row.m_cells[1]);
    }
}

void CSiteGridPage::Repaint()
{
    m_listGridFiles.viewport()->update();
    m_listSections.viewport()->update();
}

void CSiteGridPage::SelectGridFile()
{
    if (m_bFilling) {
        return;
    }
    m_doc.m_bGridSelected = false;
    const QList<int> rows = m_listGridFiles.GetSelectedRows();
    if (!rows.isEmpty()) {
        m_strGridSelected = RowGridName(rows.first());
        std::error_code ec;
        if (!std::filesystem::exists(GridFile(m_strGridSelected), ec)) {
            RefreshToolStates();
            emit statesChanged();
            return;
        }
        ListSections();
        m_doc.m_bGridSelected = true;
    }
    Repaint();
    m_doc.UpdateAllViews(&m_view, HINT_REDRAW);
    RefreshToolStates();
    emit statesChanged();
}

// --- commands -------------------------------------------------------------------------------

bool CSiteGridPage::HasEditor() const { return m_pEditName || m_pSpinFactor || m_pSpinEnd; }

std::optional<CommandState> CSiteGridPage::CommandStateOf(int id) const
{
    switch (id) {
    case ID_OPEN_GRID_FOLDER:
    case ID_CREATE_GRID:
        return CommandState{true, false};
    case ID_APPLY_SITE_GRID:
        return DocCommandState(m_doc, id);
    case ID_ADD_SECTION:
        return CommandState{!m_listGridFiles.GetSelectedRows().isEmpty(), false};
    case ID_COMMIT_SECTION:
        return CommandState{HasEditor(), false};
    case ID_DELETE_SECTION:
        return CommandState{!m_listSections.GetSelectedRows().isEmpty(), false};
    default:
        return std::nullopt;
    }
}

void CSiteGridPage::RefreshToolStates()
{
    const auto state = [this](int id) { return CommandStateOf(id); };
    m_pToolGrids->Refresh(state);
    m_pToolSections->Refresh(state);
}

bool CSiteGridPage::OnCommand(int id)
{
    switch (id) {
    case ID_OPEN_GRID_FOLDER:
        ChooseFolder();
        break;
    case ID_CREATE_GRID:
        CreateGrid();
        break;
    case ID_APPLY_SITE_GRID:
        ApplyGrid();
        break;
    case ID_ADD_SECTION:
        AddSection();
        break;
    case ID_COMMIT_SECTION:
        CommitSectionEdit();
        break;
    case ID_DELETE_SECTION:
        DeleteSection();
        break;
    default:
        return false;
    }
    RefreshToolStates();
    emit statesChanged();
    return true;
}

void CSiteGridPage::ChooseFolder()
{
    const QString chosen = m_fnChooseFolder(QString::fromStdString(m_strGridFolder));
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = chosen.toStdString();
    m_strGridFolder = path.substr(0, path.rfind('/') + 1);
    if (ListGridFiles()) {
        ListSections();
    }
    Repaint();
}

bool CSiteGridPage::OpenGridFile(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    m_strGridFolder = FolderWithSlash((ec ? file : absolute).parent_path().string());
    ListGridFiles();
    bool found = false;
    for (std::size_t row = 0; row < m_gridPaths.size() && !found; ++row) {
        if (m_gridPaths[row].filename() == file.filename()) {
            m_listGridFiles.selectRow(static_cast<int>(row)); // lists its sections
            found = true;
        }
    }
    Repaint();
    return found;
}

void CSiteGridPage::CreateGrid()
{
    const QString chosen = m_fnChooseCreate(QString::fromStdString(m_strGridFolder));
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path typed(chosen.toStdString());
    const std::filesystem::path path = WithSiteGridExtension(typed);
    // Only the name the dialog returned was asked about: a grid under the
    // completed name is never replaced unasked.
    if (path != typed && PathIsTaken(path)) {
        m_fnErrorBox(tr("The site grid %1 already exists and was not replaced.")
                         .arg(QString::fromStdString(path.string())));
        return;
    }
    m_strGridCreated = path.string();
    if (!CreateSiteGridFile(path, m_doc.m_dScale)) {
        m_fnErrorBox(
            tr("The site grid %1 could not be written.").arg(QString::fromStdString(MessagePath(path))));
    }
    ListGridFiles();
    ListSections();
    Repaint();
}

void CSiteGridPage::ApplyGrid()
{
    if (m_doc.m_bGridApplied) {
        m_doc.m_bGridApplied = false;
        m_doc.m_strGridApplied.clear();
    } else {
        m_doc.m_bGridApplied = true;
        m_doc.m_strGridApplied = m_strGridSelected;
        ReloadGridSections();
    }
    Repaint();
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void CSiteGridPage::AddSection()
{
    m_doc.m_bGridSelected = true;
    m_doc.m_strGridApplied = m_strGridSelected;
    ReloadGridSections();
    AddSiteGridSection(GridFile(m_strGridSelected), m_doc.m_dFactor);
    ListGridFiles();
    ListSections();
    Repaint();
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void CSiteGridPage::DeleteSection()
{
    const QList<int> rows = m_listSections.GetSelectedRows();
    if (rows.isEmpty()) {
        return;
    }
    DeleteSiteGridSection(GridFile(m_strGridSelected), rows.first());
    ListGridFiles();
    ListSections();
    Repaint();
}

// --- in-place editing -------------------------------------------------------------------------

QRect CSiteGridPage::CellRect(int row, int column) const
{
    const QRect cell = m_listSections.visualRect(m_listSections.model()->index(row, column));
    return QRect(m_listSections.viewport()->mapTo(&m_panel, cell.topLeft()), cell.size());
}

void CSiteGridPage::StartEdit(int row, int column)
{
    if (HasEditor() || row < 0 || row >= m_listSections.GetItemCount()) {
        return;
    }
    m_nEditRow = row;
    m_nEditColumn = column;
    if (column != 1 && column != 3 && column != 5) {
        return; // number, start and length follow from the others
    }
    const QRect rect = CellRect(row, column);
    m_listGridFiles.setEnabled(false);
    m_listSections.setEnabled(false);
    if (column == 1) {
        m_pEditName = new CEditText(&m_panel, kNameEditId);
        m_pEditName->setGeometry(rect);
        m_pEditName->setAlignment(Qt::AlignCenter);
        m_pEditName->setFont(m_listSections.font());
        m_pEditName->setText(m_listSections.GetCellText(row, column));
        m_pEditName->setAccessibleName(tr("Section name"));
        m_pEditName->setVisible(m_bShown);
        m_pEditName->setFocus();
    } else {
        m_doc.m_bGridSelected = true;
        m_doc.m_strGridApplied = m_strGridSelected;
        ReloadGridSections();
        CHSpin* spin = new CHSpin(&m_panel, column == 3 ? kEndEditId : kFactorEditId);
        spin->MoveSpin(rect);
        spin->setFont(m_listSections.font());
        spin->SetSpinName(column == 3 ? tr("Section end") : tr("Section velocity factor"));
        spin->ShowSpin(m_bShown);
        spin->setFocus();
        if (column == 3) {
            m_pSpinEnd = spin;
            connect(spin, &CHSpin::changeNotified, this, &CSiteGridPage::OnEndChanged);
        } else {
            m_pSpinFactor = spin;
            connect(spin, &CHSpin::changeNotified, this, &CSiteGridPage::OnFactorChanged);
        }
        m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
    }
    RefreshToolStates();
    emit statesChanged();
}

void CSiteGridPage::SetSpinParams()
{
    if (m_pSpinEnd) {
        // The window as distances, C1 and one column at C1, as the C1 field shows them.
        const CursorField c1 = CursorReadoutOf(m_doc).c1;
        m_pSpinEnd->SetParams(c1.minimum, c1.maximum, c1.value, c1.step, 2, MetreUnit());
    }
    if (m_pSpinFactor) {
        // The document's factor in the presentation in force, as the velocity field shows it.
        const VelocityField f = VelocityFieldOf(m_doc);
        m_pSpinFactor->SetParams(f.minimum, f.maximum, f.value, f.step, f.precision, "");
    }
}

void CSiteGridPage::OnFactorChanged()
{
    const double v = m_pSpinFactor->GetValue();
    m_doc.m_dFactor = m_doc.m_bShowHalfVelocity ? 300 / (2 * v) : v;
    SetSiteGridSectionFactor(GridFile(m_strGridSelected), m_nEditRow, m_doc.m_dFactor);
    ReloadGridSections();
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void CSiteGridPage::OnEndChanged()
{
    const double v = m_pSpinEnd->GetValue();
    m_doc.m_dFactor = m_doc.FactorAt(m_doc.m_dCursor1);
    const double p = m_doc.DistanceToPosition(v);
    const double c = m_doc.ColumnWidth();
    m_doc.m_dCursor1 = c * std::floor(p / c + 0.5);
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void CSiteGridPage::CommitSectionEdit()
{
    if (!HasEditor()) {
        return;
    }
    QString text;
    for (QLineEdit* editor : std::initializer_list<QLineEdit*>{m_pEditName, m_pSpinFactor, m_pSpinEnd}) {
        if (editor != nullptr) {
            text = editor->text();
            editor->hide();
            editor->deleteLater(); // the editor's own handlers may still be on the stack
        }
    }
    if (m_pSpinFactor) {
        m_pSpinFactor->ShowSpin(false);
    }
    if (m_pSpinEnd) {
        m_pSpinEnd->ShowSpin(false);
    }
    m_pEditName = nullptr;
    m_pSpinFactor = nullptr;
    m_pSpinEnd = nullptr;
    m_listGridFiles.setEnabled(true);
    m_listSections.setEnabled(true);

    const std::filesystem::path file = GridFile(m_strGridSelected);
    const std::string t = text.toStdString();
    if (m_nEditColumn == 1) {
        SetSiteGridSectionName(file, m_nEditRow, t);
    } else if (m_nEditColumn == 3) {
        const std::string start = m_listSections.GetCellText(m_nEditRow, 2).toStdString();
        SetSiteGridSectionLength(file, m_nEditRow, SectionLengthFromEnd(m_doc, start, t));
    } else if (m_nEditColumn == 5) {
        const double x = ReadLeadingNumber(t);
        const double factor = m_doc.m_bShowHalfVelocity ? 300 / (2 * x) : x;
        // A text that is no positive number would store a factor of 0 or an endless one.
        if (std::isfinite(factor) && factor > 0) {
            SetSiteGridSectionFactor(file, m_nEditRow, factor);
        }
    } else {
        return;
    }
    ListGridFiles();
    ListSections();
    ReloadGridSections();
    Repaint();
    m_doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

bool CSiteGridPage::ForwardEnter()
{
    QWidget* target = nullptr;
    if (m_bShown && m_pSpinFactor) {
        target = m_pSpinFactor;
    } else if (m_pSpinEnd) {
        target = m_pSpinEnd;
    } else if (m_bShown && m_pEditName) {
        target = m_pEditName;
    }
    if (target == nullptr) {
        return false;
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return true;
}

// --- updates, layout, showing ----------------------------------------------------------------

const std::string& CSiteGridPage::GetGridApplied() const { return m_doc.m_strGridApplied; }

void CSiteGridPage::OnUpdate(int hint)
{
    if (hint == HINT_VELOCITY) {
        m_listSections.SetColumnHeading(5, CoreText(SectionFactorHeading(m_doc.m_bShowHalfVelocity)));
        ListSections();
    }
    SetSpinParams();
    Repaint();
    RefreshToolStates();
}

void CSiteGridPage::Layout(int width, int height)
{
    const int h = m_pToolGrids->Bar()->sizeHint().height();
    const int screen = ScreenWidth(m_panel);
    m_pToolGrids->Bar()->setGeometry(0, 0, screen, h);
    const SiteGridPlacement p = ComputeSiteGridLayout(width, height, h, m_listGridFiles.ScrollBarAllowance(),
                                                      m_listSections.ScrollBarAllowance());
    m_listGridFiles.setGeometry(p.gridFiles.x, p.gridFiles.y, p.gridFiles.width, p.gridFiles.height);
    m_listSections.setGeometry(p.sections.x, p.sections.y, p.sections.width, p.sections.height);
    for (int column = 0; column < 6; ++column) {
        m_listGridFiles.SetColumnWidth(column, p.gridFileColumns[column]);
        m_listSections.SetColumnWidth(column, p.sectionColumns[column]);
    }
    m_pToolSections->Bar()->setGeometry(p.sectionBarX, 0, screen, h);
    if (HasEditor()) {
        const QRect cell = CellRect(m_nEditRow, m_nEditColumn);
        if (m_pEditName) {
            m_pEditName->setGeometry(cell);
        }
        for (CHSpin* spin : {m_pSpinEnd, m_pSpinFactor}) {
            if (spin) {
                spin->MoveSpin(cell);
            }
        }
    }
}

void CSiteGridPage::Show(bool show)
{
    m_bShown = show;
    m_listGridFiles.setVisible(show);
    m_listSections.setVisible(show);
    m_pToolGrids->Bar()->setVisible(show);
    m_pToolSections->Bar()->setVisible(show);
    if (m_pEditName) {
        m_pEditName->setVisible(show);
    }
    for (CHSpin* spin : {m_pSpinEnd, m_pSpinFactor}) {
        if (spin) {
            spin->ShowSpin(show);
        }
    }
}
