// The HTML report as text: escaped names, passwords hidden even inside quoted error lines, nothing
// that runs or fetches, and the report's place beside the log.
#include "engine/run_report.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

ReportContent runWithHostileTexts()
{
    ReportContent content;
    content.title = QStringLiteral("Conversion report");
    content.profile.mysqlp = QStringLiteral("my-Secret_1");
    content.profile.oraclep = QStringLiteral("ora<Secret>2");
    content.profile.mysqldatabase = QStringLiteral("shop");
    content.summary = QStringLiteral("Completed with errors in 1 of 2 tables: <b>X</b>");
    content.tables = {
        {QStringLiteral("a<script>alert(1)</script>"), QStringLiteral("A"), 10, 2000, false, {}, QStringLiteral("verified")},
        {QStringLiteral("b"), QStringLiteral("B"), 0, 0, true,
         QStringLiteral("ORA-01017: invalid username/password my-Secret_1 & ora<Secret>2"), {}},
    };
    return content;
}

TEST(RunReport, EscapesEveryTextHidesPasswordsAndHoldsNoScriptOrFetch)
{
    const QString html = reportHtml(runWithHostileTexts());
    EXPECT_FALSE(html.contains("my-Secret_1"));
    EXPECT_FALSE(html.contains("ora<Secret>2"));
    EXPECT_FALSE(html.contains("ora&lt;Secret&gt;2"));
    EXPECT_TRUE(html.contains("failed: ORA-01017: invalid username/password ******** &amp; ********")) << html.toStdString();
    EXPECT_FALSE(html.contains("<script")) << html.toStdString();
    EXPECT_TRUE(html.contains("a&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(html.contains("&lt;b&gt;X&lt;/b&gt;"));
    // No address but the SVG namespace: nothing is fetched when the page opens.
    const QRegularExpression address(QStringLiteral("(https?:|src=|href=|@import|url\\()"));
    QString withoutNamespace = html;
    withoutNamespace.remove(QStringLiteral("xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_FALSE(withoutNamespace.contains(address)) << html.toStdString();
    // One bar per table, 10 rows in 2 s.
    EXPECT_EQ(html.count("<rect class=\"bar\""), 2);
    EXPECT_TRUE(html.contains("<td>10</td><td>2.00</td><td>5</td>")) << html.toStdString();
}

TEST(RunReport, SitsBesideTheLogUnderItsName)
{
    const struct {
        const char* log;
        const char* report;
    } cases[] = {
        {"/data/nightly.log", "/data/nightly.html"},
        {"/data/qelt_20261210_1200.log", "/data/qelt_20261210_1200.html"},
        {"/data/absent", "/data/absent.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportPathForLog(QString::fromLatin1(c.log)), QString::fromLatin1(c.report)) << c.log;
}

}  // namespace
