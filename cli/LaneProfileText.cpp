#include "cli/LaneProfileText.h"

#include "analysis1d/engine/LaneProfileExport.h"

QByteArray LaneProfileText::Format(const Analysis1D &analysis, const QString &title)
{
    return LaneProfileExport::Text(analysis, LaneProfileExport::AllLanes(analysis), title, "\n");
}
