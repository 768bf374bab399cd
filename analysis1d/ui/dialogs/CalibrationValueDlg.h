#pragma once

// Assigns a known amount and a known molecular weight to one band. A value of
// 0 or less (or an empty field) changes nothing, so this dialog never clears a
// value; the calibration values page removes them.

#include <QDialog>

class BandData;
class QLineEdit;

class CalibrationValueDlg : public QDialog
{
    Q_OBJECT
public:
    CalibrationValueDlg(QWidget *parent, BandData *data);

    void accept() override;

    QLineEdit *AmountField() const { return m_amount; }
    QLineEdit *MolecularWeightField() const { return m_mw; }

    static const QString c_invalidNumber; // "not a valid Character"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The amount field's check when it loses the focus: false (after the
    // message) for text that is not a number.
    bool checkAmountField();

    BandData *m_data;
    QLineEdit *m_amount;
    QLineEdit *m_mw;
    bool m_checking = false;
};
