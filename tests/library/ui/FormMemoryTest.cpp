#include "library/FormMemory.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <QAction>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// A library panel on a folder of hand-built waveforms.
class FormMemory : public ::testing::Test, public CDocView
{
protected:
    FormMemory()
    {
        TdrBytes wave;
        wave.Word(2, 0).Word(3, 4).Word(6, 1500).Word(8, 3).Word(10, 73);
        for (int k = 0; k < 8000; ++k) {
            wave.Sample(k, static_cast<uint8_t>(k % 100));
        }
        waves.WriteFile("alpha.tdr", wave.Bytes());
        waves.WriteFile("beta.TDR", TdrBytes().Word(2, 4).Bytes());
        waves.WriteFile("small.tdr", std::string(100, '\0'));
        settings.WriteFile("param.ini", "[KLM-204]\nOPEN=" + waves.Folder() + "\n");
        doc = std::make_unique<CZR815KDoc>(settings / "param.ini");
        form = std::make_unique<CFormMemory>(*doc);
        form->SetErrorBox([this](const QString& text) { errors << text; });
        form->resize(1200, 400);
        form->show();
        form->OnInitialUpdate();
        doc->AddView(this);
    }
    ~FormMemory() override
    {
        doc->RemoveView(this);
        form.reset();
        doc.reset();
    }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }
    QString Cell(int row, int column) { return form->GetList().GetCellText(row, column); }
    bool Enabled(int id) { return form->ToolAction(id)->isEnabled(); }
    bool Checked(int id) { return form->ToolAction(id)->isChecked(); }

    TempDir waves;
    TempDir settings;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CFormMemory> form;
    std::vector<int> hints;
    QStringList errors;
};

TEST_F(FormMemory, ListsTheFolderFromTheSettings)
{
    ASSERT_EQ(form->GetList().GetItemCount(), 2);
    EXPECT_EQ(Cell(0, 1), "alpha");
    EXPECT_EQ(Cell(1, 1), "beta");
    EXPECT_EQ(Cell(0, 10), "pulse");
    EXPECT_EQ(Cell(0, 12), "15.0");
    EXPECT_EQ(Cell(0, 5), "16");
    EXPECT_EQ(Cell(0, 4), "1.500");
    EXPECT_EQ(form->GetList().GetColumnHeading(8), "\u041C1");

    doc->m_bShowHalfVelocity = true;
    doc->UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(form->GetList().GetColumnHeading(4), "V/2");
    EXPECT_EQ(Cell(0, 4), "100.0");
}

TEST_F(FormMemory, ChannelCommandsLoadToggleAndColourTheRow)
{
    for (int id : {ID_LOAD_M1, ID_LOAD_M2, ID_LOAD_M3, ID_PREVIEW, ID_EXPORT_TEXT}) {
        EXPECT_FALSE(Enabled(id)) << "nothing selected";
    }
    EXPECT_TRUE(Enabled(ID_OPEN_WAVE_FOLDER));
    form->SelectRow(0);
    EXPECT_TRUE(Enabled(ID_LOAD_M1));

    form->ToolAction(ID_LOAD_M1)->trigger();
    ASSERT_TRUE(doc->m_memory[0].m_bOn);
    EXPECT_EQ(doc->m_memory[0].m_strName, "alpha");
    EXPECT_EQ(doc->m_memory[0].m_samples[5], 5);
    EXPECT_TRUE(Checked(ID_LOAD_M1));
    EXPECT_EQ(hints, std::vector<int>{HINT_MEMORY});

    form->ToolAction(ID_LOAD_M3)->trigger();
    const QModelIndex colour = form->GetList().model()->index(0, 0);
    EXPECT_EQ(colour.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(200, 0, 0)) << "M1 is tested first";
    EXPECT_EQ(colour.data(Qt::AccessibleTextRole).toString(), "M1 M3") << "told in words, not colour alone";

    form->ToolAction(ID_LOAD_M1)->trigger();
    EXPECT_FALSE(doc->m_memory[0].m_bOn) << "a second press takes the channel off";
    EXPECT_FALSE(Checked(ID_LOAD_M1));
    EXPECT_EQ(colour.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(200, 0, 200));

    // An upper-case extension loads too.
    form->SelectRow(1);
    form->ToolAction(ID_LOAD_M2)->trigger();
    EXPECT_TRUE(doc->m_memory[1].m_bOn);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FormMemory, DeletedFileGivesTheErrorBoxAndTheChannelStaysOff)
{
    form->SelectRow(0);
    std::filesystem::remove(waves / "alpha.tdr");
    form->ToolAction(ID_LOAD_M2)->trigger();
    EXPECT_FALSE(doc->m_memory[1].m_bOn);
    EXPECT_FALSE(Checked(ID_LOAD_M2));
    EXPECT_EQ(errors, QStringList{"Chosen waveform it isn't found.\nopen the new folder with waveforms."});
}

TEST_F(FormMemory, ChoosingAFolderSwitchesEveryChannelOff)
{
    form->SelectRow(0);
    form->ToolAction(ID_LOAD_M1)->trigger();
    TempDir other;
    other.WriteFile("gamma.tdr", TdrBytes().Bytes());
    form->SetFolderChooser([&](const QString&) { return QString::fromStdString(other.Folder() + "gamma.tdr"); });
    hints.clear();
    form->ToolAction(ID_OPEN_WAVE_FOLDER)->trigger();
    EXPECT_FALSE(doc->m_memory[0].m_bOn);
    EXPECT_EQ(hints, std::vector<int>{HINT_MEMORY});
    EXPECT_EQ(form->GetWaveFolder(), other.Folder());
    ASSERT_EQ(form->GetList().GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 1), "gamma");

    form->SetFolderChooser([](const QString&) { return QString(); });
    form->ToolAction(ID_OPEN_WAVE_FOLDER)->trigger();
    EXPECT_EQ(form->GetWaveFolder(), other.Folder()) << "cancelling changes nothing";
}

TEST_F(FormMemory, PreviewFollowsTheSelectionAndTakesItsStrip)
{
    const int listTop = form->GetList().y();
    form->SelectRow(0); // 62.5 m: samples 0..499
    EXPECT_EQ(form->GetPreviewRecord().m_strName, "alpha");
    EXPECT_EQ(form->GetPreview().GetLine(2)->GetPoint(42), QPoint(42, 42)) << "even while hidden";
    EXPECT_EQ(form->GetPreviewRecord().m_crColor, (Colour{0, 200, 255}));

    form->ToolAction(ID_PREVIEW)->trigger();
    EXPECT_TRUE(form->IsPreviewOn());
    EXPECT_EQ(form->GetList().y(), listTop + 250);
    EXPECT_TRUE(form->GetPreview().isVisible());
    form->ToolAction(ID_PREVIEW)->trigger();
    EXPECT_EQ(form->GetList().y(), listTop);
}

TEST_F(FormMemory, OpenFileFromTheCommandLine)
{
    EXPECT_TRUE(form->OpenWaveformFile((waves / "beta.TDR").string()));
    EXPECT_TRUE(doc->m_memory[0].m_bOn);
    EXPECT_EQ(doc->m_memory[0].m_strName, "beta");
    EXPECT_DOUBLE_EQ(doc->m_dScale, 1000) << "into an empty document: at the recording's own scale";
    EXPECT_FALSE(form->OpenWaveformFile((waves / "notes.txt").string()));
}

// A name that is not UTF-8 (a Windows-1251 "я" as the byte 0xFF) is listed
// readably and loads, previews, exports and opens by its bytes.
TEST_F(FormMemory, NamesThatAreNotUtf8LoadThroughThePanel)
{
    waves.WriteFile("bad\xFF.tdr", TdrBytes().Word(4, 9).Sample(0, 42).Bytes());
    form->ListWaveforms();
    int row = -1;
    for (int r = 0; r < form->GetList().GetItemCount(); ++r) {
        row = Cell(r, 1) == QString::fromUtf8("badя") ? r : row;
    }
    ASSERT_GE(row, 0);
    form->SelectRow(row);
    EXPECT_EQ(form->GetPreviewRecord().m_nGain, 9);
    form->ToolAction(ID_LOAD_M1)->trigger();
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    ASSERT_TRUE(doc->m_memory[0].m_bOn);
    EXPECT_EQ(doc->m_memory[0].m_nGain, 9);
    EXPECT_EQ(doc->m_memory[0].m_samples[0], 42);
    EXPECT_EQ(doc->m_memory[0].m_strName, "badя");

    form->OnCommand(ID_EXPORT_TEXT);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    EXPECT_EQ(waves.ReadFile("bad\xFF.txt").substr(0, 4), "42\r\n");

    form->OnCommand(ID_LOAD_M1); // off again
    ASSERT_FALSE(doc->m_memory[0].m_bOn);
    EXPECT_TRUE(form->OpenWaveformFile((waves / "bad\xFF.tdr").string()));
    EXPECT_EQ(doc->m_memory[0].m_nGain, 9);
}

TEST(FormMemorySettings, OpenIsWrittenBack)
{
    TempDir settings;
    {
        CZR815KDoc doc(settings / "param.ini");
        CFormMemory form(doc);
        EXPECT_EQ(form.GetWaveFolder().back(), '/');
    }
    EXPECT_NE(settings.ReadFile("param.ini").find("OPEN="), std::string::npos);
}

// A waveform folder whose name holds a byte that is not UTF-8 is remembered
// by its bytes, so the next start lists it again.
TEST(FormMemorySettings, AFolderNamedInOtherBytesSurvivesARestart)
{
    TempDir settings;
    TempDir parent;
    const std::filesystem::path folder = parent / "Zam\xFEry";
    std::filesystem::create_directory(folder);
    parent.WriteFile("Zam\xFEry/line.tdr", TdrBytes().Word(4, 7).Bytes());
    const std::string folderText = folder.string() + "/";
    settings.WriteFile("param.ini", "[KLM-204]\nOPEN=" + folderText + "\n");
    for (int run = 0; run < 2; ++run) {
        CZR815KDoc doc(settings / "param.ini");
        CFormMemory form(doc);
        form.OnInitialUpdate();
        EXPECT_EQ(form.GetWaveFolder(), folderText) << "run " << run;
        EXPECT_EQ(form.GetList().GetItemCount(), 1) << "run " << run;
    }
}

} // namespace
