// The dialog that calibrates the velocity factor from a known length: the
// technician places C1 and C2 at the two ends of a stretch of known length
// (a cable on the drum, the distance between two joints), types that length
// and a name, and sees the factor at which the plot would show exactly that
// length. "Yes" is offered only for a factor within PR 1..3.
#pragma once

#include "cablelib/core/CablePanel.h"

#include <QDialog>

class CHSpin;
class QLabel;
class QLineEdit;
class QPushButton;

class CCalibrateKU : public QDialog
{
    Q_OBJECT
public:
  static constexpr const char* kTitle = QT_TR_NOOP("Calibrate from a known length");

  // Positions of the cursors; the length starts at their distance at `factor`.
  CCalibrateKU(double cursor1, double cursor2, double factor, bool showHalfVelocity,
               QWidget* parent = nullptr);

  // The result for the length in the field (pending typed digits count).
  Calibration Result() const;
  QString GetName() const;

  CHSpin* GetLengthField() const { return m_pSpinLength; }
  QLineEdit* GetNameEdit() const { return m_pEditName; }
  QLabel* GetResultLabel() const { return m_pResult; }
  QPushButton* GetYesButton() const { return m_pYes; }

  void accept() override;

private:
    void ShowResult();

    double m_dCursor1;
    double m_dCursor2;
    bool m_bHalfVelocity;
    CHSpin* m_pSpinLength = nullptr;
    QLineEdit* m_pEditName = nullptr;
    QLabel* m_pResult = nullptr;
    QPushButton* m_pYes = nullptr;
};
