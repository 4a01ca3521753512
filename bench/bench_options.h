#pragma once

#include <QString>
#include <QStringList>

namespace bench {

// The command line of dovrelle_bench.
struct BenchOptions {
    qint64 rows = 1'000'000;  // N
    int memoryFactor = 4;     // the second size for peak memory is memoryFactor * N
    QString serverEnv;        // server.env written by tests/support/mariadb-fixture
    QString oraemuTool;       // the oraemu tool, which creates the target databases
    QString workDir;          // where the oraemu databases and logs go
    QString database = QStringLiteral("dovrelle_bench");
    QString dovrelleProgram;  // the dovrelle program, for (4) the headless run; empty: not measured
    QString peerScript;       // bench/peer-pgloader with its cluster started; empty: no peer
    bool lobsOnly = false;    // measure only the LOB case (1 MB and 16 MB blobs)
    bool shapesOnly = false;  // measure only (4), (6), the application-shaped table and many tables

    // Internal: run one full conversion in this process and write its figures to resultFile.
    bool conversionChild = false;
    bool verifyRows = false;  // the child's conversion verifies the copied rows
    QString table;
    QString oracleService;
    QString resultFile;
};

// Throws std::runtime_error with the usage text on a bad command line.
BenchOptions parseOptions(const QStringList& arguments);

QString usageText();

}  // namespace bench
