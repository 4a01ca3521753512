#pragma once

#include "db/parameter_list.h"

#include <QString>

namespace bench {

// An oraemu database made fresh by the oraemu tool, with one user.
struct OracleTarget {
    QString service;  // the database file
    QString user = QStringLiteral("BENCH");
    QString password = QStringLiteral("bench");

    dovrelle::ParameterList parameters() const;
};

// Removes any earlier database at `path` and creates a new one with the user; throws
// std::runtime_error with the tool's output when it fails.
OracleTarget createOracleTarget(const QString& oraemuTool, const QString& path);

}  // namespace bench
