#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QWidget;

namespace dovrelle {

class RadioGroup;

// The wizard's setting controls, found by their object names. Throws Error naming a control
// that the window does not have.
struct WizardControls {
    explicit WizardControls(QWidget& window);

    RadioGroup* accessMode;
    QLineEdit* databaseEdit;
    QLineEdit* mysqlUserEdit;
    QLineEdit* mysqlPasswordEdit;
    QLineEdit* hostEdit;
    QLineEdit* portEdit;
    QLineEdit* oracleServiceEdit;
    QLineEdit* oracleUserEdit;
    QLineEdit* oraclePasswordEdit;
    QListWidget* databaseList;
    RadioGroup* existingTableChoice;
    QCheckBox* tableDefinitionsOnlyBox;
    QCheckBox* skipIndexesBox;
    QCheckBox* upperCaseNamesBox;
    QCheckBox* blobToTextBox;
    QComboBox* characterSetBox;
    QListWidget* availableTablesList;
    QListWidget* chosenTablesList;
};

// The position of the character-set entry that the box shows as chosen: the entry whose text the
// box holds, -1 when its text is none of the entries.
int chosenCharacterSetIndex(const QComboBox& box);

// Gives the character-set box a text: the entry of that text becomes the chosen one, or, for a
// text that is no entry, the box holds the text with no entry chosen.
void setCharacterSetText(QComboBox& box, const QString& text);

// The text of the entry chosen in a list, or the empty text.
QString chosenListText(const QListWidget& list);

}  // namespace dovrelle
