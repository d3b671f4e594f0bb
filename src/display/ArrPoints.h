// One polyline of the plot widget: its vertices in data coordinates, the text
// of its name label, its visibility/label state and its screen colour.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <vector>

class CArrPoints
{
  public:
    // State flags (SetState keeps only these three bits).
    enum State : int {
        StateHidden = 0,
        StateVisible = 1, // the line is drawn
        StateLabel = 4,   // the name label is drawn at the last vertex
        StateMask = 7,
    };

    // A polyline of nCount vertices, all (0, 0), hidden. A negative count is
    // taken as zero.
    CArrPoints(const QColor& crColor, int nCount, const QString& strName);

    void SetState(int nFlags) { m_nState = nFlags & StateMask; }
    int GetState() const { return m_nState; }
    bool IsVisible() const { return (m_nState & StateVisible) != 0; }
    bool HasLabel() const { return (m_nState & StateLabel) != 0; }

    // Sets vertex nIndex; false (and nothing changed) when there is no such vertex.
    bool SetPoint(int nIndex, int x, int y);
    // The vertex at nIndex; (0, 0) when there is no such vertex.
    QPoint GetPoint(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_points.size()); }
    const std::vector<QPoint>& GetPoints() const { return m_points; }

    void SetColor(const QColor& crColor) { m_crColor = crColor; }
    const QColor& GetColor() const { return m_crColor; }
    void SetName(const QString& strName) { m_strName = strName; }
    const QString& GetName() const { return m_strName; }

  private:
    std::vector<QPoint> m_points;
    QString m_strName;
    int m_nState = StateHidden;
    QColor m_crColor;
};
