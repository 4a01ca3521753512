#pragma once

#include <QString>

namespace dovrelle {

// The columns a text takes on a terminal: two for East Asian wide characters (Chinese
// characters, full-width forms), none for combining marks and controls, one for the others.
int displayColumns(const QString& text);

// The text cut to at most `columns` columns; a cut text ends with "…" inside that width.
QString cutToColumns(const QString& text, int columns);

}  // namespace dovrelle
