#pragma once

// The About box: the product line and the version line, "Version: " and the
// build's version in four parts.

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    // "Version: 0.1.0.0" for the running build.
    static QString VersionLine();
    QString GetVersionText() const;

private:
    QLabel *m_pProduct; // control 315 of the old dialog
    QLabel *m_pVersion; // control 314
};
