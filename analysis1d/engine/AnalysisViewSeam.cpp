#include "analysis1d/engine/AnalysisViewSeam.h"

#include <QHash>

namespace {
QHash<const Analysis1DView *, AnalysisViewSeam *> &seams()
{
    static QHash<const Analysis1DView *, AnalysisViewSeam *> map;
    return map;
}
} // namespace

AnalysisViewSeam::~AnalysisViewSeam()
{
    // A seam that goes away must not be found again under any view.
    auto &map = seams();
    for (auto it = map.begin(); it != map.end();) {
        if (it.value() == this)
            it = map.erase(it);
        else
            ++it;
    }
}

AnalysisViewSeam *AnalysisViewSeam::For(const Analysis1DView *view)
{
    return seams().value(view, nullptr);
}

void AnalysisViewSeam::Attach(const Analysis1DView *view, AnalysisViewSeam *seam)
{
    if (seam)
        seams().insert(view, seam);
    else
        seams().remove(view);
}

void AnalysisViewSeam::Detach(const Analysis1DView *view)
{
    seams().remove(view);
}
