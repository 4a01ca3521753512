#include "remembered_settings.h"

#include "error.h"
#include "radio_group.h"
#include "settings_store.h"
#include "whole_number.h"
#include "wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace dovrelle {

namespace {

const QString characterSetName = QStringLiteral("Character Set");

const QStringList& storedNames()
{
    static const QStringList names{
        QStringLiteral("accessmode"), QStringLiteral("mysqldatabase"), QStringLiteral("mysqlu"),
        QStringLiteral("mysqlp"),     QStringLiteral("host"),          QStringLiteral("port"),
        characterSetName,             QStringLiteral("oracleh"),       QStringLiteral("oraclep"),
        QStringLiteral("oracleu"),    QStringLiteral("processtable"),  QStringLiteral("tabledefonly"),
        QStringLiteral("nameuppercase"), QStringLiteral("skipindex"),  QStringLiteral("blobtotext"),
    };
    return names;
}

// Reads the stored values in their order, each through the rule of its kind.
class StoredReader {
public:
    explicit StoredReader(const StoredValues& values) : values_(values) {}

    // A choice: the stored number, or entry 0 when missing, empty, not a number or not text.
    int choice(const QString& name) const
    {
        const StoredValue v = values_.value(name);
        if (v.kind != StoredValue::Kind::Text)
            return 0;
        return parseWholeNumber(v.text).value_or(0);
    }

    QString text(const QString& name) const
    {
        const StoredValue v = values_.value(name);
        if (v.kind == StoredValue::Kind::OtherType)
            throw Error(QStringLiteral("Invalid data type for '%1'").arg(name));
        return v.text;
    }

    bool flag(const QString& name) const { return text(name) == QLatin1String("1"); }

private:
    const StoredValues& values_;
};

QString flagText(const QCheckBox* box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void applyStoredValues(const WizardControls& c, const StoredReader& r)
{
    c.accessmode->setItemIndex(r.choice(QStringLiteral("accessmode")));
    c.edtdatabase->setText(r.text(QStringLiteral("mysqldatabase")));
    c.edtname->setText(r.text(QStringLiteral("mysqlu")));
    c.edtpassword->setText(r.text(QStringLiteral("mysqlp")));
    c.edthost->setText(r.text(QStringLiteral("host")));
    c.edtport->setText(r.text(QStringLiteral("port")));
    const int charset = r.choice(characterSetName);
    if (charset != c.cbcharset->currentIndex())
        c.cbcharset->setCurrentIndex(charset >= 0 && charset < c.cbcharset->count() ? charset : -1);
    c.edtservice->setText(r.text(QStringLiteral("oracleh")));
    c.edtoracleusername->setText(r.text(QStringLiteral("oracleu")));
    c.edtoraclepassword->setText(r.text(QStringLiteral("oraclep")));
    c.processtable->setItemIndex(r.choice(QStringLiteral("processtable")));
    c.chktabledefi->setChecked(r.flag(QStringLiteral("tabledefonly")));
    c.chkuppercase->setChecked(r.flag(QStringLiteral("nameuppercase")));
    c.chkskipindex->setChecked(r.flag(QStringLiteral("skipindex")));
    c.chkblobtotext->setChecked(r.flag(QStringLiteral("blobtotext")));
}

}  // namespace

void loadRegistrySettings(QWidget& window)
{
    const WizardControls c(window);
    if (const auto values = readSettingsStore(storedNames()))
        applyStoredValues(c, StoredReader(*values));
    if (c.edtport->text().isEmpty())
        c.edtport->setText(QStringLiteral("3306"));
}

void saveRegistrySettings(QWidget& window)
{
    const WizardControls c(window);
    writeSettingsStore({
        {QStringLiteral("accessmode"), QString::number(c.accessmode->itemIndex())},
        {QStringLiteral("mysqldatabase"), c.edtdatabase->text()},
        {QStringLiteral("mysqlu"), c.edtname->text()},
        {QStringLiteral("mysqlp"), c.edtpassword->text()},
        {QStringLiteral("host"), c.edthost->text()},
        {QStringLiteral("port"), c.edtport->text()},
        {characterSetName, QString::number(chosenCharacterSetIndex(*c.cbcharset))},
        {QStringLiteral("oracleh"), c.edtservice->text()},
        {QStringLiteral("oraclep"), c.edtoraclepassword->text()},
        {QStringLiteral("oracleu"), c.edtoracleusername->text()},
        {QStringLiteral("processtable"), QString::number(c.processtable->itemIndex())},
        {QStringLiteral("tabledefonly"), flagText(c.chktabledefi)},
        {QStringLiteral("nameuppercase"), flagText(c.chkuppercase)},
        {QStringLiteral("skipindex"), flagText(c.chkskipindex)},
        {QStringLiteral("blobtotext"), flagText(c.chkblobtotext)},
    });
}

}  // namespace dovrelle
