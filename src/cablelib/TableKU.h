// The dialog that asks for a new entry of the velocity-factor library: a name
// and a value in the presentation in force (PR 1..3 or V/2 50..150). "Yes"
// takes the name and the value field's text as it is shown, also when typed
// digits are still pending; a text that does not read as a positive number, or
// whose number lies outside the presentation's range, is refused with a message
// and the dialog stays open.
#pragma once

#include <QDialog>
#include <functional>

class CHSpin;
class QLineEdit;
class QPushButton;

class CTableKU : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kNameId = 1019;
    static constexpr int kValueId = 162;
    static constexpr const char* kTitle = QT_TR_NOOP("To add value in the table");

    CTableKU(bool showHalfVelocity, QWidget* parent = nullptr);

    // After "Yes": the name and the value text.
    const QString& GetName() const { return m_strName; }
    const QString& GetValue() const { return m_strValue; }

    QLineEdit* GetNameEdit() const { return m_pEditName; }
    CHSpin* GetValueField() const { return m_pSpinValue; }
    QPushButton* GetYesButton() const { return m_pYes; }
    QPushButton* GetNoButton() const { return m_pNo; }

    // The refusal message box, replaceable in tests.
    void SetErrorBox(std::function<void(const QString&)> show) { m_fnErrorBox = std::move(show); }

    void accept() override;

private:
    bool m_bHalfVelocity;
    QString m_strName = tr("name");
    QString m_strValue = "1.500";
    QLineEdit* m_pEditName = nullptr;
    CHSpin* m_pSpinValue = nullptr;
    QPushButton* m_pYes = nullptr;
    QPushButton* m_pNo = nullptr;
    std::function<void(const QString&)> m_fnErrorBox;
};
