#include "database_preselection.h"

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
    const QString wanted = asciiUpper(typed);
    int found = -1;
    for (int i = 0; i < databases.size(); ++i) {
        if (asciiUpper(databases[i]) == wanted)
            found = i;
    }
    return found;
}

}  // namespace dovrelle
