#pragma once

// Progress of a long export, stepped from the user-interface thread. The
// window code asks for one through Create; the desktop program may install a
// factory of its own (its progress dialog), tests install a scripted one.
// The default is the program's CProgressDlg over the owner.

#include <QString>

#include <functional>
#include <memory>

class QWidget;

class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void SetRange(int lower, int upper) = 0;
    // Advances by one and lets waiting events run, so the dialog repaints.
    virtual void StepIt() = 0;
    // 1 when the user pressed cancel since the last call.
    virtual int CheckCancelButton() = 0;

    using Factory
        = std::function<std::unique_ptr<ExportProgress>(QWidget *owner, const QString &caption)>;
    // Installs a factory (an empty one restores the default); returns the previous one.
    static Factory SetFactory(Factory factory);
    static std::unique_ptr<ExportProgress> Create(QWidget *owner, const QString &caption);
};
