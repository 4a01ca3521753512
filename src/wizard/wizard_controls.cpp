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
    : accessmode(control<RadioGroup>(w, settingRowOf(&ConversionProfile::accessmode).control)),
      edtdatabase(control<QLineEdit>(w, "edtdatabase")),
      edtname(control<QLineEdit>(w, "edtname")),
      edtpassword(control<QLineEdit>(w, "edtpassword")),
      edthost(control<QLineEdit>(w, "edthost")),
      edtport(control<QLineEdit>(w, "edtport")),
      edtservice(control<QLineEdit>(w, "edtservice")),
      edtoracleusername(control<QLineEdit>(w, "edtoracleusername")),
      edtoraclepassword(control<QLineEdit>(w, "edtoraclepassword")),
      mysqldblist(control<QListWidget>(w, "mysqldblist")),
      processtable(control<RadioGroup>(w, settingRowOf(&ConversionProfile::processtable).control)),
      chktabledefi(control<QCheckBox>(w, "chktabledefi")),
      chkskipindex(control<QCheckBox>(w, "chkskipindex")),
      chkuppercase(control<QCheckBox>(w, "chkuppercase")),
      chkblobtotext(control<QCheckBox>(w, "chkblobtotext")),
      cbcharset(control<QComboBox>(w, "cbcharset")),
      availabletables(control<QListWidget>(w, "availabletables")),
      selecttables(control<QListWidget>(w, "selecttables"))
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
