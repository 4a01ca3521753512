#include "engine/conversion_profile.h"

namespace dovrelle {

ExistingTableAction existingTableActionAt(int entry)
{
    switch (entry) {
    case 0:
        return ExistingTableAction::Overwrite;
    case 2:
        return ExistingTableAction::Skip;
    default:
        return ExistingTableAction::Merge;
    }
}

int entryOfExistingTableAction(ExistingTableAction action)
{
    switch (action) {
    case ExistingTableAction::Overwrite:
        return 0;
    case ExistingTableAction::Merge:
        return 1;
    case ExistingTableAction::Skip:
        return 2;
    }
    return 1;
}

const QStringList& namedCharacterSets()
{
    static const QStringList names = {
        QStringLiteral("armscii8"), QStringLiteral("ascii"),    QStringLiteral("big5"),
        QStringLiteral("binary"),   QStringLiteral("cp1250"),   QStringLiteral("cp1251"),
        QStringLiteral("cp1256"),   QStringLiteral("cp1257"),   QStringLiteral("cp850"),
        QStringLiteral("cp852"),    QStringLiteral("cp866"),    QStringLiteral("cp932"),
        QStringLiteral("dec8"),     QStringLiteral("eucjpms"),  QStringLiteral("euckr"),
        QStringLiteral("gb2312"),   QStringLiteral("gbk"),      QStringLiteral("geostd8"),
        QStringLiteral("greek"),    QStringLiteral("hebrew"),   QStringLiteral("hp8"),
        QStringLiteral("keybcs2"),  QStringLiteral("koi8r"),    QStringLiteral("koi8u"),
        QStringLiteral("latin1"),   QStringLiteral("latin2"),   QStringLiteral("latin5"),
        QStringLiteral("latin7"),   QStringLiteral("macce"),    QStringLiteral("macroman"),
        QStringLiteral("sjis"),     QStringLiteral("swe7"),     QStringLiteral("tis620"),
        QStringLiteral("ucs2"),     QStringLiteral("ujis"),     QStringLiteral("utf8"),
    };
    return names;
}

QString mysqlHostName(const ConversionProfile& profile)
{
    return profile.accessmode == 0 ? QStringLiteral("localhost") : profile.host;
}

ParameterList catalogConnectionParameters(const ConversionProfile& profile, const QString& database)
{
    ParameterList params;
    params.add(QStringLiteral("Database"), database);
    params.add(QStringLiteral("User_Name"), profile.mysqlu);
    params.add(QStringLiteral("Password"), profile.mysqlp);
    params.add(QStringLiteral("Port"), profile.port);
    params.add(QStringLiteral("HostName"), mysqlHostName(profile));
    return params;
}

ParameterList dataConnectionParameters(const ConversionProfile& profile)
{
    ParameterList params;
    params.add(QStringLiteral("Database"), profile.mysqldatabase);
    params.add(QStringLiteral("User_Name"), profile.mysqlu);
    params.add(QStringLiteral("Password"), profile.mysqlp);
    if (namedCharacterSets().contains(profile.character_set))
        params.add(QStringLiteral("ServerCharSet"), profile.character_set);
    params.add(QStringLiteral("Port"), profile.port);
    params.add(QStringLiteral("HostName"), mysqlHostName(profile));
    return params;
}

}  // namespace dovrelle
