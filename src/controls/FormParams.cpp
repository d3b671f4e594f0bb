#include "controls/FormParams.h"

#include "base/CoreText.h"
#include "controls/ControlNotify.h"
#include "controls/HSpin.h"
#include "controls/core/ParamsPanel.h"
#include "model/ZR815KDoc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <cmath>
#include <utility>

namespace {

const char* const kShiftLabels[3] = {QT_TRANSLATE_NOOP("CFormParams", "Shift M1"),
                                     QT_TRANSLATE_NOOP("CFormParams", "Shift M2"),
                                     QT_TRANSLATE_NOOP("CFormParams", "Shift M3")};
const char* const kShiftTips[3] = {QT_TRANSLATE_NOOP("CFormParams", "Vertical waveform shift M1"),
                                   QT_TRANSLATE_NOOP("CFormParams", "Vertical waveform shift M2"),
                                   QT_TRANSLATE_NOOP("CFormParams", "Vertical waveform shift M3")};
const char* const kReferenceNames[3] = {QT_TRANSLATE_NOOP("CFormParams", "Reference M1"),
                                        QT_TRANSLATE_NOOP("CFormParams", "Reference M2"),
                                        QT_TRANSLATE_NOOP("CFormParams", "Reference M3")};
const char* const kReferenceTips[3] = {
    QT_TRANSLATE_NOOP("CFormParams",
                      "В режиме \"Разность\" из П1 поточечно вычитаются остальные рефлектограммы"),
    QT_TRANSLATE_NOOP("CFormParams",
                      "В режиме \"Разность\" из П2 поточечно вычитаются остальные рефлектограммы"),
    QT_TRANSLATE_NOOP("CFormParams",
                      "В режиме \"Разность\" из П3 поточечно вычитаются остальные рефлектограммы")};

QRect ToQRect(const ControlRect& r) { return QRect(r.x, r.y, r.width, r.height); }

} // namespace

CFormParams::CFormParams(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
    for (std::size_t k = 0; k < 3; ++k) {
        m_labels[k] = new QLabel(tr(kShiftLabels[k]), this);
        m_labels[k]->adjustSize();
    }
    // The factor's label switches between "PR" and "V/2" and keeps one size,
    // wide enough for either, with its text against the field.
    m_labels[3] = new QLabel(CoreText("V/2"), this);
    m_labels[3]->adjustSize();
    m_labels[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labels[3]->setText(CoreText("PR"));

    m_pCheckMarkers = new QCheckBox(tr("Отображать метки"), this);
    m_pCheckMarkers->setAccessibleName(m_pCheckMarkers->text());
    m_pCheckMarkers->setEnabled(false);
    m_pCheckMarkers->hide();

    m_pCheckDifference = new QCheckBox(tr("Difference"), this);
    m_pCheckDifference->setAccessibleName(m_pCheckDifference->text());
    m_pCheckDifference->setToolTip(tr("Draw every other waveform as the reference waveform minus it"));
    m_pCheckDifference->adjustSize();
    m_pCheckDifference->setChecked(doc.m_bDifference);
    connect(m_pCheckDifference, &QCheckBox::toggled, this, &CFormParams::OnDifferenceToggled);
}

void CFormParams::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    CZR815KDoc& doc = GetDocument();
    m_pReferenceGroup = new QButtonGroup(this);
    connect(m_pReferenceGroup, &QButtonGroup::idToggled, this, [this](int channel, bool checked) {
        if (checked && !m_bSettingMarks) {
            OnReferenceClicked(channel);
        }
    });
    for (std::size_t k = 0; k < 3; ++k) {
        CHSpin* field = new CHSpin(this, kShiftId + static_cast<int>(k));
        field->MoveSpin(QRect(20, 24 * static_cast<int>(k), 95, 22));
        field->SetParams(-kShiftFieldLimit, kShiftFieldLimit, doc.m_memory[k].m_nShift, 1, 0, "");
        field->SetSpinName(tr(kShiftLabels[k]));
        field->setToolTip(tr(kShiftTips[k]));
        m_labels[k]->setBuddy(field);
        connect(field, &CHSpin::changeNotified, this, &CFormParams::OnFieldChanged);
        field->ShowSpin(true);
        m_spinShift[k] = field;

        // Reference marks: one exclusive group, so that a click, the keyboard
        // and a screen reader's toggle all check one mark and make it the reference.
        auto* radio = new QRadioButton(this);
        radio->setGeometry(3, 24 * static_cast<int>(k) + 4, 16, 22);
        radio->setToolTip(tr(kReferenceTips[k]));
        radio->setAccessibleName(tr(kReferenceNames[k]));
        radio->setAccessibleDescription(tr(kReferenceTips[k]));
        m_pReferenceGroup->addButton(radio, static_cast<int>(k));
        radio->show();
        m_radioRef[k] = radio;
    }

    m_pSpinFactor = new CHSpin(this, kFactorId);
    m_pSpinFactor->MoveSpin(QRect(20, 76, 95, 22));
    m_pSpinFactor->setToolTip(tr("Current value of velocity factor"));
    m_labels[3]->setBuddy(m_pSpinFactor);
    connect(m_pSpinFactor, &CHSpin::changeNotified, this, &CFormParams::OnFieldChanged);
    SetFactorParams();
    m_pSpinFactor->EnableSpin(true);
    m_pSpinFactor->ShowSpin(true);

    m_pCheckMarkers->setChecked(doc.m_bShowMarkers);
    SetReferenceMarks({std::cmp_equal(0, doc.m_nReference), std::cmp_equal(1, doc.m_nReference),
                       std::cmp_equal(2, doc.m_nReference)},
                      {false, false, false});
    // No channel is drawn yet.
    for (CHSpin* field : m_spinShift) {
        field->EnableSpin(false);
        field->ShowText("-");
    }
    m_bCreated = true;
    Layout();
}

void CFormParams::SetFactorParams()
{
    const VelocityField f = VelocityFieldOf(GetDocument());
    m_labels[3]->setText(CoreText(f.label));
    m_pSpinFactor->SetSpinName(CoreText(f.label));
    m_pSpinFactor->SetParams(f.minimum, f.maximum, f.value, f.step, f.precision, "");
}

void CFormParams::OnUpdate(CDocView*, int hint)
{
    if (!m_bCreated) {
        return;
    }
    CZR815KDoc& doc = GetDocument();
    if (hint == HINT_VELOCITY) {
        SetFactorParams();
    }
    std::array<bool, 3> on{};
    std::array<bool, 3> checked{};
    for (std::size_t k = 0; k < 3; ++k) {
        on[k] = doc.m_memory[k].m_bOn;
        checked[k] = std::cmp_equal(k, doc.m_nReference);
        if (on[k]) {
            m_spinShift[k]->EnableSpin(true);
            m_spinShift[k]->SetValue(doc.m_memory[k].m_nShift);
        } else {
            m_spinShift[k]->EnableSpin(false);
            m_spinShift[k]->ShowText("-");
        }
    }
    const ReferenceMarks marks = UpdateReferenceMarks(on, checked);
    SetReferenceMarks(marks.checked, marks.enabled);
    for (std::size_t k = 0; k < 3; ++k) {
        if (marks.checked[k]) {
            doc.m_nReference = static_cast<int32_t>(k);
        }
    }
    {
        const QSignalBlocker quiet(m_pCheckDifference);
        m_pCheckDifference->setChecked(doc.m_bDifference);
    }
    if (marks.broadcast) {
        doc.UpdateAllViews(this, HINT_MEMORY);
    }
    m_pSpinFactor->SetValue(VelocityFieldValue(doc));
    m_pSpinFactor->EnableSpin(!doc.m_bGridApplied);
}

void CFormParams::OnFieldChanged(int id, int code)
{
    if (code != kEnUpdate) {
        return;
    }
    CZR815KDoc& doc = GetDocument();
    if (id >= kShiftId && id < kShiftId + 3) {
        const std::size_t k = static_cast<std::size_t>(id - kShiftId);
        doc.m_memory[k].m_nShift = static_cast<int32_t>(std::trunc(m_spinShift[k]->GetValue()));
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
    } else if (id == kFactorId) {
        doc.m_dFactor = FactorFromVelocityField(doc.m_bShowHalfVelocity, m_pSpinFactor->GetValue());
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
    }
}

void CFormParams::SetReferenceMarks(const std::array<bool, 3>& checked, const std::array<bool, 3>& enabled)
{
    // The rule may clear every mark (no channel on), which an exclusive group
    // refuses: exclusion is lifted while the program sets the marks. The
    // rule's marks on two channels at once leave the last one checked, the
    // one the document takes as the reference.
    std::size_t last = checked.size();
    for (std::size_t k = 0; k < checked.size(); ++k) {
        last = checked[k] ? k : last;
    }
    m_bSettingMarks = true;
    m_pReferenceGroup->setExclusive(false);
    for (std::size_t k = 0; k < 3; ++k) {
        m_radioRef[k]->setChecked(k == last);
        m_radioRef[k]->setEnabled(enabled[k]);
    }
    m_pReferenceGroup->setExclusive(true);
    m_bSettingMarks = false;
}

void CFormParams::OnReferenceClicked(int channel)
{
    CZR815KDoc& doc = GetDocument();
    doc.m_nReference = channel;
    doc.UpdateAllViews(this, HINT_MEMORY);
}

void CFormParams::OnDifferenceToggled(bool checked)
{
    GetDocument().m_bDifference = checked;
    GetDocument().UpdateAllViews(this, HINT_REDRAW);
}

void CFormParams::Layout()
{
    if (!m_bCreated) {
        return;
    }
    std::array<LabelSize, 4> sizes;
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        sizes[k] = {m_labels[k]->width(), m_labels[k]->height()};
    }
    const QSize box = m_pCheckDifference->size();
    const ParamsPlacement place = ComputeParamsLayout(width(), sizes, {box.width(), box.height()});
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        m_labels[k]->move(place.labels[k].x, place.labels[k].y);
    }
    for (std::size_t k = 0; k < 3; ++k) {
        m_spinShift[k]->MoveSpin(ToQRect(place.fields[k]));
    }
    m_pSpinFactor->MoveSpin(ToQRect(place.fields[3]));
    m_pCheckDifference->setGeometry(ToQRect(place.difference));
    update();
}

void CFormParams::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    Layout();
}
