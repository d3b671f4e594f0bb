#include "controls/FormSet.h"
#include "controls/HSpin.h"
#include "display/FormDraw.h"
#include "library/FormMemory.h"
#include "model/CommandIds.h"
#include "model/PrivateProfile.h"
#include "model/ViewHistory.h"
#include "model/ZR815KDoc.h"
#include "shell/AboutDlg.h"
#include "shell/MainFrame.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QTabBar>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>
#include <tuple>
#include <memory>

namespace {

class MainFrame : public ::testing::Test
{
protected:
    void Build(const std::string& ini = "")
    {
        if (!ini.empty()) {
            dir.WriteFile("param.ini", ini);
        }
        doc = std::make_unique<CZR815KDoc>(dir / "param.ini");
        frame = std::make_unique<CMainFrame>(*doc);
        frame->resize(1280, 900);
        frame->show();
        frame->InitialUpdate();
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }
    void Trigger(int id) { frame->Action(id)->trigger(); }
    bool Checked(int id) { return frame->Action(id)->isChecked(); }
    bool Enabled(int id) { return frame->Action(id)->isEnabled(); }

    TempDir dir;
    TempDir waves;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrame, MenusBarsAndStatusBar)
{
    Build();
    EXPECT_EQ(frame->windowTitle(), "Ondalis 5.0");
    EXPECT_GE(frame->minimumWidth(), 640);
    EXPECT_GE(frame->minimumHeight(), 480);
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, (QStringList{"Edit", "View", "Settings", "Manage", "Help"}));
    EXPECT_EQ(frame->Action(ID_SCALE_62_5)->text(), "62,5 m");
    EXPECT_EQ(frame->Action(ID_ANCHOR_CURSOR2)->text(), "Measerement Cursor 2");
    EXPECT_EQ(frame->Action(ID_ANCHOR_CURSOR2)->toolTip(), "Cursor2");
    EXPECT_EQ(frame->Action(ID_DUAL_SCREEN)->statusTip(),
              "Second screen: displays the whole range waveform and the frame of current Horizontal Zoom");
    EXPECT_EQ(frame->IdleLabel()->text(), "Ready");

    EXPECT_EQ(frame->ScaleBar()->allowedAreas(), Qt::LeftToolBarArea);
    EXPECT_EQ(frame->ScaleBar()->iconSize(), QSize(36, 15));
    EXPECT_EQ(frame->toolBarArea(frame->ScaleBar()), Qt::LeftToolBarArea);
    for (QToolBar* bar : frame->TopBars()) {
        EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea);
        EXPECT_EQ(bar->iconSize(), QSize(16, 15));
        EXPECT_TRUE(bar->isMovable());
    }
    const auto display = frame->TopBars()[2]->actions();
    ASSERT_EQ(display.size(), 9);
    EXPECT_EQ(display[0], frame->Action(ID_APPROXIMATION)) << "menu and button share one action";
    EXPECT_TRUE(display[5]->isSeparator());
}

TEST_F(MainFrame, CommandsReachTheDocumentAndStatesFollow)
{
    Build();
    Trigger(ID_SCALE_4K);
    EXPECT_DOUBLE_EQ(doc->m_dScale, 4000);
    EXPECT_TRUE(Checked(ID_SCALE_4K));
    EXPECT_FALSE(Checked(ID_SCALE_62_5));
    // Undo names its step and takes it back; the check marks follow.
    EXPECT_EQ(frame->Action(ID_EDIT_UNDO)->text(), "Undo scale");
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    Trigger(ID_EDIT_UNDO);
    EXPECT_DOUBLE_EQ(doc->m_dScale, 62.5);
    EXPECT_TRUE(Checked(ID_SCALE_62_5));
    EXPECT_EQ(frame->Action(ID_EDIT_REDO)->text(), "Redo scale");
    Trigger(ID_EDIT_REDO);
    EXPECT_TRUE(Checked(ID_SCALE_4K));

    doc->SetZoom(2);
    EXPECT_TRUE(Enabled(ID_ANCHOR_CURSOR1));
    EXPECT_FALSE(Enabled(ID_ANCHOR_CURSOR2)) << "states refresh after each document update";

    EXPECT_FALSE(Enabled(ID_MODE_MEMORY2));
    doc->m_memory[1].m_bOn = true;
    doc->UpdateAllViews(nullptr, HINT_MEMORY);
    Trigger(ID_MODE_MEMORY2);
    EXPECT_EQ(doc->m_nMouseMode, 6);
    EXPECT_TRUE(Checked(ID_MODE_MEMORY2));
    doc->m_memory[1].m_bOn = false;
    doc->UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_TRUE(Checked(ID_MODE_MEMORY2));
    EXPECT_FALSE(Enabled(ID_MODE_MEMORY2));

    Trigger(ID_VELOCITY_PRESENTATION);
    EXPECT_TRUE(doc->m_bShowHalfVelocity);
    EXPECT_TRUE(Checked(ID_VELOCITY_PRESENTATION));
    EXPECT_EQ(frame->GetDisplayForm()->GetLegend().GetColumnHeading(4), "V/2");

    // The legend command goes to the display form, whatever has the focus.
    Trigger(ID_LEGEND);
    EXPECT_FALSE(frame->GetDisplayForm()->IsLegendShown());
    EXPECT_FALSE(Checked(ID_LEGEND));
    EXPECT_FALSE(Enabled(ID_APPLY_SITE_GRID));
}

TEST_F(MainFrame, ToolBarButtonsRunTheirCommandsFromTheKeyboardAndScreenReaders)
{
    Build();
    QToolButton* scale2k = nullptr;
    QToolButton* halfVelocity = nullptr;
    for (QToolBar* bar : frame->findChildren<QToolBar*>()) {
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            if (button != nullptr) {
                EXPECT_EQ(button->focusPolicy(), Qt::TabFocus) << action->toolTip().toStdString();
                scale2k = action == frame->Action(ID_SCALE_2K) ? button : scale2k;
                halfVelocity = action == frame->Action(ID_VELOCITY_PRESENTATION) ? button : halfVelocity;
            }
        }
    }
    ASSERT_NE(scale2k, nullptr);
    ASSERT_NE(halfVelocity, nullptr);
    // Every tool-bar command, the panels' included, also has a menu item.
    QStringList inMenus;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            a->menu() != nullptr ? walk(a->menu()) : void(inMenus << a->text());
        }
    };
    for (QAction* top : frame->menuBar()->actions()) {
        walk(top->menu());
    }
    for (QToolBar* bar : frame->findChildren<QToolBar*>()) {
        for (QAction* action : bar->actions()) {
            EXPECT_TRUE(action->isSeparator() || inMenus.contains(action->text())) << action->text().toStdString();
        }
    }
    EXPECT_EQ(frame->Action(ID_LOAD_M3)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));
    const auto toggle = [](QToolButton* button) {
        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
    };
    // The screen reader's toggle runs the command; the check shows the document.
    toggle(scale2k);
    EXPECT_DOUBLE_EQ(doc->m_dScale, 2000);
    EXPECT_TRUE(scale2k->isChecked());
    toggle(scale2k); // choosing the scale in force again keeps it checked
    EXPECT_TRUE(scale2k->isChecked());
    toggle(halfVelocity);
    EXPECT_TRUE(doc->m_bShowHalfVelocity);
    toggle(halfVelocity);
    EXPECT_FALSE(doc->m_bShowHalfVelocity);
    EXPECT_FALSE(halfVelocity->isChecked());
    // Arrows move along the bar; Space presses the focused button.
    QApplication::setActiveWindow(frame.get());
    scale2k->setFocus();
    QTest::keyClick(scale2k, Qt::Key_Down);
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, scale2k);
    QTest::keyClick(next, Qt::Key_Space);
    EXPECT_DOUBLE_EQ(doc->m_dScale, 4000);
}

// Each of the window's tool-bar buttons, pressed or toggled by a screen reader
// in one window and clicked in another, leaves both documents alike.
TEST(MainFrameAccessibility, EveryBarButtonsActionEqualsItsClick)
{
    TempDir dirA;
    TempDir dirB;
    CZR815KDoc docA(dirA / "param.ini");
    CZR815KDoc docB(dirB / "param.ini");
    CMainFrame frameA(docA);
    CMainFrame frameB(docB);
    for (CMainFrame* f : {&frameA, &frameB}) {
        f->resize(1280, 900);
        f->show();
        f->InitialUpdate();
    }
    const auto state = [](const CZR815KDoc& doc, const CMainFrame& frame) {
        const FrameFlags& flags = frame.Flags();
        return std::tuple(doc.m_bReturnLoss, doc.m_bApproximation, doc.m_pZoomAnchor == &doc.m_dCursor1,
                          flags.m_bDualScreen, flags.m_bLibraryShown, flags.m_bSettingsShown,
                          frame.GetDisplayForm()->IsLegendShown());
    };
    std::vector<QToolBar*> barsA = frameA.TopBars();
    std::vector<QToolBar*> barsB = frameB.TopBars();
    barsA.push_back(frameA.ScaleBar());
    barsB.push_back(frameB.ScaleBar());
    int tried = 0;
    for (std::size_t b = 0; b < barsA.size(); ++b) {
        const QList<QAction*> actionsA = barsA[b]->actions();
        const QList<QAction*> actionsB = barsB[b]->actions();
        for (qsizetype i = 0; i < actionsA.size(); ++i) {
            if (actionsA[i]->isSeparator() || actionsA[i] == frameA.Action(ID_PRINT)) {
                continue; // printing opens the print dialog
            }
            auto* buttonA = qobject_cast<QToolButton*>(barsA[b]->widgetForAction(actionsA[i]));
            auto* buttonB = qobject_cast<QToolButton*>(barsB[b]->widgetForAction(actionsB[i]));
            QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(buttonA)->actionInterface();
            actions->doAction(buttonA->isCheckable() ? QAccessibleActionInterface::toggleAction()
                                                     : QAccessibleActionInterface::pressAction());
            buttonB->click();
            const std::string name = actionsA[i]->text().toStdString();
            EXPECT_EQ(DescribeViewChange(CaptureViewState(docA), CaptureViewState(docB)), "") << name;
            EXPECT_EQ(state(docA, frameA), state(docB, frameB)) << name;
            EXPECT_EQ(buttonA->isChecked(), buttonB->isChecked()) << name;
            ++tried;
        }
    }
    EXPECT_EQ(tried, 22);
}

TEST_F(MainFrame, PaneCommandsShowAndHidePanes)
{
    Build();
    CFormDraw* display = frame->GetDisplayForm();
    const int fullHeight = display->height();
    EXPECT_FALSE(Checked(ID_DUAL_SCREEN));
    Trigger(ID_DUAL_SCREEN);
    EXPECT_TRUE(Checked(ID_DUAL_SCREEN));
    EXPECT_EQ(display->height(), fullHeight - 120);
    Trigger(ID_MEMORY_PANE);
    EXPECT_FALSE(frame->Flags().m_bLibraryShown);
    EXPECT_GT(display->height(), fullHeight - 120);
}

TEST_F(MainFrame, TwoScreenIsReadAndWrittenAsZeroOrOne)
{
    Build("[KLM-204]\nTWOSCREEN=5\n");
    EXPECT_TRUE(frame->Flags().m_bDualScreen);
    frame.reset();
    EXPECT_EQ(PrivateProfile(dir / "param.ini").GetString(kSettingsSection, "TWOSCREEN", ""), "1");
}

TEST_F(MainFrame, ShutdownWritesEachOwnersKeysInOrder)
{
    Build();
    frame.reset();
    doc.reset();
    const std::string text = dir.ReadFile("param.ini");
    const auto at = [&](const char* key) { return text.find(std::string("\n") + key + "="); };
    ASSERT_NE(at("TWOSCREEN"), std::string::npos);
    EXPECT_LT(at("TWOSCREEN"), at("SAVE"));
    EXPECT_LT(at("SAVE"), at("SCALE"));
    EXPECT_LT(at("SCALE"), at("RL"));
}

TEST_F(MainFrame, F6WalksTheFocusThroughTheShownPanes)
{
    Build();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    std::vector<QWidget*> visited;
    for (int i = 0; i < 4; ++i) {
        frame->ExecuteCommand(ID_NEXT_PANE);
        visited.push_back(QApplication::focusWidget());
    }
    ASSERT_NE(visited[0], nullptr);
    EXPECT_NE(visited[0], visited[1]);
    for (QWidget* w : visited) {
        EXPECT_TRUE(w == nullptr || w->isVisible());
    }
    frame->ExecuteCommand(ID_PREV_PANE);
    EXPECT_EQ(QApplication::focusWidget(), visited[2]);
}

TEST(AboutBox, TitleAndOkButton)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "Ondalis 5.0 v. 1.128");
    EXPECT_EQ(about.findChildren<QPushButton*>().size(), 1);
}

} // namespace

namespace {

// Every control a user can reach is named for screen readers and automation:
// by its own accessible name, its text, or its tooltip.
TEST_F(MainFrame, EveryShownControlHasAnAccessibleName)
{
    Build();
    QStringList unnamed;
    for (QWidget* w : frame->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                             qobject_cast<QTabBar*>(w) || w->inherits("CScreenWnd");
        // A table's header is named by its headings; a tool bar's extension arrow by Qt.
        if (!control || !w->isVisible() || w->inherits("QHeaderView")) {
            continue;
        }
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (iface == nullptr || iface->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed << QString("%1 %2 in %3").arg(w->metaObject()->className(), w->objectName() + "/" + w->toolTip(),
                                               w->parentWidget() ? w->parentWidget()->metaObject()->className() : "");
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}

} // namespace

namespace {

// Without the mouse: two waveforms into M1 and M2, the cursors placed, L read.
TEST_F(MainFrame, TwoWaveformsAndBothCursorsWithTheKeyboardAlone)
{
    waves.WriteFile("a.tdr", TdrBytes().Bytes());
    waves.WriteFile("b.tdr", TdrBytes().Bytes());
    Build("[KLM-204]\nSCALE=4\nOPEN=" + waves.Folder() + "\n");
    QApplication::setActiveWindow(frame.get());
    const auto key = [](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), mods);
    };
    // F6 walks the panes to the waveform list; the arrows choose, Ctrl+1/2 load.
    for (int i = 0; i < 6 && QApplication::focusWidget() != &frame->GetLibraryForm()->GetList(); ++i) {
        key(Qt::Key_F6);
    }
    ASSERT_EQ(QApplication::focusWidget(), &frame->GetLibraryForm()->GetList());
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    key(Qt::Key_1, Qt::ControlModifier);
    key(Qt::Key_Down);
    key(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(doc->m_memory[0].m_strName, "a");
    EXPECT_EQ(doc->m_memory[1].m_strName, "b");
    // F6 to the cursor strip: C1 takes the focus, Tab goes on to C2.
    for (int i = 0; i < 6 && !frame->GetFormSet()->isAncestorOf(QApplication::focusWidget()); ++i) {
        key(Qt::Key_F6);
    }
    ASSERT_EQ(QApplication::focusWidget(), frame->GetFormSet()->GetCursorField(0))
        << QApplication::focusWidget()->metaObject()->className() << " "
        << QApplication::focusWidget()->accessibleName().toStdString();
    for (const int k : {Qt::Key_1, Qt::Key_0, Qt::Key_0, Qt::Key_Return, Qt::Key_Tab, Qt::Key_4, Qt::Key_2, Qt::Key_0,
                        Qt::Key_Return}) {
        key(k);
    }
    EXPECT_EQ(frame->GetFormSet()->GetLengthField()->text(), "320.000 m");
}

// Files dropped on the window go into the free channels; the rest is told.
TEST_F(MainFrame, DroppedFilesLoadIntoFreeChannels)
{
    Build();
    dir.WriteFile("a.tdr", TdrBytes().Bytes());
    dir.WriteFile("junk.tdr", "not a waveform");
    QStringList messages;
    frame->SetDropMessageBox([&](const QString& text) { messages << text; });
    const auto path = [&](const char* name) { return QString::fromStdString((dir / name).string()); };

    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path("a.tdr")), QUrl::fromLocalFile(path("junk.tdr"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);

    EXPECT_TRUE(doc->m_memory[0].m_bOn);
    EXPECT_FALSE(doc->m_memory[1].m_bOn);
    EXPECT_EQ(frame->GetDisplayForm()->GetLegend().GetItemCount(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("junk.tdr: not a waveform file"));
    delete data;
}

// A dropped file whose name is not UTF-8 arrives as percent-escaped bytes and
// loads by those bytes; a missing one is named readably.
TEST_F(MainFrame, DroppedNamesThatAreNotUtf8)
{
    Build();
    dir.WriteFile("bad\xFF.tdr", TdrBytes().Word(4, 9).Bytes());
    QStringList messages;
    frame->SetDropMessageBox([&](const QString& text) { messages << text; });
    const auto url = [&](const std::string& name) {
        return QUrl::fromEncoded("file://" + QByteArray::fromStdString((dir / name).string()).toPercentEncoding("/"));
    };
    auto* data = new QMimeData;
    data->setUrls({url("bad\xFF.tdr"), url("gone\xFF.tdr")});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);

    ASSERT_TRUE(doc->m_memory[0].m_bOn) << messages.join("\n").toStdString();
    EXPECT_EQ(doc->m_memory[0].m_nGain, 9);
    EXPECT_EQ(doc->m_memory[0].m_strName, "badя");
    EXPECT_FALSE(doc->m_memory[1].m_bOn);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("goneя.tdr: not a waveform file"))) << messages[0].toStdString();
    delete data;
}

} // namespace
