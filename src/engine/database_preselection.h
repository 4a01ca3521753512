#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// The entry of the database list that the name typed on page 2 preselects: the entry spelt exactly
// as typed, else the last entry equal to the typed text when the letters a to z of both are taken
// as capitals (no other character is changed, nothing is trimmed); -1 when none is equal.
int preselectedDatabase(const QStringList& databases, const QString& typed);

}  // namespace dovrelle
