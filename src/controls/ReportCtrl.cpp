#include "controls/ReportCtrl.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QItemSelectionModel>
#include <QStyle>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

const QString kEllipsis = QStringLiteral("...");

// Removes the last character, keeping a surrogate pair whole.
void ChopCharacter(QString& text)
{
    const qsizetype n = text.size();
    if (n >= 2 && text.at(n - 1).isLowSurrogate() && text.at(n - 2).isHighSurrogate())
        text.chop(2);
    else
        text.chop(1);
}

// Arial whose whole cell (ascent plus descent) is 12 units high, so that a
// text drawn one unit below a rule clears the next rule of its 14-unit row.
QFont PrintFont()
{
    constexpr int kCellHeight = CReportCtrl::kPrintRowHeight - 2;
    QFont font(QStringLiteral("Arial"));
    int nPixelSize = kCellHeight;
    font.setPixelSize(nPixelSize);
    while (nPixelSize > 1 && QFontMetrics(font).height() > kCellHeight)
        font.setPixelSize(--nPixelSize);
    return font;
}

// Draws text with its top-left corner at (x, y).
void DrawTextTopLeft(QPainter& painter, const QFontMetrics& fm, int x, int y, const QString& text)
{
    painter.drawText(QPoint(x, y + fm.ascent()), text);
}

} // namespace

namespace {

// A cell the owner gives a background colour keeps it even in a selected row
// (the colour cell of a loaded waveform); every other cell of a selected row
// shows the selection.
class COwnerColourDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(Qt::BackgroundRole).isValid()) {
            option->state &= ~QStyle::State_Selected;
        }
    }
};

} // namespace

CReportCtrl::CReportCtrl(QWidget* parent, int nID)
    : QTableView(parent), m_pModel(new CReportModel(this)), m_nID(nID)
{
    setModel(m_pModel);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Rows all have one height, so the view never measures their contents.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    // Columns are sized by their owner; a width of 0 hides a column.
    QHeaderView* columns = horizontalHeader();
    columns->setMinimumSectionSize(0);
    columns->setStretchLastSection(false);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);

    // A selection stays as visible without the focus as with it.
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setBrush(QPalette::Inactive, role, pal.brush(QPalette::Active, role));
    setPalette(pal);

    setItemDelegate(new COwnerColourDelegate(this));
}

int CReportCtrl::InsertColumn(const QString& strHeading, int nFormat)
{
    return m_pModel->InsertColumn(strHeading, nFormat);
}

void CReportCtrl::SetColumnWidth(int nColumn, int nWidth)
{
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return;
    setColumnWidth(nColumn, std::max(nWidth, 0));
}

int CReportCtrl::GetColumnWidth(int nColumn) const
{
    return columnWidth(nColumn);
}

bool CReportCtrl::SetColumnHeading(int nColumn, const QString& strHeading)
{
    return m_pModel->SetColumnHeading(nColumn, strHeading);
}

QString CReportCtrl::GetColumnHeading(int nColumn) const
{
    return m_pModel->GetColumnHeading(nColumn);
}

int CReportCtrl::GetColumnCount() const
{
    return m_pModel->GetColumnCount();
}

bool CReportCtrl::AddItem(int /*nRow*/, int nColumn, const QString& strText)
{
    return m_pModel->AddItem(nColumn, strText);
}

void CReportCtrl::UpdateItemCount()
{
    m_pModel->UpdateItemCount();
}

bool CReportCtrl::DeleteRow(int nRow)
{
    return m_pModel->DeleteRow(nRow);
}

void CReportCtrl::DeleteAllRows()
{
    m_pModel->DeleteAllRows();
}

QString CReportCtrl::GetCellText(int nRow, int nColumn) const
{
    return m_pModel->GetCellText(nRow, nColumn);
}

QString CReportCtrl::GetItemText(int nRow, int nColumn) const
{
    return m_pModel->data(m_pModel->index(nRow, nColumn), Qt::DisplayRole).toString();
}

int CReportCtrl::GetRowCount() const
{
    return m_pModel->GetStoredRowCount();
}

int CReportCtrl::GetItemCount() const
{
    return m_pModel->GetItemCount();
}

QList<int> CReportCtrl::GetSelectedRows() const
{
    // Read from the selection's ranges once: the selection model's own
    // selectedRows() merges the whole selection again for every row it tests,
    // which takes seconds for some thousands of rows selected one by one.
    QList<int> rows;
    const int nLastColumn = GetColumnCount() - 1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (!range.isValid())
            continue;
        const bool bWholeRows = range.left() == 0 && range.right() == nLastColumn;
        for (int nRow = range.top(); nRow <= range.bottom(); ++nRow) {
            if (bWholeRows || selectionModel()->isRowSelected(nRow, QModelIndex()))
                rows.append(nRow);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CReportCtrl::GetRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

int CReportCtrl::ScrollBarAllowance() const
{
    const int perPage = std::max(viewport()->height(), 0) / std::max(GetRowHeight(), 1);
    return GetItemCount() > perPage ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
}

void CReportCtrl::SetCellColors(CellColorFn fnColors)
{
    m_pModel->SetCellColors(std::move(fnColors));
}

void CReportCtrl::FitText(int nWidth, QString& strText) const
{
    FitText(fontMetrics(), nWidth, strText);
}

void CReportCtrl::FitText(const QFontMetrics& fm, int nWidth, QString& strText)
{
    if (fm.horizontalAdvance(strText) <= nWidth)
        return;
    QString strPrefix = strText;
    while (!strPrefix.isEmpty()) {
        ChopCharacter(strPrefix);
        strText = strPrefix + kEllipsis;
        if (fm.horizontalAdvance(strPrefix) <= nWidth)
            return;
    }
}

void CReportCtrl::PrintTable(QPainter& painter, int nPageWidthMm) const
{
    QStringList headings;
    for (int i = 0; i < GetColumnCount(); ++i)
        headings.append(GetColumnHeading(i));
    std::vector<QStringList> rows(static_cast<std::size_t>(std::max(GetRowCount(), 0)));
    for (int j = 0; j < GetRowCount(); ++j)
        for (int i = 0; i < GetColumnCount(); ++i)
            rows[static_cast<std::size_t>(j)].append(GetCellText(j, i));
    PrintGrid(painter, nPageWidthMm, headings, rows);
}

void CReportCtrl::PrintGrid(QPainter& painter, int nPageWidthMm, const QStringList& headings,
                            const std::vector<QStringList>& rows)
{
    const int nColumns = static_cast<int>(headings.size());
    if (nColumns <= 0)
        return;
    const int cw = (4 * nPageWidthMm - 120) / nColumns;
    const int rh = kPrintRowHeight;

    painter.save();
    painter.setFont(PrintFont());
    // The texts are fitted with the font they are printed in.
    const QFontMetrics fm = painter.fontMetrics();
    const auto drawCell = [&](int x0, int top, int nFitWidth, QString text) {
        painter.drawRect(QRect(x0, top, cw, rh));
        FitText(fm, nFitWidth, text);
        const int tw = fm.horizontalAdvance(text);
        DrawTextTopLeft(painter, fm, x0 + cw / 2 - tw / 2, top + 1, text);
    };
    for (int i = 0; i < nColumns; ++i) {
        const int x0 = cw * i;
        drawCell(x0, 0, cw - 1, headings[i]);
        for (std::size_t j = 0; j < rows.size(); ++j)
            drawCell(x0, static_cast<int>(j + 1) * rh, cw - 2, i < rows[j].size() ? rows[j][i] : QString());
    }
    painter.restore();
}
