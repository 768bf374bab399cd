#include "imaging/FreeImageErrorTrap.h"

namespace {
// The program has one user-interface thread; a thread-local chain keeps a
// decode on any other thread from seeing the wrong trap all the same.
thread_local FreeImageErrorTrap *t_currentTrap = nullptr;
} // namespace

FreeImageErrorTrap::FreeImageErrorTrap() : m_outer(t_currentTrap)
{
    static const bool installed = [] {
        FreeImage_SetOutputMessage(&FreeImageErrorTrap::onMessage);
        return true;
    }();
    (void)installed;
    t_currentTrap = this;
}

FreeImageErrorTrap::~FreeImageErrorTrap()
{
    t_currentTrap = m_outer;
}

void FreeImageErrorTrap::onMessage(FREE_IMAGE_FORMAT, const char *message)
{
    report(QString::fromLocal8Bit(message ? message : ""));
}

void FreeImageErrorTrap::report(const QString &message)
{
    for (FreeImageErrorTrap *trap = t_currentTrap; trap; trap = trap->m_outer)
        trap->m_messages.append(message);
}
