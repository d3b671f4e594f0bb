// The parameters panel at the top of the right column: the vertical shift of
// each memory channel and the velocity factor, as PR or as V/2. A user step or
// a committed value goes straight into the document; every update re-reads all
// fields from it. A shift field shows "-" while its channel is off, and the
// velocity field is disabled while a site grid gives the factors.
//
// Three reference-channel marks beside the shift fields and a "Difference"
// check box under them drive difference mode: the document keeps the mode and
// the reference, and the panel shows and sets them. A markers check box is
// never shown; the panel keeps its state as the other views expect.
#pragma once

#include "base/FormView.h"

#include <array>

class CHSpin;
class QCheckBox;
class QLabel;
class QButtonGroup;
class QRadioButton;

class CFormParams : public CFormView
{
    Q_OBJECT
public:
    static constexpr int kShiftId = 140;    // + channel
    static constexpr int kFactorId = 148;
    static constexpr int kReferenceId = 163; // + channel
    static constexpr int kMarkersId = 1035;

    explicit CFormParams(CZR815KDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnUpdate(CDocView* sender, int hint) override;

    bool IsCreated() const { return m_bCreated; }
    CHSpin* GetShiftField(int channel) const { return m_spinShift[static_cast<std::size_t>(channel)]; }
    CHSpin* GetFactorField() const { return m_pSpinFactor; }
    QRadioButton* GetReference(int channel) const { return m_radioRef[static_cast<std::size_t>(channel)]; }
    QCheckBox* GetMarkersBox() const { return m_pCheckMarkers; }
    QCheckBox* GetDifferenceBox() const { return m_pCheckDifference; }
    // "Shift M1", "Shift M2", "Shift M3", "PR" or "V/2".
    QLabel* GetLabel(int row) const { return m_labels[static_cast<std::size_t>(row)]; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetFactorParams();
    void OnFieldChanged(int id, int code);
    void OnReferenceClicked(int channel);
    void SetReferenceMarks(const std::array<bool, 3>& checked, const std::array<bool, 3>& enabled);
    void OnDifferenceToggled(bool checked);
    void Layout();

    std::array<QLabel*, 4> m_labels{};
    std::array<CHSpin*, 3> m_spinShift{};
    std::array<QRadioButton*, 3> m_radioRef{};
    QButtonGroup* m_pReferenceGroup = nullptr;
    bool m_bSettingMarks = false; // the program sets the marks: not a user's choice
    CHSpin* m_pSpinFactor = nullptr;
    QCheckBox* m_pCheckMarkers = nullptr;
    QCheckBox* m_pCheckDifference = nullptr;
    bool m_bCreated = false;
};
