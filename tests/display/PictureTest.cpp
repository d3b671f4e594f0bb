#include "display/FormDraw.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The display form's picture: the plot and the legend, saved or copied.
class Picture : public ::testing::Test
{
protected:
    Picture()
        : doc(dir / "param.ini"), form(doc)
    {
        form.resize(800, 500);
        form.show();
        form.OnInitialUpdate();
        WaveformRecord& r = doc.m_memory[0];
        r.m_bOn = true;
        r.m_strName = "pic";
        r.m_dScale = 62.5;
        r.m_dSampleStep = 0.125;
        r.m_samples.fill(50);
        doc.UpdateAllViews(nullptr, HINT_MEMORY);
        form.SetErrorBox([this](const QString& text) { errors << text; });
    }
    // Pixels of M1's red anywhere in an image.
    static int RedPixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixelColor(x, y) == QColor(200, 0, 0) ? 1 : 0;
            }
        }
        return count;
    }

    TempDir dir;
    CZR815KDoc doc;
    CFormDraw form;
    QStringList errors;
};

TEST_F(Picture, SavedPngHasTheFormsSizeAndTheTrace)
{
    const QString path = QString::fromStdString((dir / "plot.png").string());
    form.SetPictureChooser([&] { return path; });
    EXPECT_TRUE(form.OnCommand(ID_SAVE_PICTURE));
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 500));
    EXPECT_GT(RedPixels(image), 400); // the trace across the plot, and the legend's text
    EXPECT_TRUE(errors.isEmpty());
    // Cancelled: nothing happens; unwritable: a message naming the file.
    form.SetPictureChooser([] { return QString(); });
    form.OnCommand(ID_SAVE_PICTURE);
    EXPECT_TRUE(errors.isEmpty());
    const QString bad = QString::fromStdString((dir / "no" / "such" / "plot.png").string());
    form.SetPictureChooser([&] { return bad; });
    form.OnCommand(ID_SAVE_PICTURE);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(bad));
}

TEST_F(Picture, CtrlCOnThePlotCopiesThePicture)
{
    QApplication::clipboard()->clear();
    form.GetPlot().setFocus();
    QTest::keyClick(&form.GetPlot(), Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(800, 500));
    EXPECT_GT(RedPixels(copied), 400);
}

} // namespace
