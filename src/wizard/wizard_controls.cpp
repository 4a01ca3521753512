#include "wizard/wizard_controls.h"

#include "db/error.h"
#include "settings/settings_schema.h"
#include "wizard/radio_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace dovrelle {

namespace {

template <typename T>
T* control(QWidget& window, const char* name)
{
    auto* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        throw Error(QStringLiteral("The window has no control \"%1\"").arg(QLatin1String(name)));
    return found;
}

}  // namespace

WizardControls::WizardControls(QWidget& w)
    : accessMode(control<RadioGroup>(w, settingRowOf(&ConversionProfile::accessmode).control)),
      databaseEdit(control<QLineEdit>(w, "edtdatabase")),
      mysqlUserEdit(control<QLineEdit>(w, "edtname")),
      mysqlPasswordEdit(control<QLineEdit>(w, "edtpassword")),
      hostEdit(control<QLineEdit>(w, "edthost")),
      portEdit(control<QLineEdit>(w, "edtport")),
      oracleServiceEdit(control<QLineEdit>(w, "edtservice")),
      oracleUserEdit(control<QLineEdit>(w, "edtoracleusername")),
      oraclePasswordEdit(control<QLineEdit>(w, "edtoraclepassword")),
      databaseList(control<QListWidget>(w, "mysqldblist")),
      existingTableChoice(control<RadioGroup>(w, settingRowOf(&ConversionProfile::processtable).control)),
      tableDefinitionsOnlyBox(control<QCheckBox>(w, "chktabledefi")),
      skipIndexesBox(control<QCheckBox>(w, "chkskipindex")),
      upperCaseNamesBox(control<QCheckBox>(w, "chkuppercase")),
      blobToTextBox(control<QCheckBox>(w, "chkblobtotext")),
      characterSetBox(control<QComboBox>(w, "cbcharset")),
      availableTablesList(control<QListWidget>(w, "availabletables")),
      chosenTablesList(control<QListWidget>(w, "selecttables"))
{
}

int chosenCharacterSetIndex(const QComboBox& box)
{
    const QString text = box.currentText();
    if (box.currentIndex() >= 0 && box.itemText(box.currentIndex()) == text)
        return box.currentIndex();
    return box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void setCharacterSetText(QComboBox& box, const QString& text)
{
    const int index = box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box.setCurrentIndex(index);
    if (index < 0)
        box.setEditText(text);
}

QString chosenListText(const QListWidget& list)
{
    const QList<QListWidgetItem*> chosen = list.selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

}  // namespace dovrelle
