#include "wizard/screenshot_walk.h"

#include "wizard/conversion_wizard.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>

#include "wizard/radio_group.h"
#include "wizard/run_progress_panel.h"
#include "wizard/wizard_controls.h"

#include <cstdio>
#include <memory>

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

// Saves progress-mid-run.png once, at a check point of the run where the progress panel shows a
// table part-way through: some rows copied and more to come, the run between a quarter and
// three quarters done.
void saveProgressMidRun(ConversionWizard& window, const QString& folder, bool& saved)
{
    const RunProgressPanel& panel = window.runProgressPanel();
    if (saved || !panel.isVisible() || panel.percent() < 25 || panel.percent() > 75)
        return;
    saved = true;
    const QString path = QDir(folder).filePath(shotValue("PREFIX") + QStringLiteral("progress-mid-run.png"));
    const bool written = window.grab().save(path);
    std::fprintf(stderr, "%s %s (%d %%: %s)\n", written ? "saved" : "could not save", qPrintable(path),
                 panel.percent(), qPrintable(panel.lines().join(QStringLiteral(" | "))));
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
    auto progressSaved = std::make_shared<bool>(false);
    window.eventsLetThrough = [&window, folder, progressSaved] { saveProgressMidRun(window, folder, *progressSaved); };
    if (!nextReaches(window, 6))
        return;
    window.eventsLetThrough = nullptr;
    if (!*progressSaved)
        std::fprintf(stderr, "the run ended before its progress could be saved mid-run\n");
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
