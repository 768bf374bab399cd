#include "analysis1d/ui/ExportProgress.h"

#include "util/ui/CProgressDlg.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

ExportProgress::Factory &installedFactory()
{
    static ExportProgress::Factory factory;
    return factory;
}

// The program's progress dialog: percentage text, cancel flag, owner
// disabled while it is open.
class DialogProgress : public ExportProgress
{
public:
    DialogProgress(QWidget *owner, const QString &caption) : m_dialog(caption)
    {
        m_dialog.Create(owner);
    }
    ~DialogProgress() override { m_dialog.DestroyWindow(); }
    void SetRange(int lower, int upper) override
    {
        m_dialog.SetRange(lower, std::max(lower, upper));
        m_dialog.SetStep(1);
        m_dialog.SetPos(lower);
    }
    void StepIt() override
    {
        m_dialog.StepIt();
        QCoreApplication::processEvents();
    }
    int CheckCancelButton() override
    {
        QCoreApplication::processEvents();
        return m_dialog.CheckCancelButton() ? 1 : 0;
    }

private:
    CProgressDlg m_dialog;
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
