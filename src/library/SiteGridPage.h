// The site-grid page of the waveform library panel: the .pie grid files of one
// folder on the left, the sections of the selected grid on the right, their
// two tool bars, and the in-place editors of a section's name, end and factor.
// Applying a grid makes the document's distance conversions go section by
// section. The panel owns the page, shows or hides it, and routes commands,
// updates, Enter and the edit-enter event to it.
#pragma once

#include "base/PanelToolBar.h"
#include "controls/ReportCtrl.h"
#include "model/DocCommands.h"

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDocView;
class CEditText;
class CHSpin;
class CZR815KDoc;
class QToolBar;
class QWidget;

class CSiteGridPage : public QObject
{
    Q_OBJECT
public:
    static constexpr int kGridFilesId = 173;
    static constexpr int kSectionsId = 174;
    static constexpr int kFactorEditId = 175;
    static constexpr int kEndEditId = 176;
    static constexpr int kNameEditId = 177;
    static constexpr const char* kFolderTitle = QT_TR_NOOP("Выбрать папку с участками");
    static constexpr const char* kFolderFilter = QT_TR_NOOP("Участки (*.pie)");
    static constexpr const char* kCreateTitle = QT_TR_NOOP("Введите имя сохраняемого файла");
    static constexpr const char* kCreateFilter = QT_TR_NOOP("Участок (*.pie)");

    // panel: the widget the lists, tool bars and editors live in; view: the
    // panel as the sender of its updates. Reads OPEN_PIECE and SAVE_PIECE.
    CSiteGridPage(QWidget& panel, CDocView& view, CZR815KDoc& doc);
    // Writes OPEN_PIECE and SAVE_PIECE.
    ~CSiteGridPage() override;

    // Shows or hides the page's lists, tool bars and editor.
    void Show(bool show);
    bool IsShown() const { return m_bShown; }
    void Layout(int width, int height);
    void OnUpdate(int hint);
    bool OnCommand(int id);
    std::optional<CommandState> CommandStateOf(int id) const;
    void RefreshToolStates();
    // An Enter key-down the panel got: forwarded to an open editor (true), or not.
    bool ForwardEnter();
    // The edit-enter event of an editor, and command 33017.
    void CommitSectionEdit();

    bool ListGridFiles();
    // Lists the folder of a grid file opened from outside and selects it;
    // false when the folder lists no grid of that name (nothing selected).
    bool OpenGridFile(const std::filesystem::path& file);
    void ListSections();
    void ReloadGridSections();

    // Dialogs, replaceable in tests: a file that names the grid folder, and the
    // path of a new grid file; empty when cancelled.
    void SetFolderChooser(std::function<QString(const QString& folder)> choose) { m_fnChooseFolder = std::move(choose); }
    void SetCreateChooser(std::function<QString(const QString& folder)> choose) { m_fnChooseCreate = std::move(choose); }
    // The message shown when a new grid file cannot be written.
    void SetErrorBox(std::function<void(const QString& text)> show) { m_fnErrorBox = std::move(show); }

    CReportCtrl& GetGridFiles() { return m_listGridFiles; }
    CReportCtrl& GetSections() { return m_listSections; }
    QToolBar* GetGridToolBar() const { return m_pToolGrids->Bar(); }
    QToolBar* GetSectionToolBar() const { return m_pToolSections->Bar(); }
    QAction* ToolAction(int id) const;
    CEditText* GetNameEditor() const { return m_pEditName; }
    CHSpin* GetFactorEditor() const { return m_pSpinFactor; }
    CHSpin* GetEndEditor() const { return m_pSpinEnd; }
    const std::string& GetGridFolder() const { return m_strGridFolder; }
    const std::string& GetGridSelected() const { return m_strGridSelected; }
    const std::string& GetGridApplied() const;
    const std::string& GetGridCreated() const { return m_strGridCreated; }
    // Starts an in-place edit of a section cell, as a double-click does.
    void StartEdit(int row, int column);

signals:
    // The page's command states may have changed.
    void statesChanged();

private:
    std::filesystem::path GridFile(const std::string& name) const;
    // The file name less its extension, in the folder's bytes, of a listed row.
    std::string RowGridName(int row) const;
    void SelectGridFile();
    void ChooseFolder();
    void CreateGrid();
    void ApplyGrid();
    void AddSection();
    void DeleteSection();
    void OnFactorChanged();
    void OnEndChanged();
    void SetSpinParams();
    QRect CellRect(int row, int column) const;
    void Repaint();
    bool HasEditor() const;

    QWidget& m_panel;
    CDocView& m_view;
    CZR815KDoc& m_doc;
    std::string m_strGridFolder;
    std::string m_strGridSelected;
    std::string m_strGridCreated;
    CReportCtrl m_listGridFiles;
    CReportCtrl m_listSections;
    std::unique_ptr<CPanelToolBar> m_pToolGrids;
    std::unique_ptr<CPanelToolBar> m_pToolSections;
    CEditText* m_pEditName = nullptr;
    CHSpin* m_pSpinFactor = nullptr;
    CHSpin* m_pSpinEnd = nullptr;
    int m_nEditRow = -1;
    int m_nEditColumn = -1;
    bool m_bShown = false;
    bool m_bFilling = false; // the grid list is refilled: its selection signals are the page's own
    std::vector<std::filesystem::path> m_gridPaths; // the listed files, in row order, in the folder's bytes
    std::vector<bool> m_factorDefaulted;
    std::function<QString(const QString&)> m_fnChooseFolder;
    std::function<QString(const QString&)> m_fnChooseCreate;
    std::function<void(const QString&)> m_fnErrorBox;
};
