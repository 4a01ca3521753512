// The controls of the wizard window, their names, places and tab order.
#include "wizard/conversion_wizard.h"

#include "wizard/logo_image.h"
#include "settings/settings_schema.h"
#include "wizard/radio_group.h"
#include "engine/run_log.h"
#include "wizard/run_log_view.h"
#include "wizard/run_progress_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace dovrelle {

namespace {

constexpr int kPageWidth = 415;
constexpr int kFieldHeight = 21;

template <class T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A text label at x, y; its caption comes from the caption table. The width runs to `right`
// so that a longer caption in a larger platform font is not cut.
QLabel* textLabel(QWidget* parent, const char* name, int x, int y, int right = kPageWidth - 4)
{
    auto* label = named(new QLabel(parent), name);
    label->setGeometry(x, y, right - x, label->fontMetrics().height() + 2);
    return label;
}

QLineEdit* textField(QWidget* parent, const char* name, int x, int y, int width)
{
    auto* field = named(new QLineEdit(parent), name);
    field->setGeometry(x, y, width, kFieldHeight);
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y,
                    int width = 75)
{
    auto* pushButton = named(new QPushButton(caption, parent), name);
    pushButton->setGeometry(x, y, width, 25);
    pushButton->setAutoDefault(false);
    pushButton->setDefault(false);
    return pushButton;
}

QCheckBox* checkBox(QWidget* parent, const char* name, int x, int y)
{
    auto* box = named(new QCheckBox(parent), name);
    box->setGeometry(x, y, 215, 19);
    return box;
}

QListWidget* listBox(QWidget* parent, const char* name, int x, int y, int width, int height,
                     QAbstractItemView::SelectionMode mode)
{
    auto* list = named(new QListWidget(parent), name);
    list->setGeometry(x, y, width, height);
    list->setSelectionMode(mode);
    return list;
}

QFrame* panel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* frame = named(new QFrame(parent), name);
    frame->setGeometry(geometry);
    return frame;
}

}  // namespace

void ConversionWizard::buildFrame()
{
    QFrame* panel1 = panel(this, "Panel1", QRect(0, 0, 177, 425));
    panel1->setFrameShape(QFrame::Panel);
    panel1->setFrameShadow(QFrame::Raised);
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "Label" + QByteArray::number(i + 1);
        stepLabels_[i] = textLabel(panel1, name.constData(), 13, 24 + 40 * i, 13 + 150);
    }
    // The free part of the step panel, below the last step and above the logo.
    runProgress_ = new RunProgressPanel(panel1);
    runProgress_->setGeometry(8, 250, 161, 425 - 47 - 8 - 250 - 4);
    auto* logo = named(new LogoImage(QPixmap(QStringLiteral(":/wizard/logo.png")), panel1), "Image1");
    logo->setGeometry(1, 425 - 47 - 8, 175, 47);
    connect(logo, &LogoImage::clicked, this, &ConversionWizard::logoClicked);

    QFrame* panel2 = panel(this, "Panel2", QRect(177, 0, 417, 425));
    pages_ = named(new QStackedWidget(panel2), "pg");
    pages_->setGeometry(1, 1, kPageWidth, 372);
    const char* const sheets[] = {"TabSheet1", "TabSheet2", "TabSheet3",
                                  "TabSheet4", "TabSheet5", "TabSheet6"};
    QWidget* pages[6];
    for (int i = 0; i < 6; ++i) {
        pages[i] = named(new QWidget, sheets[i]);
        pages_->addWidget(pages[i]);
    }
    buildPage1(pages[0]);
    buildPage2(pages[1]);
    buildPage3(pages[2]);
    buildPage4(pages[3]);
    buildPage5(pages[4]);
    buildPage6(pages[5]);

    QFrame* divider = panel(panel2, "Panel5", QRect(0, 377, 417, 3));
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    QFrame* buttonRow = panel(panel2, "Panel3", QRect(0, 425 - 41, 417, 41));
    backButton_ = button(buttonRow, "btback", QStringLiteral("< Back"), 90, 8);
    nextButton_ = button(buttonRow, "btnext", QStringLiteral("Next >"), 168, 8);
    cancelButton_ = button(buttonRow, "btcancel", QStringLiteral("Close"), 255, 8);
    helpButton_ = button(buttonRow, "bthelp", QStringLiteral("Help"), 332, 8);
    connect(backButton_, &QPushButton::clicked, this, &ConversionWizard::back);
    connect(nextButton_, &QPushButton::clicked, this, &ConversionWizard::next);
    connect(cancelButton_, &QPushButton::clicked, this, &ConversionWizard::cancel);
    connect(helpButton_, &QPushButton::clicked, this, &ConversionWizard::showHelp);
    // Shown on page 6 when the run wrote a report.
    QPushButton* openReport = button(buttonRow, "btopenreport", QStringLiteral("Open report"), 8, 8, 78);
    openReport->hide();
    connect(openReport, &QPushButton::clicked, this, &ConversionWizard::openRunReport);
}

void ConversionWizard::buildPage1(QWidget* page)
{
    QLabel* title1 = textLabel(page, "Label7", 16, 1);
    QLabel* title2 = textLabel(page, "Label8", 16, 20);
    for (QLabel* title : {title1, title2}) {
        QFont font = title->font();
        font.setBold(true);
        font.setPixelSize(13);
        title->setFont(font);
        title->resize(title->width(), QFontMetrics(font).height() + 2);
    }
    textLabel(page, "Label9", 16, 72);
    textLabel(page, "Label10", 16, 96);
}

void ConversionWizard::buildPage2(QWidget* page)
{
    textLabel(page, "Label11", 16, 24);

    accessMode_ = named(new RadioGroup({QStringLiteral("&Local"), QStringLiteral("&Romote")}, page),
                        settingRowOf(&ConversionProfile::accessmode).control);
    accessMode_->setGeometry(16, 56, 136, 81);
    accessMode_->setItemIndex(0);
    connect(accessMode_, &RadioGroup::itemIndexChanged, this, &ConversionWizard::accessModeChanged);

    auto* authorization = named(new QGroupBox(page), "authorization");
    authorization->setGeometry(166, 56, 237, 114);
    databaseEdit_ = textField(authorization, "edtdatabase", 88, 21, 141);
    mysqlUserEdit_ = textField(authorization, "edtname", 88, 51, 141);
    mysqlPasswordEdit_ = textField(authorization, "edtpassword", 88, 81, 141);
    mysqlPasswordEdit_->setEchoMode(QLineEdit::Password);
    textLabel(authorization, "Label15", 10, 24, 86);
    textLabel(authorization, "Label12", 10, 54, 86);
    textLabel(authorization, "Label13", 10, 84, 86);

    auto* remote = named(new QGroupBox(page), "GroupBox2");
    remote->setGeometry(19, 184, 218, 75);
    hostEdit_ = textField(remote, "edthost", 48, 27, 160);
    textLabel(remote, "Label14", 10, 30, 46);
    textLabel(remote, "Label16", 10, 52, 216);

    auto* port = named(new QGroupBox(page), "GroupBox1");
    port->setGeometry(247, 184, 156, 75);
    portEdit_ = textField(port, "edtport", 82, 26, 66);
    textLabel(port, "edtport111", 8, 29, 80);
    textLabel(port, "Label17", 8, 52, 154);

    accessModeChanged();  // the host field starts disabled for Local
}

void ConversionWizard::buildPage3(QWidget* page)
{
    textLabel(page, "Label18", 8, 8);
    textLabel(page, "Label19", 8, 28);
    textLabel(page, "Label20", 8, 48);
    oracleServiceEdit_ = textField(page, "edtservice", 103, 83, 121);
    oracleUserEdit_ = textField(page, "edtoracleusername", 103, 144, 121);
    oraclePasswordEdit_ = textField(page, "edtoraclepassword", 103, 176, 121);
    oraclePasswordEdit_->setEchoMode(QLineEdit::Password);
    textLabel(page, "Label21", 26, 86, 26 + 75)->setBuddy(oracleServiceEdit_);
    textLabel(page, "Label22", 26, 147, 26 + 75)->setBuddy(oracleUserEdit_);
    textLabel(page, "Label23", 26, 179, 26 + 75)->setBuddy(oraclePasswordEdit_);
}

void ConversionWizard::buildPage4(QWidget* page)
{
    textLabel(page, "Label24", 11, 8);
    textLabel(page, "Label25", 13, 69, 220);
    databaseList_ = listBox(page, "mysqldblist", 13, 86, 201, 97, QAbstractItemView::SingleSelection);

    existingTableChoice_ = named(new RadioGroup({QStringLiteral("Overwrite"), QStringLiteral("Merge"),
                                          QStringLiteral("Skip")},
                                         page),
                          settingRowOf(&ConversionProfile::processtable).control);
    existingTableChoice_->setGeometry(226, 69, 176, 116);
    existingTableChoice_->setItemIndex(0);

    tableDefinitionsOnlyBox_ = checkBox(page, "chktabledefi", 19, 208);
    skipIndexesBox_ = checkBox(page, "chkskipindex", 19, 240);
    upperCaseNamesBox_ = checkBox(page, "chkuppercase", 241, 208);
    blobToTextBox_ = checkBox(page, "chkblobtotext", 241, 240);
    // Below the classic options; its caption needs the whole width of the page.
    fullSchemaBox_ = checkBox(page, "chkfullschema", 19, 260);
    fullSchemaBox_->setFixedWidth(kPageWidth - 19);

    textLabel(page, "Label33", 20, 283, 94);
    characterSetBox_ = named(new QComboBox(page), "cbcharset");
    characterSetBox_->setGeometry(96, 280, 145, kFieldHeight);
    characterSetBox_->setEditable(true);
    characterSetBox_->setInsertPolicy(QComboBox::NoInsert);
    characterSetBox_->setMaxVisibleItems(6);
    characterSetBox_->addItem(QStringLiteral("Default"));
    characterSetBox_->addItems(namedCharacterSets());
    characterSetBox_->setCurrentIndex(0);
    // Options beyond the four above: one addOptionCheckBox(page, "chk...") line each, here.
    addOptionCheckBox(page, "chkverifyrows");
}

// A check box of an option, in the next free place below the character set (two columns, two
// rows). Its value is the settings schema's business; its caption comes from the caption tables.
QCheckBox* ConversionWizard::addOptionCheckBox(QWidget* page, const char* name)
{
    static constexpr QPoint places[] = {{19, 312}, {241, 312}, {19, 338}, {241, 338}};
    const QPoint place = places[std::min(optionCheckBoxes_++, int(std::size(places)) - 1)];
    return checkBox(page, name, place.x(), place.y());
}

void ConversionWizard::buildPage5(QWidget* page)
{
    textLabel(page, "Label26", 19, 11);
    textLabel(page, "Label27", 26, 57, 200);
    textLabel(page, "Label28", 298, 57);
    availableTablesList_ = listBox(page, "availabletables", 11, 80, 153, 229,
                               QAbstractItemView::ExtendedSelection);
    chosenTablesList_ = listBox(page, "selecttables", 249, 78, 156, 229,
                            QAbstractItemView::ExtendedSelection);
    QPushButton* add = button(page, "Button1", QStringLiteral("Add >"), 167, 88);
    QPushButton* addAll = button(page, "Button2", QStringLiteral("Add all >"), 167, 132);
    QPushButton* remove = button(page, "Button3", QStringLiteral("< Remove"), 167, 176);
    QPushButton* removeAll = button(page, "Button4", QStringLiteral("< Remove all"), 167, 221);
    QPushButton* shortcut =
        button(page, "btcreatebat", QStringLiteral("Create Shortcut File"), 259, 313, 145);
    connect(add, &QPushButton::clicked, this, &ConversionWizard::addSelectedTables);
    connect(addAll, &QPushButton::clicked, this, &ConversionWizard::addAllTables);
    connect(remove, &QPushButton::clicked, this, &ConversionWizard::removeSelectedTables);
    connect(removeAll, &QPushButton::clicked, this, &ConversionWizard::removeAllTables);
    connect(shortcut, &QPushButton::clicked, this, &ConversionWizard::createShortcutFile);
    QPushButton* check = button(page, "btcheck", QStringLiteral("Check tables\u2026"), 11, 313, 145);
    connect(check, &QPushButton::clicked, this, &ConversionWizard::checkChosenTables);
    connect(availableTablesList_, &QListWidget::itemDoubleClicked, this, &ConversionWizard::addSelectedTables);
    connect(chosenTablesList_, &QListWidget::itemDoubleClicked, this, &ConversionWizard::removeSelectedTables);
}

void ConversionWizard::buildPage6(QWidget* page)
{
    runLogView_ = named(new RunLogView(page), "sc");
    runLogView_->setGeometry(0, 0, kPageWidth, 372);
    runLogView_->follow(*runLog_);
}

// Values the window keeps out of sight; the caption table sets their texts.
void ConversionWizard::buildHiddenValues()
{
    auto* hidden = named(new QWidget(this), "hiddenValues");
    hidden->hide();
    for (const char* name : {"helpurl", "queryclose", "Label29", "Label30", "Label32"})
        named(new QLabel(hidden), name);
}

void ConversionWizard::setTabOrders()
{
    const QList<QWidget*> order = {
        // page 2
        accessMode_->button(0), accessMode_->button(1), databaseEdit_, mysqlUserEdit_, mysqlPasswordEdit_,
        hostEdit_, portEdit_,
        // page 3
        oracleServiceEdit_, oracleUserEdit_, oraclePasswordEdit_,
        // page 4
        databaseList_, existingTableChoice_->button(0), existingTableChoice_->button(1), existingTableChoice_->button(2),
        tableDefinitionsOnlyBox_, skipIndexesBox_, upperCaseNamesBox_, blobToTextBox_, characterSetBox_, fullSchemaBox_,
        findChild<QWidget*>(QStringLiteral("chkverifyrows")),
        // page 5
        availableTablesList_, chosenTablesList_, findChild<QWidget*>(QStringLiteral("Button1")),
        findChild<QWidget*>(QStringLiteral("Button2")), findChild<QWidget*>(QStringLiteral("Button3")),
        findChild<QWidget*>(QStringLiteral("Button4")),
        findChild<QWidget*>(QStringLiteral("btcreatebat")), findChild<QWidget*>(QStringLiteral("btcheck")),
        // page 6
        runLogView_, findChild<QWidget*>(QStringLiteral("btopenreport")),
        // button row
        helpButton_, cancelButton_, nextButton_, backButton_};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

}  // namespace dovrelle
