// The velocity-factor library panel, below the parameters panel: named
// factors of cable types from a .tku file, shown as PR or V/2 by the
// presentation in force. Its tool bar opens a library, makes the selected
// value the measurement's factor, adds and removes entries (saving the file
// after each change), and calibrates a factor from a known length between
// the cursors.
//
// The panel keeps each row's entry as the file stores it (name and PR line)
// beside the table: the cells are made from those lines in the presentation
// in force, and saving writes the lines, so a row the user did not change keeps
// its text byte for byte whichever presentation is shown.
#pragma once

#include "base/FormView.h"
#include "base/PanelToolBar.h"
#include "cablelib/core/CableLibrary.h"
#include "controls/ReportCtrl.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QToolBar;

// A new entry as the user gave it: the name and the value cell's text.
struct CableEntryInput
{
    QString name;
    QString value;
};

// A calibrated factor to apply and add under a name.
struct CalibrationInput
{
    QString name;
    double factor = 0;
};

class CFormKU : public CFormView
{
    Q_OBJECT
public:
    static constexpr int kListId = 156;
    static constexpr const char* kNoSelectionText = QT_TR_NOOP("To choose values from library");
    static constexpr const char* kRemoveQuestion = QT_TR_NOOP("To remove from value library?");
    static constexpr const char* kOpenTitle = QT_TR_NOOP("To choose library of velocity factor");

    // The panel's dialogs, replaceable so that tests and scripted runs never block.
    struct Dialogs
    {
        // A library file to open (it need not exist yet); empty when cancelled.
        std::function<QString(const QString& title, const QString& filter, const QString& start)> chooseOpen;
        // Where to save a new library; empty when cancelled.
        std::function<QString(const QString& title, const QString& filter, const QString& folder)> chooseSave;
        std::function<void(const QString& text)> information;
        std::function<void(const QString& text)> error;
        std::function<bool(const QString& text)> question;
        std::function<std::optional<CableEntryInput>(bool showHalfVelocity)> askEntry;
        std::function<std::optional<CalibrationInput>(double c1, double c2, double factor, bool showHalfVelocity)>
            askCalibration;
    };

    // Reads OPEN_KU and loads that library. A library there that cannot be read
    // is not used: the panel starts without one (saving asks for a file), and
    // OPEN_KU keeps naming it until another library is opened or saved.
    explicit CFormKU(CZR815KDoc& doc, QWidget* parent = nullptr);
    // Writes OPEN_KU.
    ~CFormKU() override;

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;
    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStateOf(int id) const override;

    // Fills the table from the library file; a missing file leaves its entries as
    // they are, and an unreadable one too (after saying so). Either way the cells
    // follow the presentation in force. Returns what the reading found.
    CableReadStatus LoadLibrary();
    // Opens a library file named from outside (the command line, a file
    // manager) as the open command does: an unreadable one keeps the library.
    void OpenLibraryFile(const std::string& path);
    // Writes the entries to the library file; false (after saying so) when it
    // could not be written or the user gave no file for a new library.
    bool SaveLibrary();

    const std::string& GetLibraryFile() const { return m_strLibraryFile; }
    CReportCtrl& GetList() { return m_listKU; }
    QToolBar* GetToolBar() const { return m_pToolKU->Bar(); }
    QAction* ToolAction(int id) const { return m_pToolKU->Action(id); }
    Dialogs& GetDialogs() { return m_dialogs; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    void RefreshToolStates();
    void OpenLibrary();
    void UseSelectedValue();
    void AddValue();
    void RemoveSelectedValues();
    void Calibrate();
    void AppendRow(const QString& name, const QString& cell, std::string storedValue);
    void ShowEntries();
    void LeaveUnreadableLibrary();
    bool HasSelection() const;

    CReportCtrl m_listKU;
    std::unique_ptr<CPanelToolBar> m_pToolKU;
    std::string m_strLibraryFile;
    // The rows' entries as the file stores them, in table order.
    std::vector<CableEntry> m_entries;
    // OPEN_KU as read, while it names a library that could not be read and no
    // other library has been opened or saved since; written back at exit.
    std::string m_strUnreadSetting;
    bool m_bCreated = false;
    Dialogs m_dialogs;
};
