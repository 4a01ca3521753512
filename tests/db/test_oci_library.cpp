#include "db/error.h"
#include "db/oci_library.h"
#include "db/oci_shared_library.h"
#include "db/oracle_connection.h"
#include "test_oracle_support.h"

#include <QRegularExpression>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace dovrelle;
using oracletest::contains;
using oracletest::ScopedEnv;
using oracletest::startsWith;

namespace {

QString loadError(const QString& path)
{
    try {
        OciLibrary::load(path);
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

QString openError()
{
    OracleConnection connection;
    connection.setParameters(OracleConnection::standardParameters("svc", "scott", "tiger"));
    try {
        connection.open();
    } catch (const Error& e) {
        EXPECT_FALSE(connection.isOpen());
        return e.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

TEST(OciLibrary, LoadsOraemuByPathWithEveryFunction)
{
    const auto lib = OciLibrary::load(testsupport::oraemuLibraryPath());
    EXPECT_EQ(lib->path(), testsupport::oraemuLibraryPath());
    EXPECT_NE(lib->EnvNlsCreate, nullptr);
    EXPECT_NE(lib->BindByPos2, nullptr);
    EXPECT_NE(lib->ClientVersion, nullptr);
    EXPECT_TRUE(QRegularExpression("^[0-9]+(\\.[0-9]+){4}$").match(lib->clientVersion()).hasMatch())
        << lib->clientVersion().toStdString();
}

TEST(OciLibrary, MissingFileGivesTheLoaderMessage)
{
    EXPECT_EQ(loadError("/nonexistent/libclntsh.so").toStdString(),
              "/nonexistent/libclntsh.so: cannot open shared object file: No such file or directory");
}

TEST(OciLibrary, LibraryWithoutOciFunctionsNamesTheFileAndTheFunction)
{
    for (const char* path : {"libsqlite3.so.0", "libc.so.6"}) {
        const QString message = loadError(QString::fromLatin1(path));
        EXPECT_TRUE(startsWith(message, QString::fromLatin1(path)));
        EXPECT_TRUE(contains(message, "OCIEnvNlsCreate is missing"));
    }
}

TEST(OciLibrary, ConnectionWithANamedLibraryThatDoesNotLoadExplainsWhatToDo)
{
    ScopedEnv env("DOVRELLE_OCI_LIBRARY", QByteArray("/nonexistent/liboci.so"));
    EXPECT_EQ(openError().toStdString(),
              "Oracle client library could not be loaded (/nonexistent/liboci.so: cannot open "
              "shared object file: No such file or directory). Install Oracle Instant Client or "
              "set DOVRELLE_OCI_LIBRARY.");
}

TEST(OciLibrary, ConnectionWithoutAnyClientLibraryTriesLibclntsh)
{
    if (void* installed = dlopen("libclntsh.so", RTLD_LAZY)) {
        dlclose(installed);
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    }
    ScopedEnv env("DOVRELLE_OCI_LIBRARY", std::nullopt);
    ScopedEnv home("ORACLE_HOME", std::nullopt);
    EXPECT_EQ(openError().toStdString(),
              "Oracle client library could not be loaded (libclntsh.so: cannot open shared "
              "object file: No such file or directory; also tried libclntsh.so.23.1, "
              "libclntsh.so.21.1, libclntsh.so.19.1, libclntsh.so.18.1, libclntsh.so.12.1). "
              "Install Oracle Instant Client or set DOVRELLE_OCI_LIBRARY.");
}

TEST(OciLibrary, ConnectionWithALibraryLackingOciNamesTheFunction)
{
    ScopedEnv env("DOVRELLE_OCI_LIBRARY", QByteArray("libsqlite3.so.0"));
    const QString message = openError();
    EXPECT_TRUE(startsWith(message, "Oracle client library could not be loaded (libsqlite3.so.0: "));
    EXPECT_TRUE(contains(message, "OCIEnvNlsCreate"));
}

// Client packages may install only the versioned library file; each name is tried on the library
// path first, then under $ORACLE_HOME/lib.
TEST(OciLibrary, CandidatesIncludeTheVersionedLibraryNames)
{
    const QStringList files{"libclntsh.so", "libclntsh.so.23.1", "libclntsh.so.21.1",
                            "libclntsh.so.19.1", "libclntsh.so.18.1", "libclntsh.so.12.1"};
    {
        ScopedEnv home("ORACLE_HOME", std::nullopt);
        EXPECT_EQ(sharedlib::ociLibraryCandidates(), files);
    }
    ScopedEnv home("ORACLE_HOME", QByteArray("/opt/oracle/product"));
    QStringList expected = files;
    for (const QString& file : files)
        expected << "/opt/oracle/product/lib/" + file;
    EXPECT_EQ(sharedlib::ociLibraryCandidates(), expected);
}
