#pragma once

// The modeless progress dialog of long operations, driven from the one user
// interface thread: the caller steps it, and every step first dispatches the
// waiting events so the dialog repaints and its Cancel button works. Cancel
// does not close it; the caller polls CheckCancelButton. While it is open the
// owner's window is disabled.
//
//     CProgressDlg progress(tr("Exporting"));
//     progress.Create(this);
//     progress.SetRange(0, rows);
//     for (...) { ...; progress.StepIt(); if (progress.CheckCancelButton()) break; }
//     progress.DestroyWindow();

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog
{
    Q_OBJECT
public:
    // The dialog is a window of its own (no parent): disabling the owner would
    // disable a child window with it.
    explicit CProgressDlg(const QString &caption = QString());
    ~CProgressDlg() override;

    // Disables the owner's top-level window when it is enabled (and remembers
    // doing so), then shows the dialog. Nonzero when created.
    int Create(QWidget *pOwner = nullptr);
    // Re-enables the owner if this dialog disabled it, then closes.
    bool DestroyWindow();

    void SetRange(int lower, int upper);
    // The step of StepIt; returns the previous one.
    int SetStep(int step);
    // The three return the previous position.
    int SetPos(int pos);
    int OffsetPos(int delta);
    int StepIt();
    void SetStatus(const QString &text);
    // 1 when Cancel was pressed since the last call (the flag is cleared).
    int CheckCancelButton();

    // "%d%" of p = (pos - lower) * 100 / (upper - lower) in integer arithmetic;
    // p itself at 100, else p modulo 100. An empty range counts as done.
    static QString PercentText(int pos, int lower, int upper);

    QProgressBar *GetProgressBar() const { return m_pProgress; }
    QLabel *GetPercentLabel() const { return m_pPercent; }
    QLabel *GetStatusLabel() const { return m_pStatus; }
    QPushButton *GetCancelButton() const { return m_pCancel; }
    QWidget *GetOwner() const { return m_pOwner; }

protected:
    // Closing the window (Escape, title bar) counts as Cancel.
    void reject() override;

private:
    void PumpMessages();
    void UpdatePercent();
    void OnCancel();

    QProgressBar *m_pProgress;
    QLabel *m_pPercent;
    QLabel *m_pStatus;
    QPushButton *m_pCancel;
    QPointer<QWidget> m_pOwner;
    bool m_bParentDisabled = false;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    int m_nPos = 0;
    bool m_bCancel = false;
};
