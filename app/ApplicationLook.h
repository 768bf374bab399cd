#pragma once

// The window looks the program offers, by their stored identifiers 205 ... 219
// (the profile value "ApplicationLook"). They were visual managers of the old
// desktop framework; here each is a Qt style with a palette:
//
//   205 plain Windows style                 209 Fusion, Visual Studio 2005 (warm grey)
//   206 Fusion, Office XP (neutral grey)    210 Fusion, Visual Studio 2008 (cool grey)
//   207 Fusion, Windows XP (standard)       215-218 Fusion, Office 2007 blue, black
//   208 Fusion, Office 2003 (light blue)        (dark), silver, aqua
//                                           219 Fusion, Windows 7 (light)
//
// Any other value is Office 2007 in its current style: the last of 215-218
// applied in this session, blue at first.

#include <QPalette>
#include <QString>

class ApplicationLook
{
public:
    static constexpr int kDefault = 215;

    struct Look
    {
        QString style; // QStyleFactory key
        QPalette palette;
        bool dark = false;
    };

    // What an identifier shows. 'current2007' is the Office 2007 style in force
    // (215 ... 218) for identifiers outside the table.
    static Look Resolve(int id, int current2007);
    // True for the identifiers the table names.
    static bool IsKnown(int id);

    // Applies the look to the whole application (style, palette, icon theme).
    // Returns the Office 2007 style in force afterwards.
    static int Apply(int id, int current2007);
};
