#include "analysis1d/ui/ExportProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace {

ExportProgress::Factory &installedFactory()
{
    static ExportProgress::Factory factory;
    return factory;
}

// Until the program's own progress dialog is installed.
class DialogProgress : public ExportProgress
{
public:
    DialogProgress(QWidget *owner, const QString &caption)
        : m_dialog(caption, QStringLiteral("Cancel"), 0, 100, owner)
    {
        m_dialog.setWindowTitle(caption);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        // Cancel asks first: the dialog stays until the export ends.
        QObject::disconnect(&m_dialog, &QProgressDialog::canceled, &m_dialog,
                            &QProgressDialog::cancel);
        QObject::connect(&m_dialog, &QProgressDialog::canceled, [this] { m_cancel = true; });
    }
    void SetRange(int lower, int upper) override
    {
        m_dialog.setRange(lower, std::max(lower, upper));
        m_dialog.setValue(lower);
    }
    void StepIt() override
    {
        m_dialog.setValue(std::min(m_dialog.value() + 1, m_dialog.maximum()));
        QCoreApplication::processEvents();
    }
    int CheckCancelButton() override
    {
        QCoreApplication::processEvents();
        const bool cancel = m_cancel;
        m_cancel = false;
        return cancel ? 1 : 0;
    }

private:
    QProgressDialog m_dialog;
    bool m_cancel = false;
};

} // namespace

ExportProgress::Factory ExportProgress::SetFactory(Factory factory)
{
    Factory previous = installedFactory();
    installedFactory() = std::move(factory);
    return previous;
}

std::unique_ptr<ExportProgress> ExportProgress::Create(QWidget *owner, const QString &caption)
{
    if (installedFactory())
        return installedFactory()(owner, caption);
    return std::make_unique<DialogProgress>(owner, caption);
}
