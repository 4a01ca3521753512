// The actions of pages 2 to 5: the server connections, the lists and the moves between them.
#include "wizard/conversion_wizard.h"
#include "wizard/settings_controls.h"

#include "engine/database_preselection.h"
#include "db/error.h"
#include "db/mysql_connection.h"
#include "engine/source_listing.h"
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
    if (accessmode_->itemIndex() == 1) {
        edthost_->setEnabled(true);
        setBaseColour(edthost_, QPalette::Base);
    } else if (accessmode_->itemIndex() == 0) {
        edthost_->setEnabled(false);
        setBaseColour(edthost_, QPalette::Button);
    }
    edtport_->setEnabled(true);
}

void ConversionWizard::connectToMySql()
{
    if (edtdatabase_->text().trimmed().isEmpty()) {
        seam_->notify(this, QStringLiteral("Please enter database name"));
        edtdatabase_->setFocus();
        throw SilentAbort();
    }
    catalog_->close();
    catalog_->setParameters(
        catalogConnectionParameters(dovrelle::profileFromControls(*this), edtdatabase_->text()));
    catalog_->open();

    const QStringList databases = listedNames(*catalog_, QStringLiteral("show databases "));
    mysqldblist_->clear();
    mysqldblist_->addItems(databases);
    const int matching = preselectedDatabase(databases, edtdatabase_->text());
    if (matching >= 0)
        mysqldblist_->setCurrentRow(matching, QItemSelectionModel::ClearAndSelect);
}

void ConversionWizard::connectToOracle()
{
    for (OracleConnection* connection : {oracle_.get(), oracleData_.get()}) {
        connection->close();
        connection->setParameters(OracleConnection::standardParameters(
            edtservice_->text(), edtoracleusername_->text(), edtoraclepassword_->text()));
        connection->open();
    }
}

void ConversionWizard::listTables()
{
    catalog_->close();
    const QList<QListWidgetItem*> chosen = mysqldblist_->selectedItems();
    if (chosen.isEmpty())
        throw Error(QStringLiteral("List index out of bounds (-1)"));
    catalog_->parameters().setValue(QStringLiteral("Database"), chosen.first()->text());
    catalog_->open();

    for (const QString& name : listedNames(*catalog_, QStringLiteral("show tables")))
        addAvailableTable(name);
    if (availabletables_->count() > 0)
        availabletables_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void ConversionWizard::clearTableLists()
{
    availabletables_->clear();
    selecttables_->clear();
}

// Add >: the selected available entries go to the end of the chosen list, in their order.
void ConversionWizard::addSelectedTables()
{
    const int end = selecttables_->count();
    for (int i = availabletables_->count() - 1; i >= 0; --i) {
        if (!availabletables_->item(i)->isSelected())
            continue;
        selecttables_->insertItem(end, availabletables_->item(i)->text());
        delete availabletables_->takeItem(i);
    }
    updateNextForTables();
}

void ConversionWizard::addAllTables()
{
    selecttables_->addItems(entries(availabletables_));
    availabletables_->clear();
    updateNextForTables();
}

// < Remove: the selected chosen entries go back; from now on the available list stays sorted.
void ConversionWizard::removeSelectedTables()
{
    const int end = availabletables_->count();
    for (int i = selecttables_->count() - 1; i >= 0; --i) {
        if (!selecttables_->item(i)->isSelected())
            continue;
        availabletables_->insertItem(end, selecttables_->item(i)->text());
        delete selecttables_->takeItem(i);
    }
    sortAvailableTables();
    updateNextForTables();
}

void ConversionWizard::removeAllTables()
{
    availabletables_->addItems(entries(selecttables_));
    selecttables_->clear();
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
        btnext_->setEnabled(selecttables_->count() > 0);
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
    if (sameName(availabletables_) || sameName(selecttables_))
        return;
    int row = availabletables_->count();
    if (availableSorted_) {
        while (row > 0 && alphabeticallyBefore(name, availabletables_->item(row - 1)->text()))
            --row;
    }
    availabletables_->insertItem(row, name);
}

void ConversionWizard::sortAvailableTables()
{
    availableSorted_ = true;
    QStringList names = entries(availabletables_);
    std::stable_sort(names.begin(), names.end(), alphabeticallyBefore);
    if (names == entries(availabletables_))
        return;
    availabletables_->clear();
    availabletables_->addItems(names);
}

}  // namespace dovrelle
