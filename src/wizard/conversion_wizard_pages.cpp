// The actions of pages 2 to 5: the server connections, the lists and the moves between them.
#include "wizard/conversion_wizard.h"
#include "wizard/settings_controls.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "engine/page_checks.h"
#include "db/oracle_connection.h"
#include "wizard/radio_group.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace dovrelle {

namespace {

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

bool alphabeticallyBefore(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

void setBaseColour(QLineEdit* field, QPalette::ColorRole role)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(role));
    field->setPalette(palette);
}

}  // namespace

void ConversionWizard::accessModeChanged()
{
    if (accessMode_->itemIndex() == 1) {
        hostEdit_->setEnabled(true);
        setBaseColour(hostEdit_, QPalette::Base);
    } else if (accessMode_->itemIndex() == 0) {
        hostEdit_->setEnabled(false);
        setBaseColour(hostEdit_, QPalette::Button);
    }
    portEdit_->setEnabled(true);
}

PageOutcome ConversionWizard::connectToMySql()
{
    if (const QString notice = databaseNameNotice(databaseEdit_->text()); !notice.isEmpty()) {
        seam_->notify(this, notice);
        databaseEdit_->setFocus();
        return PageOutcome::Stay;
    }
    catalog_->close();
    catalog_->setParameters(
        catalogConnectionParameters(dovrelle::profileFromControls(*this), databaseEdit_->text()));
    catalog_->open();

    const DatabaseListing listing = listDatabases(*catalog_, databaseEdit_->text());
    databaseList_->clear();
    databaseList_->addItems(listing.databases);
    if (listing.preselected >= 0)
        databaseList_->setCurrentRow(listing.preselected, QItemSelectionModel::ClearAndSelect);
    return PageOutcome::MoveOn;
}

void ConversionWizard::connectToOracle()
{
    for (OracleConnection* connection : {oracle_.get(), oracleData_.get()})
        logOnToOracle(*connection, oracleServiceEdit_->text(), oracleUserEdit_->text(), oraclePasswordEdit_->text());
}

void ConversionWizard::listTables()
{
    catalog_->close();
    const QList<QListWidgetItem*> chosen = databaseList_->selectedItems();
    if (chosen.isEmpty())
        throw noDatabaseChosen();
    for (const QString& name : listDatabaseTables(*catalog_, chosen.first()->text()))
        addAvailableTable(name);
    if (availableTablesList_->count() > 0)
        availableTablesList_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void ConversionWizard::clearTableLists()
{
    availableTablesList_->clear();
    chosenTablesList_->clear();
}

// Add >: the selected available entries go to the end of the chosen list, in their order.
void ConversionWizard::addSelectedTables()
{
    const int end = chosenTablesList_->count();
    for (int i = availableTablesList_->count() - 1; i >= 0; --i) {
        if (!availableTablesList_->item(i)->isSelected())
            continue;
        chosenTablesList_->insertItem(end, availableTablesList_->item(i)->text());
        delete availableTablesList_->takeItem(i);
    }
    updateNextForTables();
}

void ConversionWizard::addAllTables()
{
    chosenTablesList_->addItems(entries(availableTablesList_));
    availableTablesList_->clear();
    updateNextForTables();
}

// < Remove: the selected chosen entries go back; from now on the available list stays sorted.
void ConversionWizard::removeSelectedTables()
{
    const int end = availableTablesList_->count();
    for (int i = chosenTablesList_->count() - 1; i >= 0; --i) {
        if (!chosenTablesList_->item(i)->isSelected())
            continue;
        availableTablesList_->insertItem(end, chosenTablesList_->item(i)->text());
        delete chosenTablesList_->takeItem(i);
    }
    sortAvailableTables();
    updateNextForTables();
}

void ConversionWizard::removeAllTables()
{
    availableTablesList_->addItems(entries(chosenTablesList_));
    chosenTablesList_->clear();
    sortAvailableTables();
    updateNextForTables();
}

void ConversionWizard::createShortcutFile()
{
    if (openShortcutDialog)
        openShortcutDialog();
}

void ConversionWizard::updateNextForTables()
{
    if (currentStep_ == 5)
        nextButton_->setEnabled(chosenTablesList_->count() > 0);
}

// A listed name takes its alphabetical place once the list is kept sorted, else goes last.
void ConversionWizard::addAvailableTable(const QString& name)
{
    // A name stands in at most one of the two lists. Page 4 can list the tables twice without
    // page 5 emptying the lists in between (a stop after a failed run keeps the wizard on page 4),
    // and a table listed twice would be converted twice.
    const auto sameName = [&name](const QListWidget* list) {
        return !list->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
    };
    if (sameName(availableTablesList_) || sameName(chosenTablesList_))
        return;
    int row = availableTablesList_->count();
    if (availableSorted_) {
        while (row > 0 && alphabeticallyBefore(name, availableTablesList_->item(row - 1)->text()))
            --row;
    }
    availableTablesList_->insertItem(row, name);
}

void ConversionWizard::sortAvailableTables()
{
    availableSorted_ = true;
    QStringList names = entries(availableTablesList_);
    std::stable_sort(names.begin(), names.end(), alphabeticallyBefore);
    if (names == entries(availableTablesList_))
        return;
    availableTablesList_->clear();
    availableTablesList_->addItems(names);
}

}  // namespace dovrelle
