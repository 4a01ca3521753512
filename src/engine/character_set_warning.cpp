#include "engine/character_set_warning.h"

namespace dovrelle {

QString characterSetWarning(const QString& set)
{
    if (set.isEmpty() || set == QLatin1String("AL32UTF8"))
        return QString();
    // UTF8 is Oracle's older Unicode set: it holds every character, but writes those beyond
    // U+FFFF as two 3-byte halves.
    if (set == QLatin1String("UTF8"))
        return QStringLiteral(
            "Warning: the Oracle database character set is UTF8, not AL32UTF8: characters beyond "
            "U+FFFF (emoji and rare CJK characters) take 6 bytes instead of 4 and may make values "
            "too long for their columns");
    return QStringLiteral(
               "Warning: the Oracle database character set is %1, not AL32UTF8: characters that %1 "
               "lacks are replaced by a substitute character in CHAR, VARCHAR2 and CLOB columns "
               "(NCHAR, NVARCHAR2 and NCLOB columns keep them), and characters that %1 stores in "
               "more bytes than UTF-8 may make values too long for their columns")
        .arg(set);
}

}  // namespace dovrelle
