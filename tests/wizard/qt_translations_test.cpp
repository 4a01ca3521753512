// Chinese mode gives Qt's own standard buttons their Chinese texts; English leaves them alone.
#include "wizard/qt_translations.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

QString yesButtonText()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"), QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

TEST(QtTranslations, ChineseModeTranslatesTheStandardButtons)
{
    EXPECT_FALSE(installQtTranslations(QStringLiteral("en")));
    QString english = yesButtonText();
    EXPECT_EQ(english.remove(QLatin1Char('&')), QStringLiteral("Yes"));
    ASSERT_TRUE(installQtTranslations(QStringLiteral("cn")))
        << "Qt's Chinese translations are missing (qt6-translations-l10n)";
    const QString chinese = yesButtonText();
    EXPECT_TRUE(chinese.contains(QStringLiteral("是"))) << chinese.toStdString();
}

}  // namespace
