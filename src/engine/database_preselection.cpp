#include "engine/database_preselection.h"

namespace dovrelle {

namespace {

QString asciiUpper(QString text)
{
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return text;
}

}  // namespace

int preselectedDatabase(const QStringList& databases, const QString& typed)
{
    // On a server that tells "Shop" from "shop" both can be listed: the one spelt as typed wins.
    const int exact = databases.indexOf(typed);
    if (exact >= 0)
        return exact;
    const QString wanted = asciiUpper(typed);
    int found = -1;
    for (int i = 0; i < databases.size(); ++i) {
        if (asciiUpper(databases[i]) == wanted)
            found = i;
    }
    return found;
}

}  // namespace dovrelle
