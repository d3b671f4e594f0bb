#include "controls/EditText.h"
#include "controls/FormSet.h"
#include "controls/HSpin.h"
#include "display/FormDraw.h"
#include "library/FormMemory.h"
#include "library/SiteGridPage.h"
#include "model/CommandIds.h"
#include "model/PrivateProfile.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The library panel beside the cursor strip and the display form, at 1 km,
// with the grid folder and the create dialog answered by the test.
class SiteGridPage : public ::testing::Test
{
protected:
    SiteGridPage()
    {
        settings.WriteFile("param.ini", "[KLM-204]\nSCALE=4\nOPEN_PIECE=" + grids.Folder() + "\n");
        doc = std::make_unique<CZR815KDoc>(settings / "param.ini");
        panel = std::make_unique<CFormMemory>(*doc);
        strip = std::make_unique<CFormSet>(*doc);
        draw = std::make_unique<CFormDraw>(*doc);
        panel->resize(1200, 400);
        strip->resize(1000, 24);
        draw->resize(1000, 600);
        for (QWidget* w : std::initializer_list<QWidget*>{panel.get(), strip.get(), draw.get()}) {
            w->show();
        }
        panel->OnInitialUpdate();
        strip->OnInitialUpdate();
        draw->OnInitialUpdate();
        Page().SetCreateChooser([this](const QString&) { return QString::fromStdString((grids / "route").string()); });
    }
    ~SiteGridPage() override
    {
        draw.reset();
        strip.reset();
        panel.reset();
        doc.reset();
    }
    CSiteGridPage& Page() { return panel->GetSiteGridPage(); }
    void Run(int id) { panel->OnCommand(id); }
    QString Section(int row, int column) { return Page().GetSections().GetCellText(row, column); }
    std::string Key(const std::string& section, const std::string& key)
    {
        return PrivateProfile(grids / "route.pie").GetString(section, key, "<none>");
    }
    void TypeIntoAndEnter(QWidget* editor, const char* text)
    {
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the posted edit-enter commits
    }
    void SelectGrid(int row) { Page().GetGridFiles().selectRow(row); }

    TempDir settings;
    TempDir grids;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CFormMemory> panel;
    std::unique_ptr<CFormSet> strip;
    std::unique_ptr<CFormDraw> draw;
};

TEST_F(SiteGridPage, TheSecondTabShowsThePage)
{
    EXPECT_EQ(panel->GetTabBar()->tabText(1), "Site grids");
    EXPECT_FALSE(Page().GetGridFiles().isVisible());
    panel->GetTabBar()->setCurrentIndex(1);
    EXPECT_EQ(panel->GetPage(), 1);
    EXPECT_TRUE(Page().GetGridFiles().isVisible());
    EXPECT_TRUE(Page().GetSectionToolBar()->isVisible());
    EXPECT_FALSE(panel->GetList().isVisible());
    EXPECT_EQ(Page().GetGridFiles().GetColumnHeading(1), QString::fromUtf8("Название файла"));
    EXPECT_EQ(Page().GetSections().GetColumnHeading(5), QString::fromUtf8("КУ участка"));
    EXPECT_EQ(Page().ToolAction(ID_ADD_SECTION)->toolTip(), QString::fromUtf8("Добавить новый участок"));
    // Nothing selected: only the folder and create commands are on.
    EXPECT_TRUE(Page().ToolAction(ID_OPEN_GRID_FOLDER)->isEnabled());
    EXPECT_FALSE(Page().ToolAction(ID_APPLY_SITE_GRID)->isEnabled());
    EXPECT_FALSE(Page().ToolAction(ID_ADD_SECTION)->isEnabled());
    EXPECT_FALSE(Page().ToolAction(ID_COMMIT_SECTION)->isEnabled());
    panel->SwitchPage(0);
    EXPECT_FALSE(Page().GetSections().isVisible());
    EXPECT_TRUE(panel->GetList().isVisible());
}

// A grid opened from outside (the command line, a file manager) shows on its
// page with its folder listed, selected, its sections listed.
TEST_F(SiteGridPage, AGridOpenedFromOutsideShowsOnItsPage)
{
    TempDir other;
    other.WriteFile("a.pie", "[PIECE]\nAMOUNT=0\n");
    other.WriteFile("road.pie", "[PIECE]\nAMOUNT=1\n[SITE1]\nNAME=Street\nLENGTH=300000\n");
    QString error;
    panel->SetErrorBox([&error](const QString& text) { error = text; });
    EXPECT_TRUE(panel->OpenSiteGridFile((other / "road.pie").string()));
    EXPECT_EQ(panel->GetPage(), 1);
    EXPECT_EQ(Page().GetGridFiles().GetRowCount(), 2);
    EXPECT_EQ(Page().GetGridFiles().GetSelectedRows(), QList<int>{1});
    EXPECT_EQ(Section(0, 1), "Street");
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(panel->OpenSiteGridFile((other / "missing.pie").string()));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SiteGridPage, TheWholeRoad)
{
    panel->SwitchPage(1);
    // Create a grid: named without an extension, it gets ".pie"; scale 1 km is index 4.
    Run(ID_CREATE_GRID);
    EXPECT_EQ(Key("PIECE", "AMOUNT"), "0");
    EXPECT_EQ(Key("PIECE", "SCALE"), "4");
    ASSERT_EQ(Page().GetGridFiles().GetItemCount(), 1);
    EXPECT_EQ(Page().GetGridFiles().GetCellText(0, 1), "route");
    SelectGrid(0);
    EXPECT_TRUE(doc->m_bGridSelected);
    EXPECT_TRUE(Page().ToolAction(ID_ADD_SECTION)->isEnabled());

    // Two sections of 1 m at the document's PR.
    Run(ID_ADD_SECTION);
    Run(ID_ADD_SECTION);
    ASSERT_EQ(Page().GetSections().GetItemCount(), 2);
    EXPECT_EQ(Section(1, 2), "1.00");
    EXPECT_EQ(Section(1, 3), "2.00");
    EXPECT_EQ(Section(1, 5), "1.500");
    EXPECT_EQ(Key("SITE2", "LENGTH"), "1000");

    // Columns 0, 2 and 4 are not edited.
    for (int column : {0, 2, 4}) {
        Page().StartEdit(1, column);
        EXPECT_FALSE(Page().GetEndEditor() || Page().GetFactorEditor() || Page().GetNameEditor()) << column;
    }
    // The second section's end: the editor steps C1; the commit writes the length.
    Page().StartEdit(1, 3);
    ASSERT_NE(Page().GetEndEditor(), nullptr);
    EXPECT_FALSE(Page().GetSections().isEnabled());
    EXPECT_TRUE(Page().ToolAction(ID_COMMIT_SECTION)->isEnabled());
    EXPECT_EQ(Page().GetEndEditor()->GetMax(), 1000);
    TypeIntoAndEnter(Page().GetEndEditor(), "301");
    EXPECT_EQ(doc->m_dCursor1, 302); // 301 m snapped to the nearest 2 m column edge
    EXPECT_EQ(Page().GetEndEditor(), nullptr);
    EXPECT_TRUE(Page().GetSections().isEnabled());
    EXPECT_EQ(Key("SITE2", "LENGTH"), "301000");
    EXPECT_EQ(Section(1, 3), "302.00");

    // Its factor: written at every step, and again at the commit.
    Page().StartEdit(1, 5);
    ASSERT_NE(Page().GetFactorEditor(), nullptr);
    TypeIntoAndEnter(Page().GetFactorEditor(), "1.8");
    EXPECT_EQ(Key("SITE2", "VFACTOR"), "1800");
    EXPECT_EQ(doc->m_dFactor, 1.8);
    EXPECT_EQ(Section(1, 4), "250.83");

    // A name, committed by Enter anywhere in the panel.
    Page().StartEdit(0, 1);
    ASSERT_NE(Page().GetNameEditor(), nullptr);
    Page().GetNameEditor()->setText(QString::fromUtf8("Кабель А"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(panel.get(), &enter);
    QApplication::processEvents();
    EXPECT_EQ(Key("SITE1", "NAME"), "Кабель А");

    // Apply: the first cell turns red, distances go section by section, and the
    // plot marks the boundaries at 0, 1 m and 302 m.
    Run(ID_APPLY_SITE_GRID);
    ASSERT_TRUE(doc->GridInForce());
    EXPECT_EQ(Page().GetGridFiles().GetModel()->data(Page().GetGridFiles().GetModel()->index(0, 0),
                                                      Qt::BackgroundRole)
                  .value<QBrush>()
                  .color(),
              QColor(255, 0, 0));
    EXPECT_TRUE(Page().ToolAction(ID_APPLY_SITE_GRID)->isChecked());
    // C1 at 302 m of position: 1 m at PR 1.5 and 301 m at PR 1.8.
    EXPECT_EQ(strip->GetCursorField(0)->text(), "251.833 m");
    const auto boundaries = draw->GetPlot().GetBoundaries();
    ASSERT_EQ(boundaries.size(), 3u);
    EXPECT_EQ(boundaries[0], (CScreenWnd::Boundary{0, QString::fromUtf8("Кабель А")}));
    EXPECT_EQ(boundaries[1].column, 1);
    EXPECT_EQ(boundaries[2].column, 151);

    // Applying again releases it: plain conversions at PR 1.8, no red cell, no boundaries.
    Run(ID_APPLY_SITE_GRID);
    EXPECT_FALSE(doc->GridInForce());
    EXPECT_EQ(strip->GetCursorField(0)->text(), "251.667 m");
    EXPECT_TRUE(draw->GetPlot().GetBoundaries().empty());
    EXPECT_FALSE(Page()
                     .GetGridFiles()
                     .GetModel()
                     ->data(Page().GetGridFiles().GetModel()->index(0, 0), Qt::BackgroundRole)
                     .isValid());
}

TEST_F(SiteGridPage, DeleteAndTheFolderAndTheSettings)
{
    Run(ID_CREATE_GRID);
    SelectGrid(0);
    Run(ID_ADD_SECTION);
    Run(ID_ADD_SECTION);
    Page().GetSections().selectRow(0);
    EXPECT_TRUE(Page().ToolAction(ID_DELETE_SECTION)->isEnabled());
    Run(ID_DELETE_SECTION);
    EXPECT_EQ(Page().GetSections().GetItemCount(), 1);
    EXPECT_EQ(Key("PIECE", "AMOUNT"), "1");

    // Another folder: chosen through a file in it.
    TempDir other;
    other.WriteFile("b.pie", "[PIECE]\nAMOUNT=0\nSCALE=12\n");
    other.WriteFile("a.PIE", "[PIECE]\nAMOUNT=3\nSCALE=2\n");
    Page().SetFolderChooser([&](const QString&) { return QString::fromStdString((other / "b.pie").string()); });
    Run(ID_OPEN_GRID_FOLDER);
    ASSERT_EQ(Page().GetGridFiles().GetItemCount(), 2);
    EXPECT_EQ(Page().GetGridFiles().GetCellText(0, 1), "a");
    EXPECT_EQ(Page().GetGridFiles().GetCellText(0, 3), "250.0");
    EXPECT_EQ(Page().GetGridFiles().GetCellText(1, 3), ""); // a scale outside the table
    // Folder and created file are kept at exit.
    panel.reset();
    const PrivateProfile ini(settings / "param.ini");
    EXPECT_EQ(ini.GetString("KLM-204", "OPEN_PIECE", ""), other.Folder());
    EXPECT_EQ(ini.GetString("KLM-204", "SAVE_PIECE", ""), (grids / "route.pie").string());
}

TEST_F(SiteGridPage, ANewGridThatCannotBeWrittenIsReported)
{
    QStringList errors;
    Page().SetErrorBox([&](const QString& text) { errors << text; });
    Page().SetCreateChooser([this](const QString&) { return QString::fromStdString((grids / "gone" / "r").string()); });
    Run(ID_CREATE_GRID);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("gone/r.pie"));
    EXPECT_EQ(Page().GetGridFiles().GetItemCount(), 0);
}

// The dialog completes the name before it asks about replacing a file; a name
// the page would have to complete itself never replaces the grid it names.
TEST_F(SiteGridPage, ANameCompletedAfterTheDialogKeepsTheExistingGrid)
{
    QStringList errors;
    Page().SetErrorBox([&](const QString& text) { errors << text; });
    grids.WriteFile("route.pie", "[PIECE]\nAMOUNT=1\n[SITE1]\nLENGTH=5000\n");
    Run(ID_CREATE_GRID); // answered "route"
    EXPECT_EQ(Key("PIECE", "AMOUNT"), "1");
    EXPECT_EQ(Key("SITE1", "LENGTH"), "5000");
    EXPECT_EQ(errors.size(), 1);
    // A dot in the name is no extension: the new grid is listed.
    Page().SetCreateChooser(
        [this](const QString&) { return QString::fromStdString((grids / "trasa 1.5").string()); });
    Run(ID_CREATE_GRID);
    EXPECT_TRUE(std::filesystem::exists(grids / "trasa 1.5.pie"));
    EXPECT_EQ(Page().GetGridFiles().GetItemCount(), 2);
}

// A grid named in Windows-1251 ("трасса") is shown readable and used by the bytes listed.
TEST_F(SiteGridPage, AGridNamedInOtherBytesIsUsedByThem)
{
    const std::string name = "\xf2\xf0\xe0\xf1\xf1\xe0.pie";
    grids.WriteFile("route.pie", "[PIECE]\nAMOUNT=1\n");
    grids.WriteFile(name, "[PIECE]\nAMOUNT=2\n");
    Page().ListGridFiles();
    ASSERT_EQ(Page().GetGridFiles().GetItemCount(), 2);
    EXPECT_EQ(Page().GetGridFiles().GetCellText(1, 1), QString::fromUtf8("трасса"));
    SelectGrid(0);
    SelectGrid(1);
    EXPECT_EQ(Page().GetSections().GetItemCount(), 2) << "not the sections of the grid selected before";
    Run(ID_ADD_SECTION);
    EXPECT_EQ(doc->m_gridSections.size(), 2u);
    EXPECT_EQ(PrivateProfile(grids / name).GetString("PIECE", "AMOUNT", ""), "3");
    const std::filesystem::directory_iterator files(grids.Path());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2) << "no stray file";
    Run(ID_APPLY_SITE_GRID);
    const QAbstractItemModel* model = Page().GetGridFiles().GetModel();
    EXPECT_EQ(model->data(model->index(1, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
}

TEST_F(SiteGridPage, HalfVelocitySwitchesTheFactorColumn)
{
    Run(ID_CREATE_GRID);
    SelectGrid(0);
    Run(ID_ADD_SECTION);
    doc->m_bShowHalfVelocity = true;
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(Page().GetSections().GetColumnHeading(5), QString::fromUtf8("V/2 участка"));
    EXPECT_EQ(Section(0, 5), "100.0");
}

} // namespace
