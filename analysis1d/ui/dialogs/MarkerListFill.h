#pragma once

#include <QTreeWidget>

class CDoubleDataArray;

// The "Marker" / "Molecular Weight" list both ladder dialogs show.
class MarkerListFill
{
public:
    MarkerListFill() = delete;
    static void Fill(QTreeWidget *list, const CDoubleDataArray &values);
};
