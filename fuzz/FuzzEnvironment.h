#pragma once

// What every fuzz target sets up once per process: an application object
// (offscreen), prompts that answer by default and forget what they showed,
// settings in memory, FreeImage, and a scratch folder for the readers that
// take a file name. Nothing here reaches the user's real settings or files.

#include "platform/Prompts.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

class CDrawImage;
class QTemporaryDir;

class FuzzEnvironment
{
public:
    // Set up on first use; lives until the process ends.
    static FuzzEnvironment &instance();

    // The scripted prompts installed for the process: queue a file name for
    // the next open dialog, and clear after each input so nothing grows.
    ScriptedPrompts &prompts() { return *m_pPrompts; }

    // Writes the input to the scratch file with that suffix and returns its
    // path (the same path for every input of the process).
    QString writeScratch(const uint8_t *data, size_t size, const QString &suffix);
    QString scratchPath(const QString &name) const;

    // A new 8-bit grey picture object, 160 x 120, with a few dark bands, for
    // the targets that need a document with a picture.
    static std::unique_ptr<CDrawImage> makeGelPicture();

private:
    FuzzEnvironment();

    std::unique_ptr<QTemporaryDir> m_pScratch;
    ScriptedPrompts *m_pPrompts = nullptr; // owned by Prompts
};
