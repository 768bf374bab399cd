#include "analysis1d/ui/dialogs/PPAnalysisOptionOthers.h"

#include "platform/ProfileStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

PPAnalysisOptionOthers::PPAnalysisOptionOthers(QWidget *parent)
    : AnalysisOptionPage(parent), m_path(new QLineEdit(this))
{
    m_path->setReadOnly(true);
    m_path->setText(StandardsFilePath());
    m_path->setMinimumWidth(320);
    auto *form = new QFormLayout;
    form->addRow(tr("Molecular Weight File:"), m_path);
    pageLayout()->addLayout(form);
    pageLayout()->addStretch();
}

// The file name alone, when it is the default, lives in the application's
// folder; any other stored name is shown as it is.
QString PPAnalysisOptionOthers::StandardsFilePath()
{
    const QString defaultName = QStringLiteral("MWStads.Dat");
    const ProfileStore &store = ProfileStore::instance();
    const QString file = store.GetSectionString(
        QStringLiteral("BM0Exp"), QStringLiteral("Molecular Weight File"), defaultName);
    if (file.compare(defaultName, Qt::CaseInsensitive) != 0)
        return file;
    // Before the program has recorded its folder, the folder it runs from. The
    // folder and the name are joined with this system's separator (the
    // Windows program wrote a backslash, which names no folder here).
    return QDir::toNativeSeparators(
        store.GetSectionString(QStringLiteral("General"), QStringLiteral("Application Path"),
                               QCoreApplication::applicationDirPath())
        + QLatin1Char('/') + file);
}
