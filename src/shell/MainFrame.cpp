#include "shell/MainFrame.h"
#include "base/AccessibleBar.h"
#include "base/Artwork.h"
#include "base/CommandAction.h"
#include "base/CoreText.h"
#include "cablelib/FormKU.h"
#include "controls/FormParams.h"
#include "controls/FormSet.h"
#include "display/Form.h"
#include "display/FormDraw.h"
#include "library/FormMemory.h"
#include "library/core/DroppedFiles.h"
#include "model/CommandIds.h"
#include "model/CommandTable.h"
#include "model/Format.h"
#include "model/LanguageChoice.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/ViewHistory.h"
#include "model/ZR815KDoc.h"

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <chrono>

// Refreshes the frame's action states after every document update.
class CFrameObserver : public CDocView
{
public:
    explicit CFrameObserver(CMainFrame& frame)
        : m_frame(frame)
    {
    }
    void OnUpdate(CDocView*, int) override { m_frame.RefreshCommandStates(); }

private:
    CMainFrame& m_frame;
};

namespace {

constexpr int kSeparator = 0;

const std::vector<int> kAnchorBar = {ID_ANCHOR_CURSOR1, ID_ANCHOR_CURSOR2};
const std::vector<int> kVelocityBar = {ID_VELOCITY_PRESENTATION, ID_RETURN_LOSS};
const std::vector<int> kDisplayBar = {ID_APPROXIMATION, ID_DUAL_SCREEN, ID_CHANNEL_SETTINGS, ID_MEMORY_PANE,
                                      ID_LEGEND,        kSeparator,     ID_PRINT,            kSeparator,
                                      ID_APPLY_SITE_GRID};
const std::vector<int> kScaleBar = {ID_SCALE_62_5, ID_SCALE_125, ID_SCALE_250, ID_SCALE_500, ID_SCALE_1K,
                                    kSeparator,    ID_SCALE_2K,  ID_SCALE_4K,  ID_SCALE_8K,  ID_SCALE_16K,
                                    ID_SCALE_32K,  ID_SCALE_64K, ID_SCALE_128K};

QRect ToQRect(const PaneRect& r) { return QRect(r.x, r.y, r.width, r.height); }

} // namespace

CMainFrame::CMainFrame(CZR815KDoc& doc, QWidget* parent)
    : QMainWindow(parent), m_doc(doc)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(ApplicationIcon());
    setMinimumSize(kMinWidth, kMinHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_flags.m_bSmallScreen = IsSmallScreen(screen->size().width(), screen->size().height());
    }

    m_strLanguageRead =
        StoredLanguage(PrivateProfile(doc.SettingsPath()).GetString(kSettingsSection, kLanguageKey, ""));
    m_strLanguage = m_strLanguageRead;
    m_fnNotice = [this](const QString& text) { QMessageBox::information(this, tr("Language"), text); };
    CreatePanes();
    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();

    m_flags.m_bDualScreen = PrivateProfile(doc.SettingsPath()).GetInt(kSettingsSection, "TWOSCREEN", 0) != 0;
    setAcceptDrops(true);
    m_fnDropMessage = [this](const QString& text) { QMessageBox::warning(this, QString::fromLatin1(kCaption), text); };
    // The history hears each update after the panes, the frame's observer after both.
    m_pHistory = std::make_unique<CViewHistory>(m_doc, [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    });
    m_pObserver = std::make_unique<CFrameObserver>(*this);
    m_doc.AddView(m_pObserver.get());
    RefreshCommandStates();
}

CMainFrame::~CMainFrame()
{
    m_doc.RemoveView(m_pObserver.get());
    m_doc.SaveSettings([dual = m_flags.m_bDualScreen, language = m_strLanguage,
                        changed = m_strLanguage != m_strLanguageRead](ProfileText& ini) {
        ini.Set(kSettingsSection, "TWOSCREEN", dual ? "1" : "0");
        if (changed) {
            ini.Set(kSettingsSection, kLanguageKey, language);
        }
    });
    // The panes go next, while the frame is still whole; each writes its own keys.
    m_pArea->removeEventFilter(this);
    delete m_pArea;
}

void CMainFrame::CreatePanes()
{
    m_pArea = new QWidget(this);
    m_pFormSet = new CFormSet(m_doc, m_pArea);
    m_pFormMemory = new CFormMemory(m_doc, m_pArea);
    m_pFormParams = new CFormParams(m_doc, m_pArea);
    m_pFormKU = new CFormKU(m_doc, m_pArea);
    m_pForm = new CForm(m_doc, m_pArea);
    m_pFormDraw = new CFormDraw(m_doc, m_pArea);
    m_pFormDraw->SetCommandRouter([this](int id) { ExecuteCommand(id); });
    connect(m_pFormMemory, &CFormMemory::previewToggled, this, &CMainFrame::OnPreviewChanged);
    for (CFormView* pane : Panes()) {
        connect(pane, &CFormView::commandStatesChanged, this, &CMainFrame::RefreshCommandStates);
    }
    m_pArea->installEventFilter(this);
    setCentralWidget(m_pArea);
    m_bPanesReady = true;
}

std::vector<CFormView*> CMainFrame::Panes() const
{
    // The order F6 walks through them.
    return {m_pFormSet, m_pForm, m_pFormDraw, m_pFormParams, m_pFormKU, m_pFormMemory};
}

void CMainFrame::InitialUpdate()
{
    for (CFormView* pane : Panes()) {
        pane->OnInitialUpdate();
    }
    RefreshCommandStates();
}

void CMainFrame::CreateActions()
{
    MakeAction(ID_NEXT_PANE)->setShortcut(QKeySequence(Qt::Key_F6));
    MakeAction(ID_PREV_PANE)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    addAction(MakeAction(ID_NEXT_PANE));
    addAction(MakeAction(ID_PREV_PANE));
}

QAction* CMainFrame::MakeAction(int id)
{
    if (const auto it = m_actions.find(id); it != m_actions.end()) {
        return it->second;
    }
    const CommandInfo* info = FindCommand(id);
    if (info == nullptr) {
        return nullptr;
    }
    QAction* action = CreateCommandAction(*info, this);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateMenus()
{
    const auto fill = [this](QMenu* menu, const std::vector<int>& ids) {
        for (int id : ids) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(MakeAction(id));
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommandStates);
    };
    // Undo and redo of the view's changes: the one menu the program adds.
    fill(menuBar()->addMenu(tr("Edit")), {ID_EDIT_UNDO, ID_EDIT_REDO});
    MakeAction(ID_EDIT_UNDO)->setShortcut(QKeySequence::Undo);
    MakeAction(ID_EDIT_REDO)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QMenu* view = menuBar()->addMenu(tr("View"));
    fill(view, {ID_DUAL_SCREEN, ID_MEMORY_PANE, ID_CHANNEL_SETTINGS, ID_LEGEND, ID_APPROXIMATION});
    // The library panel's commands, reachable from the menu bar (and so from
    // the keyboard and a screen reader's menu) as well as from its tool bars.
    view->addSeparator();
    fill(view->addMenu(tr("Channels")), {ID_OPEN_WAVE_FOLDER, kSeparator, ID_LOAD_M1, ID_LOAD_M2, ID_LOAD_M3,
                                         ID_PREVIEW, kSeparator, ID_EXPORT_TEXT});
    QMenu* settings = menuBar()->addMenu(tr("Settings"));
    QMenu* scale = settings->addMenu(tr("Scale"));
    fill(scale, {ID_SCALE_62_5, ID_SCALE_125, ID_SCALE_250, ID_SCALE_500, ID_SCALE_1K, ID_SCALE_2K, ID_SCALE_4K,
                 ID_SCALE_8K, ID_SCALE_16K, ID_SCALE_32K, ID_SCALE_64K, ID_SCALE_128K});
    settings->addSeparator();
    fill(settings, {ID_ANCHOR_CURSOR1, ID_ANCHOR_CURSOR2, kSeparator, ID_VELOCITY_PRESENTATION, ID_RETURN_LOSS});
    fill(settings->addMenu(tr("Velocity factor library")),
         {ID_KU_OPEN, ID_KU_USE, ID_KU_ADD, ID_KU_REMOVE, ID_KU_CALIBRATE});
    fill(settings->addMenu(tr("Site grids")),
         {ID_OPEN_GRID_FOLDER, ID_CREATE_GRID, kSeparator, ID_ADD_SECTION, ID_COMMIT_SECTION,
          ID_DELETE_SECTION, kSeparator, ID_APPLY_SITE_GRID});
    settings->addSeparator();
    fill(settings, {ID_PRINT, ID_SAVE_PICTURE});
    settings->addSeparator();
    CreateLanguageMenu(settings->addMenu(tr("Language")));
    // The frequent ones get keys of their own.
    MakeAction(ID_LOAD_M1)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    MakeAction(ID_LOAD_M2)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    MakeAction(ID_LOAD_M3)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    MakeAction(ID_PRINT)->setShortcut(QKeySequence::Print);
    fill(menuBar()->addMenu(tr("Manage")), {ID_MODE_ZOOM, kSeparator, ID_MODE_CURSOR1, ID_MODE_CURSOR2,
                                            kSeparator, ID_MODE_MEMORY1, ID_MODE_MEMORY2, ID_MODE_MEMORY3});
    fill(menuBar()->addMenu(tr("Help")), {ID_HELP_CONTENTS, ID_APP_ABOUT});
}

void CMainFrame::CreateLanguageMenu(QMenu* menu)
{
    auto* group = new QActionGroup(menu);
    // Each language is named in its own words, whatever the window speaks.
    const struct
    {
        const char* code;
        QString text;
    } choices[] = {
        {"", tr("System language")}, {"en", QStringLiteral("English")}, {"ru", QString::fromUtf8("Русский")}};
    for (const auto& choice : choices) {
        QAction* action = menu->addAction(choice.text);
        action->setCheckable(true);
        action->setChecked(m_strLanguage == choice.code);
        action->setData(QString::fromLatin1(choice.code));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, code = std::string(choice.code)] {
            if (code != m_strLanguage) {
                m_strLanguage = code;
                m_fnNotice(tr("The language changes at the next start of the program."));
            }
        });
    }
}

QToolBar* CMainFrame::AddBar(const char* title, Qt::ToolBarArea area, QSize iconSize,
                             const std::vector<int>& ids)
{
    auto* bar = new QToolBar(tr(title), this);
    bar->setObjectName(QString::fromLatin1(title));
    bar->setAllowedAreas(area);
    bar->setMovable(true);
    bar->setFloatable(false);
    bar->setIconSize(iconSize);
    for (int id : ids) {
        if (id == kSeparator) {
            bar->addSeparator();
        } else {
            bar->addAction(MakeAction(id));
        }
    }
    MakeBarAccessible(bar);
    addToolBar(area, bar);
    return bar;
}

void CMainFrame::CreateToolBars()
{
    m_pAnchorBar = AddBar(QT_TR_NOOP("Zoom anchor"), Qt::TopToolBarArea, kButtonSize, kAnchorBar);
    m_pVelocityBar = AddBar(QT_TR_NOOP("Velocity factor"), Qt::TopToolBarArea, kButtonSize, kVelocityBar);
    m_pDisplayBar = AddBar(QT_TR_NOOP("Display"), Qt::TopToolBarArea, kButtonSize, kDisplayBar);
    m_pScaleBar = AddBar(QT_TR_NOOP("Scale"), Qt::LeftToolBarArea, kScaleButtonSize, kScaleBar);
}

void CMainFrame::CreateStatusBar()
{
    // The idle text; prompts of menu items and buttons show over it while pointed at.
    m_pReady = new QLabel(tr("Ready"), this);
    statusBar()->addWidget(m_pReady, 1);
}

// --- layout ----------------------------------------------------------------------

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pArea && event->type() == QEvent::Resize) {
        OnAreaResized();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnAreaResized()
{
    if (!m_bPanesReady || isMinimized()) {
        return;
    }
    ApplyFrameSize(m_flags, width(), height());
    LayoutPanes();
    RefreshCommandStates();
}

void CMainFrame::LayoutPanes()
{
    PaneGeometry geometry;
    geometry.clientWidth = width();
    geometry.clientHeight = height();
    geometry.areaWidth = m_pArea->width();
    geometry.areaHeight = m_pArea->height();
    geometry.previewOn = m_pFormMemory->IsPreviewOn();
    const PaneRects r = ComputePaneLayout(m_flags, geometry);
    const std::pair<CFormView*, PaneRect> placement[] = {
        {m_pFormSet, r.cursorStrip}, {m_pForm, r.secondScreen},   {m_pFormDraw, r.display},
        {m_pFormParams, r.parameters}, {m_pFormKU, r.cableLibrary}, {m_pFormMemory, r.library}};
    for (const auto& [pane, rect] : placement) {
        pane->setGeometry(ToQRect(rect));
        pane->setVisible(!rect.Empty());
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            // The path's escapes decoded to bytes rather than text, so a file
            // name that is not UTF-8 names the same file.
            const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
            files.emplace_back(QByteArray::fromPercentEncoding(encoded).toStdString());
        }
    }
    event->acceptProposedAction();
    DropFiles(files);
}

void CMainFrame::DropFiles(const std::vector<std::filesystem::path>& files)
{
    const DropResult result = LoadIntoFreeChannels(m_doc, files);
    if (result.m_nLoaded > 0) {
        m_doc.UpdateAllViews(nullptr, HINT_MEMORY);
    }
    if (!result.m_problems.empty()) {
        m_fnDropMessage(QString::fromStdString(DropProblemText(result, CoreTranslation())));
    }
}

void CMainFrame::OnPreviewChanged()
{
    if (m_flags.m_bLibraryShown) {
        LayoutPanes();
    }
}

// --- commands ----------------------------------------------------------------------

void CMainFrame::ExecuteCommand(int id)
{
    for (CFormView* pane : Panes()) {
        if (pane->OnCommand(id)) {
            RefreshCommandStates();
            return;
        }
    }
    if (RunDocCommand(m_doc, id) || RunFrameCommand(id) || (m_fnAppCommand && m_fnAppCommand(id))) {
        RefreshCommandStates();
    }
}

bool CMainFrame::RunFrameCommand(int id)
{
    if (ApplyPaneCommand(m_flags, id)) {
        LayoutPanes();
        return true;
    }
    switch (id) {
    case ID_EDIT_UNDO:
        m_pHistory->Undo();
        return true;
    case ID_EDIT_REDO:
        m_pHistory->Redo();
        return true;
    case ID_HELP_CONTENTS:
        OpenHelp();
        return true;
    case ID_NEXT_PANE:
        MoveFocus(1);
        return true;
    case ID_PREV_PANE:
        MoveFocus(-1);
        return true;
    default:
        return false;
    }
}

CommandState CMainFrame::StateOf(int id) const
{
    for (const CFormView* pane : Panes()) {
        if (const auto state = pane->CommandStateOf(id)) {
            return *state;
        }
    }
    if (const auto state = DocCommandState(m_doc, id)) {
        return *state;
    }
    if (const auto state = PaneCommandState(m_flags, id)) {
        return *state;
    }
    if ((id == ID_EDIT_UNDO || id == ID_EDIT_REDO) && m_pHistory) {
        return CommandState{id == ID_EDIT_UNDO ? m_pHistory->CanUndo() : m_pHistory->CanRedo(), false};
    }
    return CommandState{true, false};
}

void CMainFrame::RefreshCommandStates()
{
    for (const auto& [id, action] : m_actions) {
        const CommandState state = StateOf(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
    // The undo items name their step: "Undo move C1".
    if (m_pHistory) {
        const std::string undo = m_pHistory->UndoName();
        const std::string redo = m_pHistory->RedoName();
        m_actions.at(ID_EDIT_UNDO)->setText(undo.empty() ? tr("Undo") : tr("Undo %1").arg(CoreText(undo)));
        m_actions.at(ID_EDIT_REDO)->setText(redo.empty() ? tr("Redo") : tr("Redo %1").arg(CoreText(redo)));
    }
}

void CMainFrame::MoveFocus(int step)
{
    std::vector<CFormView*> shown;
    for (CFormView* pane : Panes()) {
        if (pane->isVisible()) {
            shown.push_back(pane);
        }
    }
    if (shown.empty()) {
        return;
    }
    int current = -1;
    for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
        if (shown[i]->isAncestorOf(QApplication::focusWidget()) || shown[i] == QApplication::focusWidget()) {
            current = i;
        }
    }
    const int count = static_cast<int>(shown.size());
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
    CFormView* target = shown[next];
    target->setFocusPolicy(Qt::StrongFocus);
    // The pane's first control that takes Tab focus gets it, so the keys act at
    // once; a pane without one (or with its own focus proxy) takes it itself.
    QWidget* focus = target;
    if (target->focusProxy() == nullptr) {
        for (QWidget* w = target->nextInFocusChain(); w != nullptr && w != target; w = w->nextInFocusChain()) {
            if (target->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                focus = w;
                break;
            }
        }
    }
    focus->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::OpenHelp() const
{
    // The compiled help beside the program when the desktop can open it, else
    // the program's own HTML guide. Nothing is reported either way.
    const QString folder = QString::fromStdString(ProgramFolder());
    const QString chm = folder + "help.chm";
    if (QFileInfo::exists(chm)) {
        QProcess query;
        query.start("xdg-mime", {"query", "default", "application/vnd.ms-htmlhelp"});
        if (query.waitForFinished(2000) && !query.readAllStandardOutput().trimmed().isEmpty()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(chm));
            return;
        }
    }
    QString html = folder + "help.html";
#ifdef ONDALIS_DOCDIR
    if (!QFileInfo::exists(html)) {
        html = QStringLiteral(ONDALIS_DOCDIR "/help.html");
    }
#endif
    QDesktopServices::openUrl(QUrl::fromLocalFile(html));
}
