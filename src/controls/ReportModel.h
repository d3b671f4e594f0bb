// Row storage of the report list: rows of cell texts in display order, the
// column headings and formats, and the number of rows the view is told about.
// The view asks only for the cells it paints.
//
// The stored rows are the truth; the count the view sees follows them only
// when UpdateItemCount is called, so a panel can empty and refill its rows and
// publish the result in one step.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CReportModel : public QAbstractTableModel
{
    Q_OBJECT

  public:
    // Column formats (text alignment of the heading and the cells).
    enum ColumnFormat : int {
        LVCFMT_LEFT = 0,
        LVCFMT_RIGHT = 1,
        LVCFMT_CENTER = 2,
    };

    // Colours of one cell; an invalid colour leaves the view's default.
    struct CellColors
    {
        QColor crText;
        QColor crBack;
    };
    // Supplied by the owner; called only for stored rows.
    using CellColorFn = std::function<CellColors(int nRow, int nColumn)>;
    // The tooltip of a stored cell, supplied by the owner; empty for none.
    using CellToolTipFn = std::function<QString(int nRow, int nColumn)>;

    explicit CReportModel(QObject* parent = nullptr);

    // Appends a column; returns its index.
    int InsertColumn(const QString& strHeading, int nFormat);
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString GetColumnHeading(int nColumn) const;
    bool SetColumnHeading(int nColumn, const QString& strHeading);
    int GetColumnFormat(int nColumn) const;

    // Column 0 starts a new last row; any other column appends the next cell
    // of the last row. False (nothing stored) for a cell without a row.
    bool AddItem(int nColumn, const QString& strText);
    // Tells the view the number of stored rows and has it repaint them.
    void UpdateItemCount();
    // Removes a stored row (and its view item); false for an index past the end.
    bool DeleteRow(int nRow);
    // Empties the storage; the view's count stays until UpdateItemCount.
    void DeleteAllRows();

    // The stored text; empty for a cell the row lacks or a row not stored.
    QString GetCellText(int nRow, int nColumn) const;
    int GetStoredRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetItemCount() const { return m_nItemCount; }

    void SetCellColors(CellColorFn fnColors);

    void SetCellToolTips(CellToolTipFn fnToolTips) { m_fnToolTips = std::move(fnToolTips); }
    // What a screen reader reads for a cell whose text alone says too little
    // (a cell that speaks by its colour); empty keeps the cell's text.
    void SetCellAccessibleTexts(CellToolTipFn fnTexts) { m_fnAccessibleTexts = std::move(fnTexts); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Qt alignment of a column format.
    static Qt::Alignment AlignmentOf(int nFormat);

  private:
    struct Column
    {
        QString strHeading;
        int nFormat;
    };

    void NotifyAllRowsChanged();

    std::vector<Column> m_columns;
    std::vector<QStringList> m_rows;
    int m_nItemCount = 0;
    CellColorFn m_fnColors;
    CellToolTipFn m_fnToolTips;
    CellToolTipFn m_fnAccessibleTexts;
};
