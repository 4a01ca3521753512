// The progress panel in the step panel: every figure is shown whole, however long the numbers
// and the table name, in both caption languages.
#include "wizard/run_progress_panel.h"

#include <QFontMetrics>
#include <QWidget>
#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

QString withoutSpaces(const QStringList& lines)
{
    return lines.join(QString()).remove(QLatin1Char(' '));
}

TEST(RunProgressPanel, NoFigureIsElidedInEitherLanguage)
{
    RunProgress p;
    p.tableNumber = 12;
    p.tableCount = 148;
    p.tableName = QStringLiteral("customer_order_line_items_archive");
    p.rowsCopied = 432400;
    p.estimatedRows = 1980896;
    p.estimatedRowsToCome = 123456789;
    p.rowsCopiedInRun = 98765432;
    p.tableMilliseconds = 15 * 1000;
    p.runMilliseconds = 3 * 3600 * 1000 + 5000;
    for (const char* language : {"en", "cn"}) {
        SCOPED_TRACE(language);
        QWidget stepPanel;
        stepPanel.resize(177, 425);
        RunProgressPanel panel(&stepPanel);
        panel.setGeometry(8, 250, 161, 116);  // the free part of the step panel
        stepPanel.show();
        panel.showProgress(p, QString::fromLatin1(language));

        const QStringList drawn = panel.drawnLines();
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_EQ(withoutSpaces(drawn), withoutSpaces(panel.lines())) << drawn.join('|').toStdString();
        EXPECT_TRUE(panel.lines().join(' ').contains("1,980,896")) << panel.lines().join('|').toStdString();
        const QFontMetrics metrics(panel.drawnFont());
        for (const QString& line : drawn)
            EXPECT_LE(metrics.horizontalAdvance(line), panel.width()) << line.toStdString();
        EXPECT_LE(panel.textTop() + drawn.size() * metrics.height(), panel.height()) << drawn.join('|').toStdString();
    }
}

}  // namespace
