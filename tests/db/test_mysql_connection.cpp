// Opening MySqlConnection with its parameter list: the ways it reaches the server, the
// failures it reports with the library's messages, and the character sets of its text.
#include "db/error.h"
#include "db/mysql_charset.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "mysql_test_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using dovrelle::Error;
using dovrelle::MySqlConnection;
using dovrelle::MySqlQuery;
using dovrelle::ParameterList;
using dovrelle::Value;

namespace {

// The message with which opening fails, or nothing when it opens.
std::optional<QString> openFailure(const ParameterList& params)
{
    MySqlConnection connection;
    connection.setParameters(params);
    try {
        connection.open();
    } catch (const Error& e) {
        EXPECT_FALSE(connection.isOpen());
        return e.message();
    }
    EXPECT_TRUE(connection.isOpen());
    return std::nullopt;
}

// Sets an environment variable for the scope of one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = QByteArray(old);
        setenv(name, value.toLocal8Bit().constData(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->constData(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

}  // namespace

TEST(MySqlConnection, OpensAndClosesAndClosingTwiceDoesNothing)
{
    MySqlConnection connection;
    connection.close();
    connection.setParameters(testsupport::mysqlParameters("dovrelle_sample"));
    connection.open();
    EXPECT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.characterSetName(), "utf8mb4");
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    connection.open();
    EXPECT_TRUE(connection.isOpen());
}

TEST(MySqlConnection, FailuresCarryTheLibraryMessage)
{
    const auto withValue = [](const QString& name, const QString& value) {
        ParameterList params = testsupport::mysqlParameters("dovrelle_sample");
        params.setValue(name, value);
        return params;
    };
    const struct {
        const char* what;
        ParameterList params;
        QString messageStart;
    } cases[] = {
        {"wrong password", withValue("Password", "not-the-password"),
         QStringLiteral("Access denied for user '%1'@").arg(testsupport::mysqlServer().user)},
        {"unknown user", withValue("User_Name", "nobody_here"), "Access denied for user 'nobody_here'@"},
        {"unknown database", withValue("Database", "no_such_db"), "Unknown database 'no_such_db'"},
        {"nothing listens on the port", withValue("Port", "1"), "Can't connect to server on '127.0.0.1'"},
        {"unknown host", withValue("HostName", "no-such-host.invalid"), "Unknown server host 'no-such-host.invalid'"},
        {"port is not a number", withValue("Port", "33o6"), "'33o6' is not a valid port number"},
        {"port out of range", withValue("Port", "70000"), "'70000' is not a valid port number"},
        {"character set nobody knows", withValue("ServerCharSet", "klingon"), "Can't initialize character set klingon"},
        {"character set name with a quote", withValue("ServerCharSet", "x'y"), "'x'y' is not a character set name"},
    };
    for (const auto& c : cases) {
        const std::optional<QString> message = openFailure(c.params);
        ASSERT_TRUE(message.has_value()) << c.what << ": opened";
        EXPECT_TRUE(message->startsWith(c.messageStart)) << c.what << ": " << message->toStdString();
    }
}

// "localhost" is the local server reached through its socket; MYSQL_UNIX_PORT names the socket.
TEST(MySqlConnection, LocalhostUsesTheSocketNamedByMysqlUnixPort)
{
    ParameterList params = testsupport::mysqlParameters("dovrelle_sample");
    params.setValue("HostName", "localhost");
    params.setValue("Port", "1");  // not used for a socket connection
    {
        ScopedEnv socket("MYSQL_UNIX_PORT", testsupport::mysqlServer().socket);
        EXPECT_EQ(openFailure(params), std::nullopt);
    }
    ScopedEnv socket("MYSQL_UNIX_PORT", "/nonexistent/mysqld.sock");
    const std::optional<QString> message = openFailure(params);
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(message->startsWith("Can't connect to local server through socket '/nonexistent/mysqld.sock'"))
        << message->toStdString();
}

// Text written as utf8mb4 arrives whole over a connection in each character set the wizard offers,
// in characters that set can hold. Statements go out in the connection's set: the WHERE finds
// the row, and the column alias (the first word of the text; a plain one for swe7, which has no
// backtick and whose letters beyond ASCII the server does not take in names) comes back as the
// field name.
TEST(MySqlConnection, TextArrivesWholeInEachCharacterSet)
{
    testsupport::ScratchMySqlDatabase db("t_charset");
    const struct {
        QString serverCharSet;  // empty: no ServerCharSet line
        QString expectedCharset;
        QString text;
    } cases[] = {
        {"", "utf8mb4", QStringLiteral("漢字かな 😀🇳🇴 Ωé€")},
        {"Default", "utf8mb4", QStringLiteral("music 𝄞 🎵")},
        {"utf8mb4", "utf8mb4", QStringLiteral("中文 😀")},
        {"utf8", "utf8mb3", QStringLiteral("中文 Ωé€ (BMP only)")},
        {"armscii8", "armscii8", QStringLiteral("Հայերեն")},
        {"ascii", "ascii", QStringLiteral("plain text 123")},
        {"big5", "big5", QStringLiteral("繁體中文")},
        {"binary", "binary", QStringLiteral("漢字 😀 é")},
        {"cp1250", "cp1250", QStringLiteral("Zażółć gęślą")},
        {"cp1251", "cp1251", QStringLiteral("Привет мир")},
        {"cp1256", "cp1256", QStringLiteral("مرحبا بالعالم")},
        {"cp1257", "cp1257", QStringLiteral("Ąčęėįšųūž")},
        {"cp850", "cp850", QStringLiteral("Ñandú çà ü")},
        {"cp852", "cp852", QStringLiteral("Kraków ůň")},
        {"cp866", "cp866", QStringLiteral("Здравствуй")},
        {"cp932", "cp932", QStringLiteral("日本語 ①")},
        {"dec8", "dec8", QStringLiteral("Déjà vu ñ")},
        {"eucjpms", "eucjpms", QStringLiteral("東京 ①")},
        {"euckr", "euckr", QStringLiteral("한국어")},
        {"gb2312", "gb2312", QStringLiteral("北京")},
        {"gbk", "gbk", QStringLiteral("简体中文 镕")},
        {"geostd8", "geostd8", QStringLiteral("ქართული")},
        {"greek", "greek", QStringLiteral("Καλημέρα")},
        {"hebrew", "hebrew", QStringLiteral("שלום")},
        {"hp8", "hp8", QStringLiteral("Café ñ")},
        {"keybcs2", "keybcs2", QStringLiteral("Příliš žluťoučký kůň")},
        {"koi8r", "koi8r", QStringLiteral("Привет")},
        {"koi8u", "koi8u", QStringLiteral("Привіт ґ")},
        {"latin1", "latin1", QStringLiteral("café € Œ ‰ ÿ")},
        {"latin2", "latin2", QStringLiteral("Łódź ščř")},
        {"latin5", "latin5", QStringLiteral("Türkçe ğış")},
        {"latin7", "latin7", QStringLiteral("Lietuvių ąčę")},
        {"macce", "macce", QStringLiteral("Čeština ě")},
        {"macroman", "macroman", QStringLiteral("Crème brûlée")},
        {"sjis", "sjis", QStringLiteral("日本語のテキスト")},
        {"swe7", "swe7", QStringLiteral("ÅÄ åäö")},  // no Ö: its byte is the backslash, an escape in literals
        {"tis620", "tis620", QStringLiteral("ภาษาไทย")},
        {"ucs2", "utf8mb4", QStringLiteral("中文 é Ω")},  // no server takes ucs2 from a client
        {"ujis", "ujis", QStringLiteral("日本語")},
    };
    QStringList inserts;
    for (size_t i = 0; i < std::size(cases); ++i)
        inserts << QStringLiteral("(%1, '%2', '%2')").arg(i).arg(cases[i].text);
    db.execute({"CREATE TABLE t (n int, word varchar(100) CHARACTER SET utf8mb4, memo text CHARACTER SET utf8mb4)",
                "INSERT INTO t VALUES " + inserts.join(", ")});

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.serverCharSet.toStdString());
        MySqlConnection connection;
        connection.setParameters(testsupport::mysqlParameters(db.name(), c.serverCharSet));
        try {
            connection.open();
        } catch (const Error& e) {
            ADD_FAILURE() << "opening failed: " << e.what();
            continue;
        }
        EXPECT_EQ(connection.characterSetName(), c.expectedCharset);
        const bool swe7 = c.serverCharSet == "swe7";
        const QString alias = swe7 ? QStringLiteral("ord") : c.text.section(' ', 0, 0);
        const QString quotedAlias = swe7 ? alias : '`' + alias + '`';
        MySqlQuery query(connection);
        try {
            query.open(QStringLiteral("select n, word %1, memo from t where word = '%2'").arg(quotedAlias, c.text));
        } catch (const Error& e) {
            ADD_FAILURE() << "the query failed: " << e.what();
            continue;
        }
        ASSERT_FALSE(query.atEnd());
        EXPECT_EQ(query.intAt(0), int(i));
        EXPECT_EQ(query.fieldName(1), alias);
        EXPECT_EQ(query.value(alias.toUpper()), Value::fromText(c.text));
        EXPECT_EQ(query.value("memo"), Value::fromText(c.text));
        query.next();
        EXPECT_TRUE(query.atEnd());
    }
}

// A statement with a character the connection's set cannot carry is refused, not sent garbled.
TEST(MySqlConnection, StatementOutsideTheCharacterSetIsRefused)
{
    MySqlConnection connection;
    connection.setParameters(testsupport::mysqlParameters("dovrelle_sample", "latin1"));
    connection.open();
    MySqlQuery query(connection);
    try {
        query.open(QStringLiteral("select * from customers where name = '漢字'"));
        ADD_FAILURE() << "the statement was sent";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith("The text holds characters that the MySQL character set 'latin1' cannot carry"))
            << e.what();
    }
    query.open(QStringLiteral("select name from customers where name = 'Bjørn'"));
    EXPECT_EQ(query.textAt(0), QStringLiteral("Bjørn"));
}
