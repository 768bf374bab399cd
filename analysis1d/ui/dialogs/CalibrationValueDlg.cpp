#include "analysis1d/ui/dialogs/CalibrationValueDlg.h"

#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/BandData.h"
#include "platform/Prompts.h"
#include "util/StringUtil.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

const QString CalibrationValueDlg::c_invalidNumber = QStringLiteral("not a valid Character");

namespace {
// Empty or unreadable text counts as 0, which assigns nothing.
double fieldValue(const QLineEdit *field)
{
    double value = 0.0;
    if (!StringUtil::FromString(field->text().trimmed(), 1, value))
        return 0.0;
    return value;
}
} // namespace

CalibrationValueDlg::CalibrationValueDlg(QWidget *parent, BandData *data)
    : QDialog(parent), m_data(data), m_amount(new QLineEdit), m_mw(new QLineEdit)
{
    setWindowTitle(tr("Known Values"));
    auto *form = new QFormLayout;
    form->addRow(tr("Known Amount:"), m_amount);
    form->addRow(tr("Known Molecular Weight:"), m_mw);
    if (data->m_hasKnownIntensity)
        m_amount->setText(StringUtil::FloatFormatString(data->m_knownIntensity, 0, 2));
    if (data->m_hasKnownMW)
        m_mw->setText(StringUtil::FloatFormatString(data->m_knownMW, 0, 2));
    m_amount->installEventFilter(this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationValueDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CalibrationValueDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool CalibrationValueDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_amount && event->type() == QEvent::FocusOut && !m_checking)
        checkAmountField();
    return QDialog::eventFilter(watched, event);
}

bool CalibrationValueDlg::checkAmountField()
{
    const QString text = m_amount->text().trimmed();
    if (text.isEmpty())
        return true;
    double value = 0.0;
    if (!StringUtil::FromString(text, 1, value)) {
        m_checking = true;
        Prompts::instance().MessageBox(c_invalidNumber);
        // The field keeps the focus for correction (once the message is gone).
        QTimer::singleShot(0, m_amount, [this] {
            m_amount->setFocus();
            m_amount->selectAll();
            m_checking = false;
        });
        return false;
    }
    m_amount->setText(StringUtil::FloatFormatString(value, 0, 2));
    return true;
}

void CalibrationValueDlg::accept()
{
    MWAssignments::AssignKnownValues(*m_data, fieldValue(m_amount), fieldValue(m_mw));
    QDialog::accept();
}
