// The report list: its row storage and the count the view sees, what the view
// is given for each cell, text fitting and the printed grid.
#include "controls/ReportCtrl.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// A list with three columns, filled the way the panels fill theirs.
class ReportTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        list.InsertColumn("Name", CReportCtrl::LVCFMT_LEFT);
        list.InsertColumn("Scale", CReportCtrl::LVCFMT_RIGHT);
        list.InsertColumn("Pulse", CReportCtrl::LVCFMT_CENTER);
    }
    void AddRow(const QStringList& cells)
    {
        for (int i = 0; i < cells.size(); ++i)
            list.AddItem(77, i, cells[i]); // the row number has no effect
    }
    QVariant Data(int row, int column, int role = Qt::DisplayRole) const
    {
        return list.GetModel()->data(list.GetModel()->index(row, column), role);
    }

    CReportCtrl list;
};

TEST_F(ReportTest, RowsAreStoredCellByCellAndShownAfterUpdate)
{
    AddRow({"a.tdr", "62.500", "10"});
    EXPECT_EQ(list.GetRowCount(), 1);
    EXPECT_EQ(list.GetItemCount(), 0); // the view learns of it only on update
    list.UpdateItemCount();
    AddRow({"short"}); // a row lacking cells
    list.UpdateItemCount();
    EXPECT_EQ(list.GetModel()->rowCount(), 2);
    EXPECT_EQ(list.GetItemText(0, 2), "10");
    EXPECT_EQ(list.GetItemText(1, 0), "short");
    EXPECT_EQ(list.GetItemText(1, 2), ""); // missing cells show empty
    EXPECT_EQ(list.GetCellText(7, 0), "");
    EXPECT_FALSE(Data(2, 0).isValid());

    CReportCtrl empty;
    empty.InsertColumn("A");
    EXPECT_FALSE(empty.AddItem(0, 1, "orphan")); // a cell before any row is refused
    EXPECT_EQ(empty.GetRowCount(), 0);
}

TEST_F(ReportTest, DeletingRowsAndTheViewCount)
{
    for (const char* name : {"a", "b", "c"})
        AddRow({name, "1", "2"});
    list.UpdateItemCount();
    EXPECT_FALSE(list.DeleteRow(3));
    EXPECT_FALSE(list.DeleteRow(-1));
    EXPECT_TRUE(list.DeleteRow(1));
    EXPECT_EQ(list.GetRowCount(), 2);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 0), "c");
    AddRow({"d"}); // a stored row the view was not yet told about
    EXPECT_TRUE(list.DeleteRow(2));
    EXPECT_EQ(list.GetItemCount(), 2);

    list.DeleteAllRows(); // the view keeps its count until the update
    EXPECT_EQ(list.GetRowCount(), 0);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(Data(1, 2).toString(), "");
    list.resize(300, 200);
    EXPECT_FALSE(list.grab().isNull()); // painting the stale rows is safe
    AddRow({"e", "5", "6"});
    list.UpdateItemCount();
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), "e");
}

TEST_F(ReportTest, OwnerColoursAndColumnFormatsReachTheDataRoles)
{
    AddRow({"M1", "x", "y"});
    AddRow({"M2", "x", "y"});
    list.UpdateItemCount();
    EXPECT_FALSE(Data(0, 0, Qt::ForegroundRole).isValid());
    list.SetCellColors([this](int row, int) {
        CReportCtrl::CellColors colors;
        if (list.GetCellText(row, 0) == "M1")
            colors.crText = QColor(200, 0, 0);
        colors.crBack = Qt::black;
        return colors;
    });
    EXPECT_EQ(Data(0, 2, Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 0, 0));
    EXPECT_EQ(Data(0, 1, Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::black));
    EXPECT_FALSE(Data(1, 1, Qt::ForegroundRole).isValid()); // invalid colour: the default

    EXPECT_EQ(Data(0, 1, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(Data(0, 2, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(list.GetModel()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
}

TEST_F(ReportTest, CentredColumnShowsItsTextInTheMiddleOfTheCell)
{
    AddRow({"a", "b", "88"});
    list.UpdateItemCount();
    list.SetColumnWidth(2, 160);
    list.resize(500, 200);
    const QImage image = list.viewport()->grab().toImage();
    const QRect cell = list.visualRect(list.GetModel()->index(0, 2)).adjusted(2, 2, -2, -2);
    const QColor paper = image.pixelColor(cell.left(), cell.top());
    int inkLeft = cell.right() + 1, inkRight = cell.left() - 1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (image.pixelColor(x, y) != paper) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    ASSERT_LE(inkLeft, inkRight) << "the text was drawn";
    const int gapLeft = inkLeft - cell.left(), gapRight = cell.right() - inkRight;
    EXPECT_GT(gapLeft, 40);
    EXPECT_NEAR(gapLeft, gapRight, 4);
}

TEST_F(ReportTest, ViewAsksOnlyForThePaintedRows)
{
    std::set<int> asked;
    list.SetCellColors([&asked](int row, int) {
        asked.insert(row);
        return CReportCtrl::CellColors{};
    });
    for (int i = 0; i < 5000; ++i)
        AddRow({QString::number(i), "a", "b"});
    list.UpdateItemCount();
    list.resize(300, 200);
    asked.clear();
    list.grab();
    ASSERT_FALSE(asked.empty());
    EXPECT_LT(asked.size(), 50u);
}

TEST(ReportFitText, LongestFittingPrefixFollowedByAnEllipsis)
{
    QFont font("Arial");
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    const QString original = "Waveform name of a rather long cable";
    QString text = original;
    CReportCtrl::FitText(fm, fm.horizontalAdvance(original), text);
    EXPECT_EQ(text, original); // fits exactly: unchanged

    text = original;
    CReportCtrl::FitText(fm, fm.horizontalAdvance("Waveform na"), text);
    EXPECT_EQ(text, "Waveform na...");
    for (int tiny : {0, -5}) {
        text = original;
        CReportCtrl::FitText(fm, tiny, text);
        EXPECT_EQ(text, "...") << tiny;
    }
    // A character outside the basic plane is never cut in half.
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
    for (int width = 0; width < fm.horizontalAdvance("ab" + clef + clef + clef); ++width) {
        text = "ab" + clef + clef + clef;
        CReportCtrl::FitText(fm, width, text);
        ASSERT_FALSE(text.chopped(3).endsWith(clef.at(0))) << width;
    }
}

QImage PrintToImage(const CReportCtrl& list, int nPageWidthMm, QSize size)
{
    QImage paper(size, QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.setPen(QPen(Qt::black, 1));
    list.PrintTable(painter, nPageWidthMm);
    return paper;
}

bool IsBlack(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::black);
}

TEST_F(ReportTest, PrintedGridLinesLieOnTheColumnAndRowBoundaries)
{
    list.InsertColumn("Fourth", CReportCtrl::LVCFMT_CENTER);
    AddRow({"a", "b", "c", "d"});
    AddRow({"e"});              // a short row prints empty cells
    const int cw = 70, rh = 14; // 4 x 100 mm - 120 = 280 units over 4 columns
    const QImage paper = PrintToImage(list, 100, QSize(300, 80));
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x) {
            const bool onRule =
                (x % cw == 0 && x <= 4 * cw && y <= 3 * rh) || (y % rh == 0 && y <= 3 * rh && x <= 4 * cw);
            const bool emptyCell = y > 2 * rh && y < 3 * rh && x > cw && x < 4 * cw;
            if (onRule) {
                ASSERT_TRUE(IsBlack(paper, x, y)) << x << "," << y;
            } else if (x > 4 * cw || y > 3 * rh || emptyCell) {
                ASSERT_EQ(paper.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
            }
        }

    // Without rows only the header prints; without columns nothing does.
    list.DeleteAllRows();
    list.SetColumnHeading(0, "A heading far wider than its printed column");
    const QImage header = PrintToImage(list, 100, QSize(300, 80));
    EXPECT_TRUE(IsBlack(header, 10, rh));
    for (int y = rh + 1; y < header.height(); ++y)
        for (int x = 0; x < header.width(); ++x)
            ASSERT_EQ(header.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
    const QImage blank = PrintToImage(CReportCtrl(), 100, QSize(50, 50));
    EXPECT_EQ(blank.pixelColor(0, 0), QColor(Qt::white));
}

} // namespace
