// The caption language at start: the system's language, overruled by --language.
#include "texts/language_choice.h"

#include <gtest/gtest.h>

namespace {

using dovrelle::chooseLanguage;
using dovrelle::languageOfSystem;

TEST(LanguageChoice, ChineseSystemsGetCnEveryOtherEn)
{
    const struct {
        const char* locale;
        const char* code;
    } cases[] = {{"zh_CN", "cn"}, {"zh_TW", "cn"}, {"zh_HK", "cn"}, {"en_US", "en"},
                 {"de_DE", "en"}, {"ja_JP", "en"}, {"C", "en"}};
    for (const auto& c : cases)
        EXPECT_EQ(languageOfSystem(QLocale(QString::fromLatin1(c.locale))), QLatin1String(c.code)) << c.locale;
}

TEST(LanguageChoice, TheOptionWinsOverTheSystemAndLeavesTheOtherArguments)
{
    const QLocale chinese(QStringLiteral("zh_CN"));
    const QLocale english(QStringLiteral("en_GB"));
    const struct {
        QStringList commandLine;
        QLocale system;
        QString code;
        QStringList others;
    } cases[] = {
        {{"dovrelle"}, chinese, "cn", {"dovrelle"}},
        {{"dovrelle"}, english, "en", {"dovrelle"}},
        {{"dovrelle", "--language", "en"}, chinese, "en", {"dovrelle"}},
        {{"dovrelle", "--language", "cn"}, english, "cn", {"dovrelle"}},
        {{"dovrelle", "--language=cn", "/tmp/job.qelt"}, english, "cn", {"dovrelle", "/tmp/job.qelt"}},
        {{"dovrelle", "/tmp/job.qelt", "--language", "cn"}, english, "cn", {"dovrelle", "/tmp/job.qelt"}},
    };
    for (const auto& c : cases) {
        const auto choice = chooseLanguage(c.commandLine, c.system);
        EXPECT_EQ(choice.code, c.code) << c.commandLine.join(u' ').toStdString();
        EXPECT_EQ(choice.otherArguments, c.others) << c.commandLine.join(u' ').toStdString();
        EXPECT_TRUE(choice.error.isEmpty()) << choice.error.toStdString();
    }
}

TEST(LanguageChoice, AMissingOrUnknownValueIsAnError)
{
    const QLocale english(QStringLiteral("en_GB"));
    for (const QStringList& commandLine : {QStringList{"dovrelle", "--language"},
                                           QStringList{"dovrelle", "--language", "de"},
                                           QStringList{"dovrelle", "--language=zh"}}) {
        const auto choice = chooseLanguage(commandLine, english);
        EXPECT_FALSE(choice.error.isEmpty()) << commandLine.join(u' ').toStdString();
        EXPECT_EQ(choice.code, u"en");
    }
}

}  // namespace
