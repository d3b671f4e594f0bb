// The table widget of the program: a column list whose cell texts live in its
// own row storage (CReportModel). Panels add columns, fill rows cell by cell
// in column order, then call UpdateItemCount to show the new row count.
// Grid lines, whole-row selection; selected rows keep their highlight when
// the list loses the focus. The owner may colour cells through SetCellColors.
#pragma once

#include "controls/ReportModel.h"

#include <QList>
#include <QStringList>
#include <QString>
#include <QTableView>

#include <vector>

class QFontMetrics;
class QPainter;

class CReportCtrl : public QTableView
{
    Q_OBJECT

  public:
    enum ColumnFormat : int {
        LVCFMT_LEFT = CReportModel::LVCFMT_LEFT,
        LVCFMT_RIGHT = CReportModel::LVCFMT_RIGHT,
        LVCFMT_CENTER = CReportModel::LVCFMT_CENTER,
    };
    using CellColors = CReportModel::CellColors;
    using CellColorFn = CReportModel::CellColorFn;

    // Printed row height in 0.01-inch units: the 12-unit font plus 2.
    static constexpr int kPrintRowHeight = 14;

    explicit CReportCtrl(QWidget* parent = nullptr, int nID = 0);

    int GetControlId() const { return m_nID; }

    // Appends a column with a heading and a format; returns its index. The
    // width is set separately (SetColumnWidth).
    int InsertColumn(const QString& strHeading, int nFormat = LVCFMT_LEFT);
    void SetColumnWidth(int nColumn, int nWidth);
    int GetColumnWidth(int nColumn) const;
    bool SetColumnHeading(int nColumn, const QString& strHeading);
    QString GetColumnHeading(int nColumn) const;
    int GetColumnCount() const;

    // Column 0 starts a new row at the end; any other column appends the next
    // cell of the last row (nRow is not used). The view's count is unchanged.
    // False, with nothing stored, when a cell comes before any row.
    bool AddItem(int nRow, int nColumn, const QString& strText);
    // Shows the stored rows: sets the view's row count and repaints.
    void UpdateItemCount();
    // Deletes a stored row and its view item; false for an index past the end.
    bool DeleteRow(int nRow);
    // Empties the storage; the view keeps its count until UpdateItemCount.
    void DeleteAllRows();

    // The stored text of a cell; empty for a cell the row lacks.
    QString GetCellText(int nRow, int nColumn) const;
    // The text the view shows for a cell (empty outside the view's rows).
    QString GetItemText(int nRow, int nColumn) const;
    // Rows in storage, and rows the view knows about.
    int GetRowCount() const;
    int GetItemCount() const;
    // Selected rows in ascending order.
    QList<int> GetSelectedRows() const;
    // Height of one row on the screen.
    int GetRowHeight() const;
    // The width a vertical scroll bar takes from the columns: its width when
    // the rows do not fit the view, else 0.
    int ScrollBarAllowance() const;

    // The owner's per-cell text and background colours.
    void SetCellColors(CellColorFn fnColors);
    // The owner's per-cell tooltips (an empty text for none).
    void SetCellToolTips(CReportModel::CellToolTipFn fnToolTips) { m_pModel->SetCellToolTips(std::move(fnToolTips)); }
    void SetCellAccessibleTexts(CReportModel::CellToolTipFn fnTexts)
    {
        m_pModel->SetCellAccessibleTexts(std::move(fnTexts));
    }

    // Shortens strText, measured with the control's font, to the longest
    // prefix that fits nWidth by itself followed by "..."; a text that fits is
    // left alone.
    void FitText(int nWidth, QString& strText) const;
    static void FitText(const QFontMetrics& fm, int nWidth, QString& strText);

    // Draws the header and every stored row as a ruled grid with the
    // painter's pen and brush: 0.01-inch units, y growing downward, origin at
    // the table's top-left corner; the columns share 4 x nPageWidthMm - 120
    // units equally; rows are kPrintRowHeight units high and the texts use
    // Arial with a 12-unit cell, centred in their cells and fitted to them.
    // Nothing is drawn for a table without columns.
    void PrintTable(QPainter& painter, int nPageWidthMm) const;
    // The same grid for any headings and rows (a row's missing cells are empty).
    static void PrintGrid(QPainter& painter, int nPageWidthMm, const QStringList& headings,
                          const std::vector<QStringList>& rows);

    CReportModel* GetModel() const { return m_pModel; }

  private:
    CReportModel* m_pModel;
    int m_nID;
};
