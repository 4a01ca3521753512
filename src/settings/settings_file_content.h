#pragma once

#include "engine/conversion_profile.h"
#include "settings/settings_schema.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

// A settings file read once: the value of every row of the schema and the tables the file
// chooses. The run without a display, the check and the wizard's unattended walk all work from
// this one value instead of reading the file's lines again.
class SettingsFileContent {
public:
    SettingsFileContent() = default;
    // The content of a file's lines. Lines that ran together (a password key inside another
    // line's value) are not refused here: values() and profile() throw that error when asked,
    // where the file's values are put to use.
    explicit SettingsFileContent(const QStringList& lines);

    // Reads the file (loadSettingsFile) and takes its content. Throws Error
    // "Cannot open file "<path>". <reason>".
    static SettingsFileContent read(const QString& path);

    // Every row's value as the file holds it, untrimmed (the empty text for a missing key).
    // Throws Error (passwordKeysProblem) when the file's lines ran together.
    const SettingsValues& values() const;
    // The profile of the values (profileFromValues), its table list left empty. Throws what
    // values() and profileFromValues throw.
    ConversionProfile profile() const;

    // True exactly when the file's alltables is "1".
    bool choosesAllTables() const { return allTables_; }
    // The tables the file gives the run, among the available ones (the database's tables in the
    // server's order): all of them for "alltables=1"; otherwise each listed name once, in file
    // order, whether the database has it or not (letter case counting): the run logs a listed
    // table that the database lacks as an error of that table instead of passing over it.
    QStringList chosenTables(const QStringList& available) const;
    // When the file would give the run no table that the database has: one log line for each
    // listed table the database lacks, then a line saying that there is no table to convert and
    // why (the database has no tables, the file lists none, or none of the listed ones exists).
    // The empty text when there is a table to convert.
    QString noTableToConvertMessage(const QStringList& available, const QString& database) const;

private:
    SettingsValues values_;
    QString linesProblem_;
    bool allTables_ = false;
    QStringList listedTables_;
};

}  // namespace dovrelle
