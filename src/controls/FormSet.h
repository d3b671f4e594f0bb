// The cursor strip across the top of the window: the distances of C1 and C2
// from the zero point as spin fields, the distance between them, and the zoom
// list. Typing or stepping a cursor field moves that cursor (snapped to the
// column grid); picking a zoom zooms about the anchor cursor. Every update
// refreshes all four from the document without feeding back into it.
#pragma once

#include "base/FormView.h"

#include <array>

class CHSpin;
class QComboBox;
class QLabel;
class QLineEdit;

class CFormSet : public CFormView
{
    Q_OBJECT
public:
    static constexpr int kCursor1Id = 150;
    static constexpr int kCursor2Id = 151;
    static constexpr int kZoomId = 152;
    static constexpr int kLengthId = 153;

    explicit CFormSet(CZR815KDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;

    bool IsCreated() const { return m_bCreated; }
    CHSpin* GetCursorField(int index) const { return index == 0 ? m_pSpinC1 : m_pSpinC2; }
    QLineEdit* GetLengthField() const { return m_pEditL; }
    QComboBox* GetZoomList() const { return m_pComboZoom; }
    // "C1", "C2", "L", "Zoom".
    QLabel* GetLabel(int index) const { return m_labels[static_cast<std::size_t>(index)]; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CHSpin* CreateCursorField(int id, const char* name, const char* tip);
    void OnFieldChanged(int id, int code);
    void OnZoomSelected(int index);
    void FillZoomList();
    void Layout();

    std::array<QLabel*, 4> m_labels{};
    CHSpin* m_pSpinC1 = nullptr;
    CHSpin* m_pSpinC2 = nullptr;
    QLineEdit* m_pEditL = nullptr;
    QComboBox* m_pComboZoom = nullptr;
    bool m_bCreated = false;
};
