#pragma once

// Every command of the program is one QAction whose data is its numeric
// identifier (57601 Open, 12010 Analysis Data ...). The handler objects of an
// area (document, overlay, image, analysis) register their commands here; the
// ribbon, menus, shortcuts and tests all use the same actions, so a test can
// run a command by number: registry.action(12001)->trigger().
//
// QAction lives in Qt Gui, so the registry and the headless views share it
// with the widgets.

#include <QtGui/QAction> // Qt Gui in Qt 6, not Widgets
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class CommandRegistry : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using Check = std::function<bool()>;

    explicit CommandRegistry(QObject *parent = nullptr);

    // Registers (or re-binds) command `id`. `enabled` decides whether it can run
    // now (always when empty); `checked`, when given, makes the action checkable
    // and tells its state. The same id always gives the same QAction.
    QAction *add(int id, const QString &text, Handler handler, Check enabled = {},
                 Check checked = {});
    // The action of a command, or null when no one registered it.
    QAction *action(int id) const;
    bool contains(int id) const { return m_commands.count(id) != 0; }
    std::vector<int> ids() const;

    // Runs a command by number when it exists and is enabled; false otherwise.
    bool run(int id);
    // Re-evaluates every enabled and checked state (the frame calls it when the
    // document, the selection or the view changes, and before a menu shows).
    void updateAll();
    void update(int id);

private:
    struct Command
    {
        QAction *action = nullptr; // child of the registry
        Handler handler;
        Check enabled;
        Check checked;
    };
    std::map<int, Command> m_commands;
};
