#include "cablelib/CalibrateKU.h"

#include "base/CoreText.h"
#include "controls/HSpin.h"
#include "model/ScaleTables.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace {

// The longest length a field takes, far beyond any scale.
constexpr double kMaxLength = 1.0e6;

} // namespace

CCalibrateKU::CCalibrateKU(double cursor1, double cursor2, double factor, bool showHalfVelocity, QWidget* parent)
    : QDialog(parent), m_dCursor1(cursor1), m_dCursor2(cursor2), m_bHalfVelocity(showHalfVelocity)
{
    setWindowTitle(tr(kTitle));
    auto* grid = new QGridLayout(this);

    auto* lengthLabel = new QLabel(tr("Known length between C1 and C2:"), this);
    grid->addWidget(lengthLabel, 0, 0);
    // The field and its step buttons are placed by hand inside a holder.
    auto* holder = new QWidget(this);
    holder->setFixedSize(180, 24);
    m_pSpinLength = new CHSpin(holder, 1);
    m_pSpinLength->MoveSpin(QRect(0, 1, 180, 22));
    const double shown = std::fabs(cursor1 - cursor2) * tables::kReferenceFactor / factor;
    m_pSpinLength->SetParams(0, kMaxLength, std::isfinite(shown) ? shown : 0, 1, 3, MetreUnit());
    m_pSpinLength->SetSpinName(tr("Known length"));
    lengthLabel->setBuddy(m_pSpinLength);
    grid->addWidget(holder, 0, 1);

    auto* nameLabel = new QLabel(tr("Name:"), this);
    grid->addWidget(nameLabel, 1, 0);
    m_pEditName = new QLineEdit(tr("name"), this);
    m_pEditName->setAccessibleName(tr("Name"));
    nameLabel->setBuddy(m_pEditName);
    grid->addWidget(m_pEditName, 1, 1);

    m_pResult = new QLabel(this);
    m_pResult->setAccessibleDescription(tr("Result"));
    grid->addWidget(m_pResult, 2, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    m_pYes = new QPushButton(tr("Yes"), this);
    auto* no = new QPushButton(tr("No"), this);
    buttons->addStretch();
    buttons->addWidget(m_pYes);
    buttons->addWidget(no);
    grid->addLayout(buttons, 3, 0, 1, 2);
    connect(m_pYes, &QPushButton::clicked, this, &CCalibrateKU::accept);
    connect(no, &QPushButton::clicked, this, &CCalibrateKU::reject);
    // A committed length (Enter, wheel, buttons) shows its factor at once.
    connect(m_pSpinLength, &CHSpin::changeNotified, this, &CCalibrateKU::ShowResult);
    ShowResult();
    m_pSpinLength->setFocus();
}

Calibration CCalibrateKU::Result() const
{
    const SpinValue& value = m_pSpinLength->Value();
    const double length = value.IsTyping() ? SpinValue::ParseTyped(value.PendingText()) : value.GetValue();
    return CalibrateFactor(m_dCursor1, m_dCursor2, length, m_bHalfVelocity, CoreTranslation());
}

QString CCalibrateKU::GetName() const { return m_pEditName->text(); }

void CCalibrateKU::ShowResult()
{
    const Calibration result = Result();
    const bool ok = result.check == CalibrationCheck::Ok;
    m_pResult->setText(QString::fromStdString(result.text));
    // A screen reader reads the result itself ("PR = 1.992"), not a word for it.
    m_pResult->setAccessibleName(m_pResult->text());
    m_pResult->setStyleSheet(ok ? QString() : QString("color: rgb(190, 0, 0)"));
    m_pYes->setEnabled(ok);
}

void CCalibrateKU::accept()
{
    ShowResult();
    if (Result().check == CalibrationCheck::Ok) {
        QDialog::accept();
    }
}
