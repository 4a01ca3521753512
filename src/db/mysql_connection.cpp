#include "db/mysql_connection.h"

#include "db/error.h"
#include "db/mysql_charset.h"

#include <mysql.h>

#include <QRegularExpression>

namespace dovrelle {

namespace {

// Used when the parameters name no character set: it carries every character there is.
const QString defaultCharset = QStringLiteral("utf8mb4");

constexpr unsigned int connectTimeoutSeconds = 10;
// Reading a big table may pause long while the consumer (an Oracle insert batch) works.
constexpr unsigned int readWriteTimeoutSeconds = 3600;

struct HandleCloser {
    void operator()(MYSQL* handle) const { mysql_close(handle); }
};
using HandleOwner = std::unique_ptr<MYSQL, HandleCloser>;

struct ResultFreer {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};
using ResultOwner = std::unique_ptr<MYSQL_RES, ResultFreer>;

unsigned int portNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;  // the client library's default port
    bool ok = false;
    const unsigned int port = trimmed.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        throw Error(QStringLiteral("'%1' is not a valid port number").arg(text));
    return port;
}

// The character set the parameters name; empty for none or "Default".
QString namedCharset(const ParameterList& params)
{
    const QString named = params.value(QStringLiteral("ServerCharSet")).trimmed();
    if (named.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
        return {};
    if (!named.isEmpty() && !QRegularExpression(QStringLiteral("^[A-Za-z0-9_]+$")).match(named).hasMatch())
        throw Error(QStringLiteral("'%1' is not a character set name").arg(named));
    return named;
}

void setTimeouts(MYSQL* handle)
{
    mysql_optionsv(handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_READ_TIMEOUT, &readWriteTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_WRITE_TIMEOUT, &readWriteTimeoutSeconds);
}

QString libraryMessage(MYSQL* handle)
{
    return QString::fromUtf8(mysql_error(handle));
}

// Runs an ASCII statement of the connection set-up and returns its first row (empty without rows).
QList<QByteArray> runSetup(MYSQL* handle, const QByteArray& sql)
{
    if (mysql_real_query(handle, sql.constData(), sql.size()) != 0)
        throw Error(libraryMessage(handle));
    ResultOwner result(mysql_store_result(handle));
    if (!result) {
        if (mysql_field_count(handle) != 0)
            throw Error(libraryMessage(handle));
        return {};
    }
    QList<QByteArray> values;
    if (MYSQL_ROW row = mysql_fetch_row(result.get())) {
        const unsigned long* lengths = mysql_fetch_lengths(result.get());
        for (unsigned int i = 0; i < mysql_num_fields(result.get()); ++i)
            values << (row[i] ? QByteArray(row[i], qsizetype(lengths[i])) : QByteArray());
    }
    return values;
}

// Asks the server for the character of every byte of a single-byte set that no codec knows.
void learnCharsetFromServer(MYSQL* handle, const QString& charset)
{
    QByteArray allBytes;
    for (int byte = 0; byte < 256; ++byte)
        allBytes += QByteArray::number(byte, 16).rightJustified(2, '0');
    const QList<QByteArray> row = runSetup(
        handle, "SELECT HEX(CONVERT(CONVERT(X'" + allBytes + "' USING " + charset.toLatin1() + ") USING utf16))");
    const QByteArray utf16 = QByteArray::fromHex(row.value(0));
    learnSingleByteMySqlCharset(charset, QStringDecoder(QStringConverter::Utf16BE).decode(utf16));
}

// Settles the character sets of a new session and reads back what the server really uses.
// "binary" makes the server send every text in the character set of its column, told by each field.
void settleCharsets(MYSQL* handle, const QString& named, QString& statementCharset, QString& resultCharset)
{
    if (named.compare(QLatin1String("binary"), Qt::CaseInsensitive) == 0)
        runSetup(handle, "SET character_set_results = NULL");
    // Read as binary strings, which the server sends unconverted whatever the result set is.
    const QList<QByteArray> row = runSetup(handle, "SELECT CAST(@@character_set_client AS BINARY),"
                                                   " CAST(@@character_set_results AS BINARY)");
    statementCharset = QString::fromLatin1(row.value(0));
    resultCharset = row.value(1).isEmpty() ? QStringLiteral("binary") : QString::fromLatin1(row.value(1));
    for (const QString& charset : {statementCharset, resultCharset}) {
        if (!hasMySqlTextCodec(charset))
            learnCharsetFromServer(handle, charset);
        MySqlTextCodec check(charset);  // throws for a set that cannot be decoded after all
    }
}

// The server's own network timeouts, so that a slow reader of a streamed result is not cut off.
// Only a tuning: a server that refuses it still serves the connection, so a failure is ignored.
void raiseServerTimeouts(MYSQL* handle)
{
    const QByteArray sql = QByteArray("SET SESSION net_write_timeout=") + QByteArray::number(readWriteTimeoutSeconds)
        + ", net_read_timeout=" + QByteArray::number(readWriteTimeoutSeconds);
    mysql_real_query(handle, sql.constData(), sql.size());
}

// Logon texts go in the character set of the logon where a codec knows it, else as UTF-8.
QByteArray logonText(const QString& text, const QString& charset)
{
    if (!hasMySqlTextCodec(charset) || isWideMySqlCharset(charset))
        return text.toUtf8();
    return MySqlTextCodec(charset).encode(text);
}

}  // namespace

MySqlConnection::MySqlConnection() = default;

MySqlConnection::~MySqlConnection()
{
    close();
}

void MySqlConnection::open()
{
    if (isOpen())
        return;
    const QString host = params_.value(QStringLiteral("HostName")).trimmed();
    const unsigned int port = portNumber(params_.value(QStringLiteral("Port")));
    const QString named = namedCharset(params_);
    // A server takes no set of two or four bytes a character (ucs2, utf16, utf32) from a client; it
    // would fall back to a set of its own choosing. Such a name gets the default set instead.
    const QString logonCharset = named.isEmpty() || isWideMySqlCharset(named) ? defaultCharset : named;

    HandleOwner handle(mysql_init(nullptr));
    if (!handle)
        throw Error(QStringLiteral("The MySQL client library could not create a connection (out of memory)"));
    setTimeouts(handle.get());
    const QByteArray logonCharsetName = logonCharset.toLatin1();
    mysql_optionsv(handle.get(), MYSQL_SET_CHARSET_NAME, logonCharsetName.constData());

    // "localhost" (or no host) makes the library use the local socket. The library reads
    // MYSQL_UNIX_PORT only once per process, so it is read here on every open.
    const QByteArray hostBytes = host.toUtf8();
    const QByteArray socket = qgetenv("MYSQL_UNIX_PORT");
    const bool local = host.isEmpty() || host == QLatin1String("localhost");
    const QByteArray user = logonText(params_.value(QStringLiteral("User_Name")), logonCharset);
    const QByteArray password = logonText(params_.value(QStringLiteral("Password")), logonCharset);
    const QByteArray database = logonText(params_.value(QStringLiteral("Database")), logonCharset);
    if (!mysql_real_connect(handle.get(), host.isEmpty() ? nullptr : hostBytes.constData(), user.constData(),
                            password.constData(), database.isEmpty() ? nullptr : database.constData(), port,
                            local && !socket.isEmpty() ? socket.constData() : nullptr, 0))
        throw Error(libraryMessage(handle.get()));

    settleCharsets(handle.get(), named, statementCharset_, resultCharset_);
    raiseServerTimeouts(handle.get());
    serverThreadId_ = mysql_thread_id(handle.get());
    handle_ = handle.release();
    session_ = std::make_shared<const int>(0);
}

void MySqlConnection::close()
{
    if (!handle_)
        return;
    session_.reset();
    mysql_close(handle_);
    handle_ = nullptr;
}

void MySqlConnection::cancelRunningStatement() const
{
    if (!handle_ || serverThreadId_ == 0)
        return;
    // A server too busy to take a connection within the connect timeout usually takes one a
    // little later; the statement runs on meanwhile, so asking again is worth it.
    constexpr int connectAttempts = 3;
    for (int attempt = 1; attempt <= connectAttempts; ++attempt) {
        MySqlConnection killer;
        try {
            killer.setParameters(params_);
            killer.open();
        } catch (const Error&) {
            continue;  // after the last attempt, the reader reads the rest as it would have anyway
        }
        const QByteArray kill = "KILL QUERY " + QByteArray::number(qulonglong(serverThreadId_));
        mysql_real_query(killer.handle_, kill.constData(), kill.size());  // fails if the statement ended
        return;
    }
}

bool MySqlConnection::answers() const
{
    return handle_ && mysql_ping(handle_) == 0;
}

QString MySqlConnection::characterSetName() const
{
    return handle_ ? resultCharset_ : QString();
}

}  // namespace dovrelle
