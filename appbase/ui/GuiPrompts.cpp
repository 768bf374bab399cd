#include "appbase/ui/GuiPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

QMessageBox::StandardButtons buttonsFor(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconFor(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int answerFor(int button, unsigned type)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        // Closed with Escape or the window's close button.
        return Prompts::DefaultAnswer(type);
    }
}

QWidget *dialogParent()
{
    QWidget *parent = QApplication::activeModalWidget();
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

int GuiPrompts::MessageBox(const QString &text, unsigned type)
{
    QMessageBox box(iconFor(type), QApplication::applicationDisplayName(), text,
                    buttonsFor(type), dialogParent());
    const unsigned buttons = type & MB_TYPEMASK;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
        box.setDefaultButton(QMessageBox::Yes);
    if (buttons == MB_YESNOCANCEL || buttons == MB_OKCANCEL || buttons == MB_RETRYCANCEL)
        box.setEscapeButton(QMessageBox::Cancel);
    return answerFor(box.exec(), type);
}

QString GuiPrompts::AskOpenFile(const QString &title, const QString &filter,
                                const QString &directory)
{
    return QFileDialog::getOpenFileName(dialogParent(), title, directory, filter);
}

QString GuiPrompts::FirstSuffix(const QString &filterEntry)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filterEntry);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString GuiPrompts::AskSaveFile(const QString &title, const QString &filter,
                                const QString &suggestedName)
{
    QString selected;
    QString path = QFileDialog::getSaveFileName(dialogParent(), title, suggestedName, filter,
                                                &selected);
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty()) {
        const QString suffix = FirstSuffix(selected.isEmpty() ? filter : selected);
        if (!suffix.isEmpty())
            path += QLatin1Char('.') + suffix;
    }
    return path;
}

void GuiPrompts::BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void GuiPrompts::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
