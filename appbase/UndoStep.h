#pragma once

// An undo step spread over several calls, opened with Start and Group while
// the document is still as it was, and dropped (Cancel) unless it is closed,
// so an exception, an early return or Escape never leaves it pending.

#include "appbase/CDensoraDoc.h"

#include <QString>

class UndoStep
{
public:
    UndoStep(CDensoraDoc *doc, const QString &caption) : m_doc(doc), m_caption(caption)
    {
        if (!m_doc)
            return;
        m_doc->SaveActionStart(m_caption);
        m_doc->SaveActionGroup(m_caption);
    }
    ~UndoStep()
    {
        if (m_doc && !m_closed)
            m_doc->SaveActionCancel(m_caption);
    }
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;
    // Keeps the step (the caption of Start names it).
    void End(const QString &caption = QString())
    {
        if (m_doc && !m_closed)
            m_doc->SaveActionEnd(caption.isEmpty() ? m_caption : caption);
        m_closed = true;
    }
    // Drops the step now.
    void Cancel()
    {
        if (m_doc && !m_closed)
            m_doc->SaveActionCancel(m_caption);
        m_closed = true;
    }

private:
    CDensoraDoc *m_doc;
    QString m_caption;
    bool m_closed = false;
};
