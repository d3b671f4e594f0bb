#include "cablelib/CalibrateKU.h"
#include "cablelib/FormKU.h"
#include "cablelib/TableKU.h"
#include "cablelib/core/CableLibrary.h"
#include "controls/HSpin.h"
#include "model/CommandIds.h"
#include "model/PrivateProfile.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QAccessible>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

// Bytes of a .tku file: each line as UTF-16LE (ASCII only here) ended by 0A 00.
std::string Tku(std::initializer_list<const char*> lines)
{
    std::string bytes;
    for (const char* line : lines) {
        for (const char* c = line; *c != '\0'; ++c) {
            bytes += *c;
            bytes += '\0';
        }
        bytes += "\n";
        bytes += '\0';
    }
    return bytes;
}

// A library panel whose OPEN_KU names `library` (a file or a folder), with
// every dialog replaced by a recorder.
class FormKU : public ::testing::Test, public CDocView
{
protected:
    void Build(const std::string& library, bool halfVelocity = false)
    {
        dir.WriteFile("param.ini", "[KLM-204]\nSPEED=" + std::string(halfVelocity ? "1" : "0") +
                                       "\nOPEN_KU=" + library + "\n");
        doc = std::make_unique<CZR815KDoc>(dir / "param.ini");
        form = std::make_unique<CFormKU>(*doc, nullptr);
        form->resize(300, 200);
        form->show();
        form->OnInitialUpdate();
        doc->AddView(this);
        CFormKU::Dialogs& d = form->GetDialogs();
        d.information = [this](const QString& text) { messages << "info: " + text; };
        d.error = [this](const QString& text) { messages << "error: " + text; };
        d.question = [this](const QString& text) {
            messages << "question: " + text;
            return answer;
        };
        d.chooseSave = [this](const QString&, const QString&, const QString&) { return saveAs; };
        d.chooseOpen = [this](const QString& title, const QString& filter, const QString&) {
            messages << "open: " + title + " | " + filter;
            return openPath;
        };
        d.askEntry = [this](bool) { return entry; };
        d.askCalibration = [this](double, double, double, bool) { return calibration; };
    }
    void TearDown() override
    {
        if (doc) {
            doc->RemoveView(this);
        }
        form.reset();
        doc.reset();
    }
    void OnUpdate(CDocView* sender, int hint) override
    {
        hints.push_back(hint);
        senders.push_back(sender);
    }
    void Run(int id) { form->ToolAction(id)->trigger(); }
    QString Cell(int row, int column) { return form->GetList().GetCellText(row, column); }
    int Rows() { return form->GetList().GetItemCount(); }
    void Select(std::initializer_list<int> rows)
    {
        form->GetList().clearSelection();
        for (int row : rows) {
            form->GetList().selectionModel()->select(form->GetList().model()->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    std::string File() { return (dir / "lib.tku").string(); }

    TempDir dir;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CFormKU> form;
    QStringList messages;
    bool answer = true;
    QString saveAs;
    QString openPath;
    std::optional<CableEntryInput> entry;
    std::optional<CalibrationInput> calibration;
    std::vector<int> hints;
    std::vector<CDocView*> senders;
};

TEST_F(FormKU, ToolBarHeadingsAndStateRules)
{
    dir.WriteFile("lib.tku", Tku({"RG-58", "1.515", "Cat 5e", "1.449"}));
    Build(File());
    QStringList tips;
    for (QAction* a : form->GetToolBar()->actions()) {
        tips << (a->isSeparator() ? "|" : a->toolTip());
    }
    EXPECT_EQ(tips, (QStringList{"Open Cable Library file", "|", "Use selected value", "|",
                                 "Add new value to the library", "Remove selected values", "|",
                                 "Calibrate from a known length..."}));
    EXPECT_EQ(form->GetList().GetColumnHeading(0), "Name PR");
    EXPECT_EQ(form->GetList().GetColumnHeading(1), "PR");
    EXPECT_EQ(form->GetList().GetControlId(), 156);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 0), "Cat 5e");
    EXPECT_EQ(Cell(1, 1), "1.449");
    // Use and Remove need a selection; Open, Add and Calibrate never do.
    EXPECT_FALSE(form->ToolAction(ID_KU_USE)->isEnabled());
    EXPECT_FALSE(form->ToolAction(ID_KU_REMOVE)->isEnabled());
    EXPECT_TRUE(form->ToolAction(ID_KU_ADD)->isEnabled());
    Select({1});
    EXPECT_TRUE(form->ToolAction(ID_KU_USE)->isEnabled());
    EXPECT_EQ(form->CommandStateOf(ID_KU_REMOVE), (CommandState{true, false}));
    // Two thirds and a third of the width.
    EXPECT_EQ(form->GetList().GetColumnWidth(0), 200);
    EXPECT_EQ(form->GetList().GetColumnWidth(1), 100);
}

TEST_F(FormKU, HalfVelocityShowsV2AndUsesItsExactInverse)
{
    dir.WriteFile("lib.tku", Tku({"name", "1.500", "odd", "1.234", "broken", "0", "tiny", "0.0001"}));
    Build(File(), true);
    EXPECT_EQ(form->GetList().GetColumnHeading(0), "Name V/2");
    EXPECT_EQ(Cell(0, 1), "100.0");
    EXPECT_EQ(Cell(1, 1), "121.6");
    EXPECT_EQ(Cell(2, 1), ""); // a stored 0 has no V/2
    Select({1});
    Run(ID_KU_USE);
    EXPECT_EQ(doc->m_dFactor, 300 / 243.2);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW}));
    EXPECT_EQ(senders[0], form.get());
    // A value that is not a positive number is refused; the factor stays.
    Select({2});
    Run(ID_KU_USE);
    EXPECT_EQ(doc->m_dFactor, 300 / 243.2);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error: ")) << messages[0].toStdString();
    // So is one outside V/2 50..150 (PR 0.0001 would put 1 km of plot at 15,000 km).
    Select({3});
    Run(ID_KU_USE);
    EXPECT_EQ(doc->m_dFactor, 300 / 243.2);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains("is outside V/2 50 to 150")) << messages[1].toStdString();
}

TEST_F(FormKU, PresentationToggleReloadsWithNewHeadings)
{
    dir.WriteFile("lib.tku", Tku({"name", "1.500"}));
    Build(File());
    doc->m_bShowHalfVelocity = true;
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(form->GetList().GetColumnHeading(1), "V/2");
    EXPECT_EQ(Cell(0, 1), "100.0");
    doc->m_bShowHalfVelocity = false;
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(form->GetList().GetColumnHeading(0), "Name PR");
    EXPECT_EQ(Cell(0, 1), "1.500");
}

TEST_F(FormKU, AddingInV2WritesThePrAndKeepsTheOtherLines)
{
    // 1.439 shows 104.2, which is PR 1.440; 2.250 shows 66.7, PR 2.249.
    dir.WriteFile("lib.tku", Tku({"a", "1.439", "b", "2.250", "c", "1.5 (drum)"}));
    Build(File(), true);
    entry = CableEntryInput{"name", "100.0"};
    Run(ID_KU_ADD);
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(3, 1), "100.0");
    EXPECT_EQ(dir.ReadFile("lib.tku"), Tku({"a", "1.439", "b", "2.250", "c", "1.5 (drum)", "name", "1.500"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FormKU, FirstAddOnAFolderAsksWhereToSave)
{
    Build(dir.Folder());
    EXPECT_EQ(Rows(), 0);
    entry = CableEntryInput{"name", "1.500"};
    // Cancelled: the row stays in the table, nothing is written.
    Run(ID_KU_ADD);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(form->GetLibraryFile(), dir.Folder());
    // Without a file the cells follow the presentation all the same.
    doc->m_bShowHalfVelocity = true;
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(Cell(0, 1), "100.0");
    Select({0});
    Run(ID_KU_USE);
    EXPECT_EQ(doc->m_dFactor, 1.5);
    // Named without an extension: ".tku" is added and the file holds both rows.
    saveAs = QString::fromStdString((dir / "mine").string());
    entry = CableEntryInput{"name", "100.0"};
    Run(ID_KU_ADD);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(form->GetLibraryFile(), (dir / "mine.tku").string());
    EXPECT_EQ(dir.ReadFile("mine.tku"), Tku({"name", "1.500", "name", "1.500"}));
    // The path is kept at exit.
    form.reset();
    EXPECT_EQ(PrivateProfile(dir / "param.ini").GetString("KLM-204", "OPEN_KU", ""), (dir / "mine.tku").string());
}

TEST_F(FormKU, AFailedSaveSaysSoAndKeepsTheRow)
{
    Build((dir / "gone" / "lib.tku").string());
    entry = CableEntryInput{"name", "1.500"};
    Run(ID_KU_ADD);
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("gone/lib.tku")) << messages[0].toStdString();
}

TEST_F(FormKU, RemovingThreeSelectedRowsAsksOnce)
{
    dir.WriteFile("lib.tku", Tku({"a", "1.1", "b", "1.2", "c", "1.3", "d", "1.4", "e", "1.5"}));
    Build(File());
    // The button is off without a selection; the command itself still answers.
    EXPECT_FALSE(form->ToolAction(ID_KU_REMOVE)->isEnabled());
    form->OnCommand(ID_KU_REMOVE);
    EXPECT_EQ(messages, (QStringList{"info: To choose values from library"}));
    messages.clear();
    Select({0, 2, 3});
    answer = false;
    Run(ID_KU_REMOVE);
    EXPECT_EQ(Rows(), 5);
    answer = true;
    // The rows go in one pass: the view hears of one removal, not one per row.
    int removals = 0;
    QObject::connect(form->GetList().model(), &QAbstractItemModel::rowsRemoved, [&] { ++removals; });
    Run(ID_KU_REMOVE);
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(messages, (QStringList{"question: To remove from value library?",
                                     "question: To remove from value library?"}));
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), "b");
    EXPECT_EQ(Cell(1, 0), "e");
    EXPECT_EQ(dir.ReadFile("lib.tku"), Tku({"b", "1.2", "e", "1.5"}));
}

TEST_F(FormKU, OpenLoadsTheChosenFileAndANewNameKeepsTheRows)
{
    dir.WriteFile("lib.tku", Tku({"a", "1.1"}));
    dir.WriteFile("other.tku", Tku({"x", "2.000", "y", "1.750"}));
    Build(File());
    openPath = QString::fromStdString((dir / "other.tku").string());
    Run(ID_KU_OPEN);
    EXPECT_EQ(messages, (QStringList{"open: To choose library of velocity factor | Library PR (*.tku)"}));
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 0), "y");
    // A name that does not exist yet: the table stays, the next change goes there.
    openPath = QString::fromStdString((dir / "new.tku").string());
    Run(ID_KU_OPEN);
    EXPECT_EQ(Rows(), 2);
    entry = CableEntryInput{"z", "1.600"};
    Run(ID_KU_ADD);
    EXPECT_EQ(dir.ReadFile("new.tku"), Tku({"x", "2.000", "y", "1.750", "z", "1.600"}));
}

TEST_F(FormKU, AnUnreadableLibraryLeavesTheTableAndSaysSo)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    dir.WriteFile("lib.tku", Tku({"a", "1.1"}));
    Build(File());
    std::filesystem::permissions(dir / "lib.tku", std::filesystem::perms::none);
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("cannot be read"));
}

TEST_F(FormKU, ALibraryThatCannotBeReadIsNeverSavedOver)
{
    // Two bytes past the size cap: the file is there but is not read.
    const std::string big(kMaxCableLibraryBytes + 2, 'x');
    dir.WriteFile("big.tku", big);
    dir.WriteFile("lib.tku", Tku({"a", "1.100"}));
    Build(File());
    // Opened: the table and the file saved to stay the previous library's.
    openPath = QString::fromStdString((dir / "big.tku").string());
    Run(ID_KU_OPEN);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains("cannot be read")) << messages[1].toStdString();
    EXPECT_EQ(form->GetLibraryFile(), File());
    EXPECT_EQ(Rows(), 1);
    entry = CableEntryInput{"b", "1.200"};
    Run(ID_KU_ADD);
    EXPECT_EQ(dir.ReadFile("lib.tku"), Tku({"a", "1.100", "b", "1.200"}));

    // Named by OPEN_KU at start: no library is used, so the first save asks
    // where (cancelled here); OPEN_KU keeps the name for the next start. The
    // panel says so while it is made, before its dialogs can be replaced.
    TearDown();
    QString startMessage;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            startMessage = box->text();
            box->reject();
        }
    });
    Build((dir / "big.tku").string());
    EXPECT_TRUE(startMessage.contains("cannot be read")) << startMessage.toStdString();
    EXPECT_EQ(Rows(), 0);
    Run(ID_KU_ADD);
    EXPECT_EQ(Rows(), 1);
    EXPECT_NE(form->GetLibraryFile(), (dir / "big.tku").string());
    form.reset();
    EXPECT_EQ(PrivateProfile(dir / "param.ini").GetString("KLM-204", "OPEN_KU", ""),
              (dir / "big.tku").string());
    EXPECT_TRUE(dir.ReadFile("big.tku") == big);
}

TEST_F(FormKU, CalibrationAppliesAndAddsTheFactor)
{
    dir.WriteFile("lib.tku", "");
    Build(File(), true);
    doc->m_dCursor1 = doc->m_dCursor2 = 120;
    Run(ID_KU_CALIBRATE);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error: C1 and C2 are at the same point"));
    EXPECT_TRUE(hints.empty());

    doc->m_dCursor2 = 420;
    calibration = CalibrationInput{"drum 300 m", 1.6};
    Run(ID_KU_CALIBRATE);
    EXPECT_EQ(doc->m_dFactor, 1.6);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW}));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), "93.8"); // 93.75: printf rounds the tie to even
    // The factor itself is stored, not the PR of its rounded V/2 (1.599).
    EXPECT_EQ(dir.ReadFile("lib.tku"), Tku({"drum 300 m", "1.600"}));
}

TEST(TableKU, YesTakesTheShownTextAndRefusesNonNumbers)
{
    CTableKU pr(false);
    EXPECT_EQ(pr.windowTitle(), "To add value in the table");
    EXPECT_EQ(pr.GetNameEdit()->text(), "name");
    EXPECT_EQ(pr.GetValueField()->text(), "1.500");
    EXPECT_EQ(pr.GetValueField()->GetControlId(), 162);
    EXPECT_EQ(pr.GetValueField()->GetMax(), 3);
    // Typed but not committed: the text as shown is taken.
    QTest::keyClicks(pr.GetValueField(), "1.5");
    pr.GetNameEdit()->setText("RG-213");
    pr.GetYesButton()->click();
    EXPECT_EQ(pr.result(), QDialog::Accepted);
    EXPECT_EQ(pr.GetName(), "RG-213");
    EXPECT_EQ(pr.GetValue(), "1.5");

    CTableKU half(true);
    EXPECT_EQ(half.GetValueField()->text(), "100.0");
    EXPECT_EQ(half.GetValueField()->GetStep(), 0.1);
    QStringList refusals;
    half.SetErrorBox([&](const QString& text) { refusals << text; });
    QTest::keyClicks(half.GetValueField(), "0");
    half.GetYesButton()->click();
    EXPECT_EQ(refusals.size(), 1);
    EXPECT_NE(half.result(), QDialog::Accepted);
    EXPECT_EQ(half.GetValue(), "1.500"); // unchanged
    // Pending digits can pass the field's limits: a value outside them is refused too.
    CTableKU far(true);
    far.SetErrorBox([&](const QString& text) { refusals << text; });
    QTest::keyClicks(far.GetValueField(), "150.1");
    far.GetYesButton()->click();
    ASSERT_EQ(refusals.size(), 2);
    EXPECT_EQ(refusals[1], "\"150.1\" is outside V/2 50 to 150: enter a value within that range.");
    EXPECT_NE(far.result(), QDialog::Accepted);
}

TEST(CalibrateKU, ResultFollowsTheLengthAndYesOnlyInRange)
{
    // 300 m of position at PR 1.5 shows 300 m; a drum of 290 m gives PR 1.552.
    CCalibrateKU dialog(100, 400, 1.5, false);
    EXPECT_EQ(dialog.GetLengthField()->text(), "300.000 m");
    QTest::keyClicks(dialog.GetLengthField(), "290");
    QTest::keyClick(dialog.GetLengthField(), Qt::Key_Return);
    EXPECT_EQ(dialog.GetResultLabel()->text(), "PR = 1.552");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.GetResultLabel())->text(QAccessible::Name), "PR = 1.552");
    EXPECT_TRUE(dialog.GetYesButton()->isEnabled());
    // 100 m would need PR 4.5: shown, but Yes is off.
    QTest::keyClicks(dialog.GetLengthField(), "100");
    QTest::keyClick(dialog.GetLengthField(), Qt::Key_Return);
    EXPECT_TRUE(dialog.GetResultLabel()->text().startsWith("PR = 4.500"));
    EXPECT_FALSE(dialog.GetYesButton()->isEnabled());
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

} // namespace
