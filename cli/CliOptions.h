#pragma once

// The command line of densora-cli, parsed and checked before any file is
// touched: a mistake here is the user's (exit status 2), not the input's.

#include "platform/Geometry.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class CliOptions
{
public:
    enum class Command { None, Help, Version, Analyze, Report };

    Command command = Command::None;
    QString input; // the picture (analyze) or the document (report)
    // analyze: every picture and folder named, in order (input is the first).
    QStringList inputs;
    // An overlay template that places the analysis shapes on every picture,
    // instead of --area, --example-band, --dark, --wells and --dye-front.
    QString templateFile;
    // A folder for one report (and document) per picture; with it any number
    // of pictures and folders may be given.
    QString outDir;
    bool saveEach = false; // --save without a name, with --out
    bool quiet = false; // no progress lines

    std::optional<CRect> area; // gel pixels, right and bottom exclusive
    std::optional<CRect> exampleBand;
    int laneWidth = 0; // with bandHeight, when no example band is given
    int bandHeight = 0;
    bool dark = false;
    std::optional<int> slider;
    std::optional<double> threshold;
    std::optional<int> wellsRow;
    std::optional<int> dyeFrontRow;
    int ladderLane = 0; // 1-based; 0 = none
    QVector<double> ladder;
    std::optional<int> mwCurve; // CalibrationManager curve type

    QString reportFile;
    QString profilesFile;
    QString saveFile;
    QString pdfFile; // the analysis report as PDF
    bool json = false;

    // 'arguments' without the program name. False with *error naming the
    // problem (for the usage line) when they do not form a valid command.
    // Options come from one table (name, value, handler, help text), which
    // also makes the option part of HelpText.
    static bool Parse(const QStringList &arguments, CliOptions *out, QString *error);

    // The usage lines, shown with every argument mistake.
    static QString UsageText();
    // --help: the usage lines, then every option with its help text.
    static QString HelpText();
};
