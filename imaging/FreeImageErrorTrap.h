#pragma once

// Collects what FreeImage reports while a picture is decoded. Some decoders
// hand back a bitmap even when the input was cut short (the missing part is
// filled with grey or left empty), and only say so through FreeImage's
// message callback; a decode during which the library reported anything is
// treated as failed, so a damaged file never replaces a good picture.
// libtiff's errors are reported here as well (TiffMessageFilter).
//
// FreeImage has one process-wide message callback; the first trap installs
// it. Traps nest: each sees the messages raised during its own lifetime.

#include <FreeImage.h>

#include <QStringList>

class FreeImageErrorTrap
{
public:
    FreeImageErrorTrap();
    ~FreeImageErrorTrap();
    FreeImageErrorTrap(const FreeImageErrorTrap &) = delete;
    FreeImageErrorTrap &operator=(const FreeImageErrorTrap &) = delete;

    // A report from a library beneath FreeImage (libtiff's errors, see
    // TiffMessageFilter); seen by the traps alive now, dropped without one.
    static void report(const QString &message);

    bool hasMessages() const { return !m_messages.isEmpty(); }
    const QStringList &messages() const { return m_messages; }

private:
    static void onMessage(FREE_IMAGE_FORMAT fif, const char *message);

    QStringList m_messages;
    FreeImageErrorTrap *m_outer;
};
