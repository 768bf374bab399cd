#pragma once

// The parts of the calibration commands that change the bands, apart from
// their dialogs: applying a ladder to a lane, assigning and removing known
// values, and collecting one lane's known weights into a new ladder. The
// commands pass the analysis's lanes (Analysis1D::GetLanes) and recalculate
// the analysis afterwards, which re-runs both calibrations.

#include "analysis1d/calibration/StorableMWStandard.h"
#include "platform/CArray.h"

#include <QString>
#include <QVector>

class BandData;
class CDoubleDataArray;
class Lane;

class MWAssignments
{
public:
    static const QString c_laneNeedsTwoBands;  // "Please select a lane that has at least 2 bands."
    static const QString c_ladderNeedsOneLane; // "To create a ladder, all the known ..."
    static const QString c_newLadderName;      // "New Ladder"

    MWAssignments() = delete;

    // Applying a ladder ----------------------------------------------------------
    // True when lane 'laneIndex' holds at least 2 bands; otherwise tells the user
    // and returns false. A lane index outside 'lanes' raises CInvalidArgException.
    static bool CheckLaneForLadder(const CArray<Lane> &lanes, int laneIndex);
    // A gel carries one ladder at a time: clears every known molecular weight,
    // then band i of the lane (top to bottom) gets value i as its known
    // molecular weight, for as many as both have. Returns how many were given.
    static int ApplyLadder(CArray<Lane> &lanes, int laneIndex, const CDoubleDataArray &values);
    static int ApplyLadder(CArray<Lane> &lanes, int laneIndex, const StorableMWStandard &ladder);
    // Every band of every lane: known molecular weight 0 and its flag cleared.
    static void ClearKnownMolecularWeights(CArray<Lane> &lanes);

    // Known values of one band ---------------------------------------------------
    // A value greater than 0 becomes the band's known amount (resp. molecular
    // weight) and sets its flag; a value of 0 or less changes nothing, so an
    // earlier assignment stays until it is removed.
    static void AssignKnownValues(BandData &data, double knownAmount, double knownMW);
    // Both known values become 0 and both flags false.
    static void RemoveAssignments(BandData &data);
    // The same for band 'band' of lane 'lane' (0-based, checked).
    static void RemoveAssignments(CArray<Lane> &lanes, int lane, int band);

    // Rows of the calibration values page ------------------------------------------
    struct BandRef
    {
        int lane = 0; // 0-based
        int band = 0; // 0-based
        bool operator==(const BandRef &other) const = default;
    };
    // Every band with a known amount or a known molecular weight, lanes and
    // bands in order.
    static QVector<BandRef> AssignedBands(const CArray<Lane> &lanes);
    // "Lane,Band" text of a row: both 1-based, "%d,%d".
    static QString FormatLaneBand(int lane, int band);
    // Reads that text back into 0-based indices; false when it is not of that form.
    static bool ParseLaneBand(const QString &text, int &lane, int &band);

    // Creating a ladder from the assignments ------------------------------------------
    // When exactly one lane holds bands with a known molecular weight, 'values'
    // receives their weights in band order and the lane's index is returned.
    // Otherwise the user is told that the assignments must be in one lane, and
    // -1 is returned with 'values' empty.
    static int CollectLadderValues(const CArray<Lane> &lanes, CDoubleDataArray &values);
    // A ladder named "New Ladder" holding those values, for the edit dialog;
    // false (after the message) when the assignments are not in one lane.
    static bool NewLadderFromAssignments(const CArray<Lane> &lanes, StorableMWStandard &ladder);
};
