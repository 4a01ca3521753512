#include "wizard/screenshot_walk.h"

#include "wizard/conversion_wizard.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>

#include "wizard/radio_group.h"
#include "wizard/wizard_controls.h"

#include <cstdio>

namespace dovrelle {

namespace {

// Prints every message instead of showing it, and answers No.
class PrintingSeam : public MessageSeam {
public:
    void showError(QWidget*, const QString& message) override { print(errorBoxText(message)); }
    Answer ask(QWidget*, const QString& caption, const QString& text) override
    {
        print(caption + QStringLiteral(": ") + text);
        return Answer::No;
    }
    void notify(QWidget*, const QString& text) override { print(text); }
    void warn(QWidget*, const QString& text) override { print(text); }

private:
    static void print(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

QString shotValue(const char* name)
{
    return qEnvironmentVariable((QByteArray("DOVRELLE_SHOT_") + name).constData());
}

void setField(ConversionWizard& window, const char* name, const QString& text)
{
    if (auto* field = window.findChild<QLineEdit*>(QString::fromLatin1(name)))
        field->setText(text);
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool savePage(ConversionWizard& window, const QString& folder, int page)
{
    settle();
    // DOVRELLE_SHOT_PREFIX tells the pictures of one language from those of another ("cn-").
    const QString path = QDir(folder).filePath(shotValue("PREFIX") + QStringLiteral("page%1.png").arg(page));
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// Next, and whether it reached the expected page (a failure was printed by the seam).
bool nextReaches(ConversionWizard& window, int page)
{
    window.performNext();
    if (window.currentStep() == page)
        return true;
    std::fprintf(stderr, "the walk stopped on page %d\n", window.currentStep());
    QApplication::exit(1);
    return false;
}

void walk(ConversionWizard& window, const QString& folder)
{
    QDir().mkpath(folder);
    savePage(window, folder, 1);
    if (!nextReaches(window, 2))
        return;

    WizardControls(window).accessMode->setItemIndex(1);
    setField(window, "edthost", shotValue("MYSQL_HOST"));
    setField(window, "edtport", shotValue("MYSQL_PORT"));
    setField(window, "edtname", shotValue("MYSQL_USER"));
    setField(window, "edtpassword", shotValue("MYSQL_PASSWORD"));
    setField(window, "edtdatabase", shotValue("MYSQL_DATABASE"));
    savePage(window, folder, 2);
    if (!nextReaches(window, 3))
        return;

    setField(window, "edtservice", shotValue("ORACLE_SERVICE"));
    setField(window, "edtoracleusername", shotValue("ORACLE_USER"));
    setField(window, "edtoraclepassword", shotValue("ORACLE_PASSWORD"));
    savePage(window, folder, 3);
    if (!nextReaches(window, 4))
        return;

    savePage(window, folder, 4);
    if (!nextReaches(window, 5))
        return;

    auto* available = window.findChild<QListWidget*>(QStringLiteral("availabletables"));
    const QStringList wanted = shotValue("TABLES").split(u',', Qt::SkipEmptyParts);
    for (int i = 0; i < available->count(); ++i)
        available->item(i)->setSelected(wanted.contains(available->item(i)->text()));
    window.addSelectedTables();
    savePage(window, folder, 5);
    if (!nextReaches(window, 6))
        return;
    savePage(window, folder, 6);
    QApplication::exit(0);
}

}  // namespace

void startScreenshotWalk(ConversionWizard& window, const QString& folder)
{
    window.setMessageSeam(std::make_unique<PrintingSeam>());
    QTimer::singleShot(500, &window, [&window, folder] { walk(window, folder); });
}

}  // namespace dovrelle
