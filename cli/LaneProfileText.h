#pragma once

// The lane profiles as the lane graph's text export writes them: a first line
// with the title and the row numbers, then one line per lane ("Lane n" and the
// profile value of every analysis-image row), every field followed by a tab.

#include <QByteArray>
#include <QString>

class Analysis1D;

class LaneProfileText
{
public:
    // Every lane, as the graph's "All Lanes" selection exports them.
    static QByteArray Format(const Analysis1D &analysis, const QString &title);
};
