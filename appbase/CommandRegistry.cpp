#include "appbase/CommandRegistry.h"

CommandRegistry::CommandRegistry(QObject *parent) : QObject(parent) { }

QAction *CommandRegistry::add(int id, const QString &text, Handler handler, Check enabled,
                              Check checked)
{
    Command &command = m_commands[id];
    if (!command.action) {
        command.action = new QAction(text, this);
        command.action->setData(id);
        connect(command.action, &QAction::triggered, this, [this, id] {
            auto it = m_commands.find(id);
            // Checkable actions toggle themselves before this runs; the
            // handler decides the real state, updateAll() shows it.
            if (it != m_commands.end() && it->second.handler)
                it->second.handler();
            updateAll();
        });
    } else if (!text.isEmpty()) {
        command.action->setText(text);
    }
    command.handler = std::move(handler);
    command.enabled = std::move(enabled);
    command.checked = std::move(checked);
    command.action->setCheckable(bool(command.checked));
    update(id);
    return command.action;
}

QAction *CommandRegistry::action(int id) const
{
    auto it = m_commands.find(id);
    return it == m_commands.end() ? nullptr : it->second.action;
}

std::vector<int> CommandRegistry::ids() const
{
    std::vector<int> result;
    result.reserve(m_commands.size());
    for (const auto &[id, command] : m_commands)
        result.push_back(id);
    return result;
}

bool CommandRegistry::run(int id)
{
    update(id);
    QAction *a = action(id);
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

void CommandRegistry::updateAll()
{
    for (const auto &[id, command] : m_commands)
        update(id);
}

void CommandRegistry::update(int id)
{
    auto it = m_commands.find(id);
    if (it == m_commands.end())
        return;
    const Command &command = it->second;
    command.action->setEnabled(!command.enabled || command.enabled());
    if (command.checked)
        command.action->setChecked(command.checked());
}
