#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// The caption tables of the wizard window: "en" (english) and "cn" (chn), 44 rows each, same
// names in the same order.
QStringList englishCaptionTable();
QStringList chineseCaptionTable();

// The caption of the first row whose name equals `name` without regard to letter case; the empty
// text when no row has that name.
QString captionFromTable(const QStringList& table, const QString& name);
bool tableHasRow(const QStringList& table, const QString& name);

}  // namespace dovrelle
