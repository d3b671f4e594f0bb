#include "cablelib/TableKU.h"

#include "base/CoreText.h"
#include "cablelib/core/CablePanel.h"
#include "controls/HSpin.h"
#include "library/core/FileNameText.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

CTableKU::CTableKU(bool showHalfVelocity, QWidget* parent)
    : QDialog(parent), m_bHalfVelocity(showHalfVelocity)
{
    setWindowTitle(tr(kTitle));
    setFixedSize(279, 146);

    m_pEditName = new QLineEdit(m_strName, this);
    m_pEditName->setGeometry(16, 45, 128, 23);
    m_pEditName->setAccessibleName(tr("Name"));
    m_pEditName->selectAll();

    m_pSpinValue = new CHSpin(this, kValueId);
    m_pSpinValue->MoveSpin(QRect(150, 46, 115, 22));
    if (showHalfVelocity) {
        m_pSpinValue->SetParams(50, 150, 100, 0.1, 1, "");
        m_pSpinValue->SetSpinName(CoreText("V/2"));
    } else {
        m_pSpinValue->SetParams(1, 3, 1.5, 0.001, 3, "");
        m_pSpinValue->SetSpinName(CoreText("PR"));
    }

    m_pYes = new QPushButton(tr("Yes"), this);
    m_pYes->setGeometry(50, 112, 75, 23);
    m_pYes->setDefault(true);
    m_pNo = new QPushButton(tr("No"), this);
    m_pNo->setGeometry(147, 112, 75, 23);
    connect(m_pYes, &QPushButton::clicked, this, &CTableKU::accept);
    connect(m_pNo, &QPushButton::clicked, this, &CTableKU::reject);

    m_fnErrorBox = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    m_pEditName->setFocus();
}

void CTableKU::accept()
{
    const QString value = m_pSpinValue->text();
    const CellCheck check = CheckFactorCell(value.toStdString(), m_bHalfVelocity).check;
    const QString shown = QString::fromStdString(ShortenedText(value.toStdString()));
    if (check == CellCheck::NotPositive) {
        m_fnErrorBox(tr("\"%1\" is not a velocity factor: enter a positive number.").arg(shown));
        return;
    }
    if (check == CellCheck::OutOfRange) {
        m_fnErrorBox(tr("\"%1\" is outside %2: enter a value within that range.")
                         .arg(shown, CoreText(CableRangeText(m_bHalfVelocity))));
        return;
    }
    m_strName = m_pEditName->text();
    m_strValue = value;
    QDialog::accept();
}
