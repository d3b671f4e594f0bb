// The waveform library panel: the .tdr files of one folder with their
// parameters, the memory-channel commands M1..M3 that load the selected file into
// the document, the preview strip of the selected file, and the text export;
// its second page holds the site grids (CSiteGridPage), its third the events
// found on the channels (CEventsPage).
#pragma once

#include "base/FormView.h"
#include "base/PanelToolBar.h"
#include "controls/ReportCtrl.h"
#include "display/ScreenWnd.h"
#include "model/WaveformRecord.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CEventsPage;
class CSiteGridPage;
class QTabBar;
class QToolBar;

class CFormMemory : public CFormView
{
    Q_OBJECT
public:
    static constexpr int kListId = 157;
    static constexpr int kPreviewId = 160;
    static constexpr int kPreviewHeight = 250;
    static constexpr int kTabHeight = 23;
    static constexpr const char* kErrorText =
        QT_TR_NOOP("Chosen waveform it isn't found.\nopen the new folder with waveforms.");

    explicit CFormMemory(CZR815KDoc& doc, QWidget* parent = nullptr);
    // Writes OPEN.
    ~CFormMemory() override;

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;
    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStateOf(int id) const override;

    // Refills the list from the folder.
    void ListWaveforms();
    // Lists the folder of a .tdr file, selects it and loads it into M1.
    bool OpenWaveformFile(const std::string& path);
    // Shows the "Site grids" page with the folder of a .pie file listed and the
    // grid selected; one that cannot be listed is reported and selects nothing.
    bool OpenSiteGridFile(const std::string& path);

    bool IsPreviewOn() const { return m_bPreview; }
    const std::string& GetWaveFolder() const { return m_strWaveFolder; }
    CReportCtrl& GetList() { return m_listWaves; }
    CScreenWnd& GetPreview() { return m_preview; }
    const WaveformRecord& GetPreviewRecord() const { return m_previewRecord; }
    QToolBar* GetToolBar() const { return m_pToolWaves->Bar(); }
    QAction* ToolAction(int id) const;
    void SelectRow(int row);

    // Dialogs, replaceable in tests: the file chosen to name a folder (empty
    // when cancelled), and the error box.
    void SetFolderChooser(std::function<QString(const QString& folder)> choose) { m_fnChooseFile = std::move(choose); }
    void SetErrorBox(std::function<void(const QString& text)> show) { m_fnErrorBox = std::move(show); }

    // Shows page 0 (waveforms), page 1 (site grids) or page 2 (events).
    void SwitchPage(int page);
    int GetPage() const { return m_nPage; }
    CSiteGridPage& GetSiteGridPage() { return *m_pSiteGrid; }
    CEventsPage& GetEventsPage() { return *m_pEvents; }
    QTabBar* GetTabBar() const { return m_pTabPages; }

signals:
    // The preview strip was switched on or off: the pane wants another height.
    void previewToggled();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateList();
    void CreatePreview();
    void CreateToolBar();
    void Layout(bool firstLayoutWidths);
    void ChooseFolder();
    void ToggleChannel(int channel);
    bool LoadSelectedWaveform(WaveformRecord& record);
    void LoadPreview(int row);
    void ExportText();
    void RefreshToolStates();
    int FirstSelectedRow() const;
    // The listed file name of a row less its extension, bytes as the folder holds them.
    std::string RowWaveformName(int row) const;

    // The memory channels (0..2) holding the file of a listed row.
    std::vector<std::size_t> ChannelsHolding(int row) const;

    CReportCtrl m_listWaves;
    CScreenWnd m_preview;
    std::unique_ptr<CPanelToolBar> m_pToolWaves;
    CSiteGridPage* m_pSiteGrid = nullptr; // a child object of the panel
    CEventsPage* m_pEvents = nullptr;     // a child object of the panel
    QTabBar* m_pTabPages = nullptr;
    std::string m_strWaveFolder;
    std::vector<std::string> m_rowFiles; // per row: the file name as the folder gave it
    int m_nPage = 0;
    bool m_bLaidOut = false;
    bool m_bPreview = false;
    WaveformRecord m_previewRecord;
    std::function<QString(const QString&)> m_fnChooseFile;
    std::function<void(const QString&)> m_fnErrorBox;
};
