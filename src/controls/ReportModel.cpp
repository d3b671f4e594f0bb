#include "controls/ReportModel.h"

#include <QBrush>

CReportModel::CReportModel(QObject* parent) : QAbstractTableModel(parent) {}

int CReportModel::InsertColumn(const QString& strHeading, int nFormat)
{
    const int nIndex = GetColumnCount();
    beginInsertColumns(QModelIndex(), nIndex, nIndex);
    m_columns.push_back({strHeading, nFormat});
    endInsertColumns();
    return nIndex;
}

QString CReportModel::GetColumnHeading(int nColumn) const
{
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return QString();
    return m_columns[static_cast<size_t>(nColumn)].strHeading;
}

bool CReportModel::SetColumnHeading(int nColumn, const QString& strHeading)
{
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return false;
    m_columns[static_cast<size_t>(nColumn)].strHeading = strHeading;
    emit headerDataChanged(Qt::Horizontal, nColumn, nColumn);
    return true;
}

int CReportModel::GetColumnFormat(int nColumn) const
{
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return LVCFMT_LEFT;
    return m_columns[static_cast<size_t>(nColumn)].nFormat;
}

bool CReportModel::AddItem(int nColumn, const QString& strText)
{
    if (nColumn == 0) {
        m_rows.push_back(QStringList{strText});
        return true;
    }
    if (m_rows.empty())
        return false;
    m_rows.back().append(strText);
    return true;
}

void CReportModel::UpdateItemCount()
{
    const int nRows = GetStoredRowCount();
    if (nRows > m_nItemCount) {
        beginInsertRows(QModelIndex(), m_nItemCount, nRows - 1);
        m_nItemCount = nRows;
        endInsertRows();
    } else if (nRows < m_nItemCount) {
        beginRemoveRows(QModelIndex(), nRows, m_nItemCount - 1);
        m_nItemCount = nRows;
        endRemoveRows();
    }
    // Rows the view already had may hold new texts (a panel refills its rows).
    NotifyAllRowsChanged();
}

bool CReportModel::DeleteRow(int nRow)
{
    if (nRow < 0 || nRow >= GetStoredRowCount())
        return false;
    m_rows.erase(m_rows.begin() + nRow);
    if (nRow < m_nItemCount) {
        beginRemoveRows(QModelIndex(), nRow, nRow);
        --m_nItemCount;
        endRemoveRows();
    }
    UpdateItemCount();
    return true;
}

void CReportModel::DeleteAllRows()
{
    m_rows.clear();
    NotifyAllRowsChanged();
}

QString CReportModel::GetCellText(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= GetStoredRowCount() || nColumn < 0)
        return QString();
    const QStringList& cells = m_rows[static_cast<size_t>(nRow)];
    return nColumn < cells.size() ? cells.at(nColumn) : QString();
}

void CReportModel::SetCellColors(CellColorFn fnColors)
{
    m_fnColors = std::move(fnColors);
    NotifyAllRowsChanged();
}

int CReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nItemCount;
}

int CReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GetColumnCount();
}

QVariant CReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_nItemCount || index.column() >= GetColumnCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return GetCellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return static_cast<int>(AlignmentOf(GetColumnFormat(index.column())) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        if (!m_fnColors || index.row() >= GetStoredRowCount())
            return QVariant();
        const CellColors colors = m_fnColors(index.row(), index.column());
        const QColor& color = role == Qt::ForegroundRole ? colors.crText : colors.crBack;
        return color.isValid() ? QVariant(QBrush(color)) : QVariant();
    }
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole: {
        const CellToolTipFn& fn = role == Qt::ToolTipRole ? m_fnToolTips : m_fnAccessibleTexts;
        if (!fn || index.row() >= GetStoredRowCount())
            return QVariant();
        const QString text = fn(index.row(), index.column());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    default:
        return QVariant();
    }
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= GetColumnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return GetColumnHeading(section);
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(AlignmentOf(GetColumnFormat(section)) | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags CReportModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

Qt::Alignment CReportModel::AlignmentOf(int nFormat)
{
    switch (nFormat) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

void CReportModel::NotifyAllRowsChanged()
{
    if (m_nItemCount > 0 && GetColumnCount() > 0)
        emit dataChanged(index(0, 0), index(m_nItemCount - 1, GetColumnCount() - 1));
}
