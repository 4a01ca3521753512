#pragma once

#include <QString>
#include <QStringList>

namespace bench {

// What another program took: its wall-clock time, its CPU time and peak memory (its own and that
// of the programs it waited for), and how it ended.
struct ProcessFigures {
    double seconds = 0;
    double cpuSeconds = 0;  // user + system
    long maxRssKb = 0;      // ru_maxrss
    int exitStatus = -1;    // -1 when it did not exit normally
};

// Writes back to disk what earlier measures left in the page cache (the oraemu files of a
// conversion are hundreds of megabytes), so that one measure does not pay for another's writes.
void settleDisk();

// Runs `program` with `arguments` and the environment of this process plus `extraEnvironment`
// ("NAME=value" entries, which replace the inherited ones), waits for it and measures it. Its
// standard output and error go to `outputFile` when one is given. The disk is settled first.
ProcessFigures runMeasured(const QString& program, const QStringList& arguments,
                           const QStringList& extraEnvironment = {},
                           const QString& outputFile = {});

}  // namespace bench
