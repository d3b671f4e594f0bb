#include "display/ArrPoints.h"

#include <algorithm>

CArrPoints::CArrPoints(const QColor& crColor, int nCount, const QString& strName)
    : m_points(static_cast<size_t>(std::max(nCount, 0)), QPoint(0, 0)), m_strName(strName), m_crColor(crColor)
{
}

bool CArrPoints::SetPoint(int nIndex, int x, int y)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return false;
    m_points[static_cast<size_t>(nIndex)] = QPoint(x, y);
    return true;
}

QPoint CArrPoints::GetPoint(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return QPoint(0, 0);
    return m_points[static_cast<size_t>(nIndex)];
}
