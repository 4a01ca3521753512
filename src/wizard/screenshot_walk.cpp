#include "screenshot_walk.h"

#include "taaform1.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>

#include "radio_group.h"

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

private:
    static void print(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

QString shotValue(const char* name)
{
    return qEnvironmentVariable((QByteArray("DOVRELLE_SHOT_") + name).constData());
}

void setField(Taaform1& window, const char* name, const QString& text)
{
    if (auto* field = window.findChild<QLineEdit*>(QString::fromLatin1(name)))
        field->setText(text);
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool savePage(Taaform1& window, const QString& folder, int page)
{
    settle();
    const QString path = QDir(folder).filePath(QStringLiteral("page%1.png").arg(page));
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

void walk(Taaform1& window, const QString& folder)
{
    QDir().mkpath(folder);
    savePage(window, folder, 1);
    window.performNext();

    window.findChild<RadioGroup*>(QStringLiteral("accessmode"))->setItemIndex(1);
    setField(window, "edthost", shotValue("MYSQL_HOST"));
    setField(window, "edtport", shotValue("MYSQL_PORT"));
    setField(window, "edtname", shotValue("MYSQL_USER"));
    setField(window, "edtpassword", shotValue("MYSQL_PASSWORD"));
    setField(window, "edtdatabase", shotValue("MYSQL_DATABASE"));
    savePage(window, folder, 2);
    window.performNext();

    setField(window, "edtservice", shotValue("ORACLE_SERVICE"));
    setField(window, "edtoracleusername", shotValue("ORACLE_USER"));
    setField(window, "edtoraclepassword", shotValue("ORACLE_PASSWORD"));
    savePage(window, folder, 3);
    window.performNext();

    savePage(window, folder, 4);
    window.performNext();

    auto* available = window.findChild<QListWidget*>(QStringLiteral("availabletables"));
    const QStringList wanted = shotValue("TABLES").split(u',', Qt::SkipEmptyParts);
    for (int i = 0; i < available->count(); ++i)
        available->item(i)->setSelected(wanted.contains(available->item(i)->text()));
    window.Button1Click();
    savePage(window, folder, 5);
    window.performNext();

    savePage(window, folder, 6);
    if (window.currentStep() != 6)
        std::fprintf(stderr, "the walk ended on page %d\n", window.currentStep());
    QApplication::exit(window.currentStep() == 6 ? 0 : 1);
}

}  // namespace

void startScreenshotWalk(Taaform1& window, const QString& folder)
{
    window.setMessageSeam(std::make_unique<PrintingSeam>());
    QTimer::singleShot(500, &window, [&window, folder] { walk(window, folder); });
}

}  // namespace dovrelle
