#pragma once

#include <QString>

namespace dovrelle {

class RunLog;

// The table's line in the run log during a row copy: the line the run appended before the copy
// ("Insert table O... "). Progress rewrites that line wherever it stands, and failure lines go
// just above it, so the table's line stays last and no failure line is overwritten.
class ProgressLine {
public:
    ProgressLine(RunLog& log, const QString& oracleName);

    void insertAbove(const QString& line);
    void show(int rowCount);  // "Insert table O n Rows "

private:
    RunLog& log_;
    QString oracleName_;
    int index_ = 0;
};

}  // namespace dovrelle
