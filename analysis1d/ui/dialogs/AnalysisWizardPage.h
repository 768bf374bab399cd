#pragma once

// One page of the set-up wizard: its title and its text; pages with controls
// read them back before the wizard leaves them.

#include <QString>
#include <QWidget>

class QVBoxLayout;

class AnalysisWizardPage : public QWidget
{
    Q_OBJECT
public:
    AnalysisWizardPage(const QString &title, const QStringList &texts, QWidget *parent = nullptr);

    const QString &Title() const { return m_title; }
    // False keeps the wizard on this page.
    virtual bool ReadBack() { return true; }

protected:
    QVBoxLayout *pageLayout() const { return m_layout; }

private:
    QString m_title;
    QVBoxLayout *m_layout;
};
