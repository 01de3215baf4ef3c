// Parsing the command line.
#include "commandline.h"

#include <QFileInfo>

#include <limits>

namespace {

// '-' always starts a switch. '/' also starts every absolute path here, so an argument
// that begins with '/' is a switch only when it has no further '/' and names nothing
// that exists: "/p" and "/#9" are switches, "/home/u/form.zent" is a file.
bool isSwitch(const QString &argument)
{
    if (argument.startsWith(QLatin1Char('-')))
        return true;
    return argument.startsWith(QLatin1Char('/')) && argument.indexOf(QLatin1Char('/'), 1) < 0 &&
           !QFileInfo::exists(argument);
}

// The integer after '#' as atoi reads it: optional sign, digits up to the first other
// character, 0 without digits. Values beyond an int saturate.
int numberAfterHash(QStringView rest)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < rest.size() && (rest[i] == QLatin1Char('+') || rest[i] == QLatin1Char('-')))
        negative = rest[i++] == QLatin1Char('-');
    long long value = 0;
    for (; i < rest.size() && rest[i] >= QLatin1Char('0') && rest[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (rest[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            value = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool printSwitch = false;
    bool paperSeen = false; // the first switch with '#' gives the paper
    for (const QString &argument : arguments) {
        if (!isSwitch(argument)) {
            if (line.file.isEmpty())
                line.file = argument;
            continue;
        }
        const QStringView text = QStringView(argument).mid(1);
        if (text.compare(QLatin1String("p"), Qt::CaseInsensitive) == 0)
            printSwitch = true;
        if (text.contains(QLatin1String("pv")))
            line.preview = true;
        if (text.contains(QLatin1String("pc")))
            line.postcard = true;
        if (text.contains(QLatin1Char('l')))
            line.landscape = true;
        const qsizetype hash = text.indexOf(QLatin1Char('#'));
        if (hash >= 0 && !paperSeen) {
            line.paperSize = numberAfterHash(text.mid(hash + 1));
            paperSeen = true;
        }
    }
    // Printing needs a file: "/p" alone starts a new document normally.
    line.printMode = printSwitch && !line.file.isEmpty();
    return line;
}
