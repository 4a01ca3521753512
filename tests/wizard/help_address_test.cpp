// Where Help finds the user guide: in an installed tree, in the source tree, or a full address.
#include "wizard/help_address.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using dovrelle::helpAddress;

void writeFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("<html></html>");
}

// A prefix as `cmake --install` leaves it: bin/ beside share/doc/dovrelle/.
class InstalledTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(prefix.isValid());
        QDir().mkpath(prefix.filePath(QStringLiteral("bin")));
        bin = QDir(prefix.filePath(QStringLiteral("bin"))).canonicalPath();
    }
    QString guide(const QString& name) const
    {
        return QDir(prefix.path()).canonicalPath() + QStringLiteral("/share/doc/dovrelle/") + name;
    }
    QTemporaryDir prefix;
    QString bin;
};

TEST_F(InstalledTree, EachLanguageFindsItsInstalledGuide)
{
    writeFile(guide(QStringLiteral("index.html")));
    writeFile(guide(QStringLiteral("index.zh.html")));
    EXPECT_EQ(helpAddress(QStringLiteral("docs/index.html"), bin).toLocalFile(), guide(QStringLiteral("index.html")));
    EXPECT_EQ(helpAddress(QStringLiteral("docs/index.zh.html"), bin).toLocalFile(),
              guide(QStringLiteral("index.zh.html")));
}

TEST_F(InstalledTree, AMissingGuideFallsBackToTheInstalledEnglishOne)
{
    writeFile(guide(QStringLiteral("index.html")));
    EXPECT_EQ(helpAddress(QStringLiteral("docs/index.zh.html"), bin).toLocalFile(), guide(QStringLiteral("index.html")));
}

TEST_F(InstalledTree, WithoutAnInstalledGuideTheSourceTreeServesADevelopmentBuild)
{
    const QString expected = QFileInfo(QStringLiteral(DOVRELLE_SOURCE_DIR "/docs/index.zh.html")).canonicalFilePath();
    ASSERT_FALSE(expected.isEmpty()) << "the Chinese guide is missing from docs/";
    EXPECT_EQ(helpAddress(QStringLiteral("docs/index.zh.html"), bin).toLocalFile(), expected);
}

TEST(HelpAddress, AFullAddressStaysAsItIs)
{
    const QString address = QStringLiteral("https://example.org/guide.html");
    EXPECT_EQ(helpAddress(address, QStringLiteral("/nonexistent")).toString(), address);
}

}  // namespace
