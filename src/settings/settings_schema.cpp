#include "settings/settings_schema.h"

#include "db/error.h"
#include "settings/rejected_value.h"
#include "settings/whole_number.h"

#include <algorithm>
#include <stdexcept>

namespace dovrelle {

namespace {

using P = ConversionProfile;

// clang-format off
const QList<SettingRow> rows = {
    {.fileKey = "accessmode", .storeName = "accessmode", .kind = SettingKind::WholeNumber,
     .member = &P::accessmode, .defaultText = "0", .control = "accessmode", .entries = 2, .storeRank = 1},
    {.fileKey = "mysqldatabase", .storeName = "mysqldatabase", .kind = SettingKind::Text,
     .member = &P::mysqldatabase, .defaultText = "", .control = "edtdatabase",
     .sourceControl = "mysqldblist", .dialogField = "edtmysqldatabase", .storeRank = 2},
    {.fileKey = "port", .storeName = "port", .kind = SettingKind::Text,
     .member = &P::port, .defaultText = "3306", .control = "edtport", .dialogField = "edtmysqlport",
     .storeRank = 6, .valueRule = ValueRule::PortNumber},
    {.fileKey = "mysqlu", .storeName = "mysqlu", .kind = SettingKind::Text,
     .member = &P::mysqlu, .defaultText = "", .control = "edtname", .dialogField = "edtmysqlusername",
     .storeRank = 3},
    {.fileKey = "mysqlp", .storeName = "mysqlp", .kind = SettingKind::Text,
     .member = &P::mysqlp, .defaultText = "", .control = "edtpassword", .dialogField = "edtmysqlpassword",
     .storeRank = 4},
    {.fileKey = "host", .storeName = "host", .kind = SettingKind::Text,
     .member = &P::host, .defaultText = "", .control = "edthost", .storeRank = 5},
    {.fileKey = "oracleh", .storeName = "oracleh", .kind = SettingKind::Text,
     .member = &P::oracleh, .defaultText = "", .control = "edtservice", .dialogField = "edtoracleservice",
     .storeRank = 8},
    {.fileKey = "oracleu", .storeName = "oracleu", .kind = SettingKind::Text,
     .member = &P::oracleu, .defaultText = "", .control = "edtoracleusername",
     .dialogField = "edtoracleusername", .storeRank = 10},
    {.fileKey = "oraclep", .storeName = "oraclep", .kind = SettingKind::Text,
     .member = &P::oraclep, .defaultText = "", .control = "edtoraclepassword",
     .dialogField = "edtoraclepassword", .storeRank = 9},
    {.fileKey = "processtable", .storeName = "processtable", .kind = SettingKind::WholeNumber,
     .member = &P::processtable, .defaultText = "0", .control = "processtable", .entries = 3,
     .storeRank = 11, .valueRule = ValueRule::EntryInRange},
    {.fileKey = "character_set", .storeName = "Character Set", .kind = SettingKind::Choice,
     .member = &P::character_set, .defaultText = "Default", .control = "cbcharset",
     .dialogField = "edtcharset", .storeRank = 7},
    {.fileKey = "tabledefonly", .storeName = "tabledefonly", .kind = SettingKind::CheckBox,
     .member = &P::tabledefonly, .defaultText = "0", .control = "chktabledefi",
     .dialogField = "chktabledefi", .storeRank = 12},
    {.fileKey = "skipindex", .storeName = "skipindex", .kind = SettingKind::CheckBox,
     .member = &P::skipindex, .defaultText = "0", .control = "chkskipindex",
     .dialogField = "chkskipindex", .storeRank = 14},
    {.fileKey = "nameuppercase", .storeName = "nameuppercase", .kind = SettingKind::CheckBox,
     .member = &P::nameuppercase, .defaultText = "1", .control = "chkuppercase",
     .dialogField = "chkuppercase", .storeRank = 13},
    {.fileKey = "blobtotext", .storeName = "blobtotext", .kind = SettingKind::CheckBox,
     .member = &P::blobtotext, .defaultText = "0", .control = "chkblobtotext",
     .dialogField = "chkblobtotext", .storeRank = 15},
    {.fileKey = "fullschema", .storeName = "fullschema", .kind = SettingKind::CheckBox,
     .member = &P::fullschema, .defaultText = "0", .control = "chkfullschema"},
    {.fileKey = "verifyrows", .storeName = "verifyrows", .kind = SettingKind::CheckBox,
     .member = &P::verifyrows, .defaultText = "0", .control = "chkverifyrows"},
    // New options go here, before the table list.
    {.fileKey = "alltables", .storeName = nullptr, .kind = SettingKind::TableList,
     .member = &P::tables, .defaultText = "1", .control = "selecttables"},
};
// clang-format on

bool isPortNumber(const QString& value)
{
    const QString number = value.trimmed();
    if (number.isEmpty())
        return true;  // the client library's default port
    for (const QChar c : number) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const uint port = number.toUInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

[[noreturn]] void rejectValue(const SettingRow& row, const QString& value, const QString& expected)
{
    const QString start = QStringLiteral("Invalid value of %1 in the settings file").arg(QLatin1String(row.fileKey));
    if (const QString hidden = hiddenValueNote(value); !hidden.isEmpty())
        throw Error(QStringLiteral("%1 (%2); %3").arg(start, expected, hidden));
    throw Error(QStringLiteral("%1: %2 (%3)").arg(start, quotedRejectedValue(value), expected));
}

// The value of a WholeNumber row as the chosen entry of its radio group.
int entryOf(const SettingRow& row, const QString& value)
{
    return radioEntryFor(toWholeNumber(value), row.entries);
}

struct ProfileValueSetter {
    ConversionProfile& profile;
    const SettingRow& row;
    const QString& value;

    void operator()(QString P::*member) const { profile.*member = value; }
    void operator()(int P::*member) const { profile.*member = entryOf(row, value); }
    void operator()(bool P::*member) const { profile.*member = value == QLatin1String("1"); }
    void operator()(ExistingTableAction P::*member) const
    {
        profile.*member = existingTableActionAt(entryOf(row, value));
    }
    void operator()(QStringList P::*) const {}
};

struct ProfileValueGetter {
    const ConversionProfile& profile;

    QString operator()(QString P::*member) const { return profile.*member; }
    QString operator()(int P::*member) const { return QString::number(profile.*member); }
    QString operator()(bool P::*member) const
    {
        return profile.*member ? QStringLiteral("1") : QStringLiteral("0");
    }
    QString operator()(ExistingTableAction P::*member) const
    {
        return QString::number(entryOfExistingTableAction(profile.*member));
    }
    QString operator()(QStringList P::*) const { return QStringLiteral("0"); }
};

}  // namespace

const QList<SettingRow>& settingsSchema()
{
    return rows;
}

QList<const SettingRow*> rememberedRows()
{
    QList<const SettingRow*> remembered;
    for (const SettingRow& row : rows) {
        if (row.storeName)
            remembered.append(&row);
    }
    std::stable_sort(remembered.begin(), remembered.end(),
                     [](const SettingRow* a, const SettingRow* b) { return a->storeRank < b->storeRank; });
    return remembered;
}

const SettingRow& settingRowOf(SettingMember member)
{
    for (const SettingRow& row : rows) {
        if (row.member == member)
            return row;
    }
    throw std::logic_error("a ConversionProfile member without a settings row");
}

const SettingRow& tableListRow()
{
    return settingRowOf(&P::tables);
}

QString tableLinePrefix()
{
    return QStringLiteral("tables");
}

void setProfileValue(ConversionProfile& profile, const SettingRow& row, const QString& value)
{
    std::visit(ProfileValueSetter{profile, row, value}, row.member);
}

void checkSettingsFileValue(const SettingRow& row, const QString& value)
{
    switch (row.valueRule) {
    case ValueRule::Any:
        break;
    case ValueRule::EntryInRange: {
        const int n = toWholeNumber(value);
        if (n < 0 || n >= row.entries)
            rejectValue(row, value, QStringLiteral("a whole number from 0 to %1").arg(row.entries - 1));
        break;
    }
    case ValueRule::PortNumber:
        if (!isPortNumber(value))
            rejectValue(row, value, QStringLiteral("a port number from 1 to 65535, or nothing"));
        break;
    }
    if (row.kind == SettingKind::WholeNumber)
        toWholeNumber(value);
}

ConversionProfile profileFromValues(const SettingsValues& values)
{
    ConversionProfile profile;
    const auto apply = [&](const SettingRow& row) {
        const QString value = values.value(QLatin1String(row.fileKey));
        checkSettingsFileValue(row, value);
        setProfileValue(profile, row, value);
    };
    for (const SettingRow* row : rememberedRows())
        apply(*row);
    for (const SettingRow& row : rows) {
        if (!row.storeName)
            apply(row);
    }
    return profile;
}

SettingsValues valuesFromProfile(const ConversionProfile& profile)
{
    SettingsValues values;
    for (const SettingRow& row : rows)
        values.insert(QLatin1String(row.fileKey), std::visit(ProfileValueGetter{profile}, row.member));
    return values;
}

}  // namespace dovrelle
