// The program's command line: a file to open, printing, preview and paper switches.
#pragma once

#include <QString>
#include <QStringList>

// What the arguments after the program name ask for. A switch is an argument that begins
// with '-', or with '/' when it is no path ("/p", but not "/home/u/a.zent"); anything else
// is the file. Unknown switches are ignored.
struct CommandLine {
    QString file;            // the first argument that is no switch; "" for a new document
    bool printMode = false;  // "/p" with a file: print it and close
    bool preview = false;    // "pv" in a switch: open the print preview
    bool postcard = false;   // "pc" in a switch: paper size 43, the Japanese postcard
    int paperSize = 0;       // the number after "#" in a switch; 0 for none
    bool landscape = false;  // "l" in a switch

    // The paper size code to set on the printer settings, or 0 to leave them.
    int paperCode() const { return postcard ? 43 : paperSize; }
    // The printer settings change (paper or orientation).
    bool changesPrinter() const { return paperCode() != 0 || landscape; }
};

// Reads `arguments` (without the program name). The print switch is "p" alone after the
// '/' or '-', in either case; the other switches match where their text appears anywhere
// after the first character ("/pv", "-pcl"); the paper number after "#" is a decimal
// integer with an optional sign, read up to the first other character.
CommandLine ParseCommandLine(const QStringList &arguments);
