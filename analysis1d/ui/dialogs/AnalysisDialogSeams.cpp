// The dialogs the analysis view opens, behind the headless seam it calls
// (AnalysisDialogSeams hands over to the installed windows).

#include "analysis1d/ui/Analysis1DWindows.h"

#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/CalibrationValueDlg.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
#include "analysis1d/ui/dialogs/TVRListDialog.h"
#include "data/CDoubleDataArray.h"

#include <QWidget>

namespace {
QWidget *widget(QObject *parent)
{
    return qobject_cast<QWidget *>(parent);
}
} // namespace

bool Analysis1DWindows::EditKnownValues(QObject *parent, BandData &data)
{
    CalibrationValueDlg dialog(widget(parent), &data);
    return dialog.exec() == QDialog::Accepted;
}

void Analysis1DWindows::ShowCalibrationValues(QObject *parent, Analysis1D &analysis,
                                                Analysis1DView *view)
{
    CalibrationPS sheet(widget(parent), &analysis, view);
    sheet.exec();
}

bool Analysis1DWindows::ChooseLadder(QObject *parent, CDoubleDataArray &values)
{
    MWLadderDialog dialog(widget(parent));
    if (dialog.exec() != QDialog::Accepted || dialog.GetSelectedLadder() < 0)
        return false;
    values = dialog.GetLadder().m_values;
    return true;
}

void Analysis1DWindows::ShowList(QObject *parent, const QString &title, const QStringList &lines)
{
    TVRListDialog::Show(widget(parent), title, lines);
}
