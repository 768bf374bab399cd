#pragma once

// One group of the ribbon: a row of buttons over its caption, separated from
// the next group by a line. Large buttons show a 32-pixel icon over the text;
// small ones a 16-pixel icon beside it, three to a column.
//
// Buttons mirror a QAction of the command registry (enabled, checked, tool
// tip) but keep the ribbon's own caption, so the menus may word a command
// differently.

#include <QFrame>
#include <QIcon>
#include <QString>

class QAction;
class QGridLayout;
class QHBoxLayout;
class QToolButton;
class QVBoxLayout;

class CRibbonPanel : public QFrame
{
    Q_OBJECT
public:
    CRibbonPanel(const QString &caption, QWidget *parent = nullptr);

    const QString &Caption() const { return m_caption; }

    QToolButton *AddLargeButton(QAction *action, const QString &caption, const QIcon &icon);
    QToolButton *AddSmallButton(QAction *action, const QString &caption, const QIcon &icon);
    // A widget of its own (a drop-down, a gallery button) in the small-button
    // columns or as a large button.
    void AddSmallWidget(QWidget *widget);
    void AddLargeWidget(QWidget *widget);

    // Makes 'button' show and run 'action' under the ribbon caption. A button
    // whose menu is useful on its own (a colour to use next) stays enabled
    // with 'followEnabled' false; pressing it then runs the command only when
    // the command can run.
    static void BindButton(QToolButton *button, QAction *action, const QString &caption,
                           bool followEnabled = true);

    static constexpr int kLargeIcon = 32;
    static constexpr int kSmallIcon = 16;

private:
    void startColumnIfFull();

    QString m_caption;
    QHBoxLayout *m_row = nullptr;
    QVBoxLayout *m_column = nullptr; // the small-button column being filled
    int m_inColumn = 0;
};
