#include "controls/FormSet.h"

#include "base/CoreText.h"
#include "base/NamedCombo.h"
#include "controls/ControlNotify.h"
#include "controls/HSpin.h"
#include "controls/core/CursorStrip.h"
#include "model/ZR815KDoc.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const char* const kLabelTexts[4] = {QT_TRANSLATE_NOOP("CFormSet", "C1"), QT_TRANSLATE_NOOP("CFormSet", "C2"),
                                    QT_TRANSLATE_NOOP("CFormSet", "L"),
                                    QT_TRANSLATE_NOOP("CFormSet", "Zoom")};

QRect ToQRect(const ControlRect& r) { return QRect(r.x, r.y, r.width, r.height); }

void Fill(CHSpin* field, const CursorField& f)
{
    field->SetParams(f.minimum, f.maximum, f.value, f.step, 3, MetreUnit());
}

} // namespace

CFormSet::CFormSet(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i] = new QLabel(tr(kLabelTexts[i]), this);
        m_labels[i]->adjustSize();
    }
}

CHSpin* CFormSet::CreateCursorField(int id, const char* name, const char* tip)
{
    auto* field = new CHSpin(this, id);
    field->SetParams(0, 15.625, 0, 0.03125, 3, MetreUnit());
    field->EnableSpin(true);
    field->SetSpinName(tr(name));
    field->setToolTip(tr(tip));
    connect(field, &CHSpin::changeNotified, this, &CFormSet::OnFieldChanged);
    return field;
}

void CFormSet::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    m_pSpinC1 = CreateCursorField(kCursor1Id, QT_TR_NOOP("C1"),
                                  QT_TR_NOOP("Distance between zero point to the cursor C1"));
    m_pSpinC2 = CreateCursorField(kCursor2Id, QT_TR_NOOP("C2"),
                                  QT_TR_NOOP("Distance between zero point to the cursor C2"));

    m_pEditL = new QLineEdit(this);
    m_pEditL->setAlignment(Qt::AlignCenter);
    m_pEditL->setAccessibleName(tr("L"));
    m_pEditL->setToolTip(tr("Distance between cursors"));
    m_pComboZoom = new QComboBox(this);
    m_pComboZoom->setAccessibleName(tr("Zoom"));
    NameComboByLabel(m_pComboZoom);
    m_pComboZoom->setToolTip(tr("Zoom value"));
    m_labels[0]->setBuddy(m_pSpinC1);
    m_labels[1]->setBuddy(m_pSpinC2);
    m_labels[2]->setBuddy(m_pEditL);
    m_labels[3]->setBuddy(m_pComboZoom);
    connect(m_pComboZoom, &QComboBox::activated, this, &CFormSet::OnZoomSelected);
    FillZoomList();

    const CursorReadout readout = InitialCursorReadout(GetDocument());
    Fill(m_pSpinC1, readout.c1);
    Fill(m_pSpinC2, readout.c2);
    m_pEditL->setText(WithMetreUnit(readout.length));
    for (QWidget* control : std::initializer_list<QWidget*>{m_pSpinC1, m_pSpinC2, m_pEditL, m_pComboZoom}) {
        control->show();
    }
    m_pSpinC1->ShowSpin(true);
    m_pSpinC2->ShowSpin(true);
    m_bCreated = true;
    Layout();
}

void CFormSet::FillZoomList()
{
    const CZR815KDoc& doc = GetDocument();
    m_pComboZoom->clear();
    for (const std::string& entry : ZoomEntries(doc.m_dScale)) {
        m_pComboZoom->addItem(QString::fromStdString(entry));
    }
    m_pComboZoom->setCurrentIndex(doc.m_nZoom);
}

void CFormSet::OnUpdate(CDocView*, int)
{
    if (!m_bCreated) {
        return;
    }
    const CursorReadout readout = CursorReadoutOf(GetDocument());
    Fill(m_pSpinC1, readout.c1);
    Fill(m_pSpinC2, readout.c2);
    m_pEditL->setText(WithMetreUnit(readout.length));
    FillZoomList();
}

void CFormSet::OnFieldChanged(int id, int code)
{
    if (code != kEnUpdate) {
        return;
    }
    CZR815KDoc& doc = GetDocument();
    if (id == kCursor1Id) {
        doc.SetCursorDistance(doc.m_dCursor1, m_pSpinC1->GetValue());
    } else if (id == kCursor2Id) {
        doc.SetCursorDistance(doc.m_dCursor2, m_pSpinC2->GetValue());
    }
}

void CFormSet::OnZoomSelected(int index) { GetDocument().SetZoom(index); }

void CFormSet::Layout()
{
    if (!m_bCreated) {
        return;
    }
    std::array<LabelSize, 4> sizes;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        sizes[i] = {m_labels[i]->width(), m_labels[i]->height()};
    }
    const StripPlacement place = ComputeStripLayout(width(), height(), sizes);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        m_labels[i]->move(place.labels[i].x, place.labels[i].y);
    }
    m_pSpinC1->MoveSpin(ToQRect(place.controls[0]));
    m_pSpinC2->MoveSpin(ToQRect(place.controls[1]));
    m_pEditL->setGeometry(ToQRect(place.controls[2]));
    m_pComboZoom->setGeometry(ToQRect(place.controls[3]));
    update();
}

void CFormSet::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    Layout();
}
