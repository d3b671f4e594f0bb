// The main window: menus, tool bars and status bar around six fixed panes, one
// form each, laid out by the pane rules. Every command has one QAction, shared by
// menu and tool bar; a command goes to the pane that owns it, else the document,
// else the frame, else the application. Action states are refreshed after every
// document update, when a menu opens and when a pane reports a change.
#pragma once

#include "shell/core/PaneLayout.h"

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CZR815KDoc;
class CFormView;
class CFormSet;
class CForm;
class CFormDraw;
class CFormParams;
class CFormKU;
class CFormMemory;
class QLabel;
class QToolBar;
class QMenu;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Ondalis 5.0";
    static constexpr int kMinWidth = 640;
    static constexpr int kMinHeight = 480;

    explicit CMainFrame(CZR815KDoc& doc, QWidget* parent = nullptr);
    // Writes TWOSCREEN before the panes go.
    ~CMainFrame() override;

    // Sends every pane its initial update.
    void InitialUpdate();

    // The frame's action of a command id (null when the frame shows none).
    QAction* Action(int id) const;
    // Carries out a command through the owner chain.
    void ExecuteCommand(int id);
    // Enabled and checked state of a command through the same chain.
    CommandState StateOf(int id) const;
    void RefreshCommandStates();

    // Commands the application answers (About).
    void SetApplicationCommands(std::function<bool(int)> handler) { m_fnAppCommand = std::move(handler); }

    const FrameFlags& Flags() const { return m_flags; }
    CFormDraw* GetDisplayForm() const { return m_pFormDraw; }
    CFormMemory* GetLibraryForm() const { return m_pFormMemory; }
    CFormSet* GetFormSet() const { return m_pFormSet; }
    CFormKU* GetCableForm() const { return m_pFormKU; }
    QToolBar* ScaleBar() const { return m_pScaleBar; }
    std::vector<QToolBar*> TopBars() const { return {m_pAnchorBar, m_pVelocityBar, m_pDisplayBar}; }
    QLabel* IdleLabel() const { return m_pReady; }
    // The language chosen under Settings > Language ("" the desktop's).
    const std::string& LanguageChoice() const { return m_strLanguage; }

    // Loads dropped waveform files into the free memory channels, in order;
    // what could not be loaded is told in one message. Paths are bytes as the
    // file system has them.
    void DropFiles(const std::vector<std::filesystem::path>& files);
    // The message box of dropped files, replaceable in tests.
    void SetDropMessageBox(std::function<void(const QString&)> show) { m_fnDropMessage = std::move(show); }
    // The message that a new language choice takes effect at the next start,
    // replaceable in tests.
    void SetNoticeBox(std::function<void(const QString&)> show) { m_fnNotice = std::move(show); }

    // Lays the panes out again (the library's preview changed its height).
    void OnPreviewChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreatePanes();
    void CreateActions();
    // The action of a command, made on first use from the command table.
    QAction* MakeAction(int id);
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    // A tool bar named by a source text: its title translated, its object name not.
    QToolBar* AddBar(const char* title, Qt::ToolBarArea area, QSize iconSize, const std::vector<int>& ids);
    // Settings > Language: the desktop's choice, English, Russian.
    void CreateLanguageMenu(QMenu* menu);
    void OnAreaResized();
    void LayoutPanes();
    bool RunFrameCommand(int id);
    void MoveFocus(int step);
    void OpenHelp() const;
    std::vector<CFormView*> Panes() const;

    CZR815KDoc& m_doc;
    FrameFlags m_flags;
    bool m_bPanesReady = false;

    QWidget* m_pArea = nullptr;
    CFormSet* m_pFormSet = nullptr;
    CForm* m_pForm = nullptr;
    CFormDraw* m_pFormDraw = nullptr;
    CFormParams* m_pFormParams = nullptr;
    CFormKU* m_pFormKU = nullptr;
    CFormMemory* m_pFormMemory = nullptr;

    QToolBar* m_pAnchorBar = nullptr;
    QToolBar* m_pVelocityBar = nullptr;
    QToolBar* m_pDisplayBar = nullptr;
    QToolBar* m_pScaleBar = nullptr;
    QLabel* m_pReady = nullptr;

    std::map<int, QAction*> m_actions;
    // The language choice as the settings file had it at the start, and as
    // chosen since ("", "en" or "ru"); written at exit when they differ.
    std::string m_strLanguageRead;
    std::string m_strLanguage;
    std::function<bool(int)> m_fnAppCommand;
    std::function<void(const QString&)> m_fnDropMessage;
    std::function<void(const QString&)> m_fnNotice;
    std::unique_ptr<class CViewHistory> m_pHistory;
    std::unique_ptr<class CFrameObserver> m_pObserver;
};
