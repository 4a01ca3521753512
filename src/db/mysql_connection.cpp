#include "mysql_connection.h"

#include "error.h"
#include "mysql_charset.h"

#include <mysql.h>

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

QString charsetOf(const ParameterList& params)
{
    const QString named = params.value(QStringLiteral("ServerCharSet")).trimmed();
    if (named.isEmpty() || named.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
        return defaultCharset;
    return named;
}

void setTimeouts(MYSQL* handle)
{
    mysql_optionsv(handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_READ_TIMEOUT, &readWriteTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_WRITE_TIMEOUT, &readWriteTimeoutSeconds);
}

// The server's own network timeouts, so that a slow reader of a streamed result is not cut off.
// Only a tuning: a server that refuses it still serves the connection, so a failure is ignored.
void raiseServerTimeouts(MYSQL* handle)
{
    const QByteArray sql = QByteArray("SET SESSION net_write_timeout=") + QByteArray::number(readWriteTimeoutSeconds)
        + ", net_read_timeout=" + QByteArray::number(readWriteTimeoutSeconds);
    mysql_real_query(handle, sql.constData(), sql.size());
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
    const QString charset = charsetOf(params_);
    MySqlTextCodec codec(charset);  // refuses a character set that could not be decoded

    HandleOwner handle(mysql_init(nullptr));
    if (!handle)
        throw Error(QStringLiteral("The MySQL client library could not create a connection (out of memory)"));
    setTimeouts(handle.get());
    const QByteArray charsetName = charset.toLatin1();
    mysql_optionsv(handle.get(), MYSQL_SET_CHARSET_NAME, charsetName.constData());

    // "localhost" (or no host) makes the library use the local socket. The library reads
    // MYSQL_UNIX_PORT only once per process, so it is read here on every open.
    const QByteArray hostBytes = host.toUtf8();
    const QByteArray socket = qgetenv("MYSQL_UNIX_PORT");
    const bool local = host.isEmpty() || host == QLatin1String("localhost");
    const QByteArray user = codec.encode(params_.value(QStringLiteral("User_Name")));
    const QByteArray password = codec.encode(params_.value(QStringLiteral("Password")));
    const QByteArray database = codec.encode(params_.value(QStringLiteral("Database")));
    if (!mysql_real_connect(handle.get(), host.isEmpty() ? nullptr : hostBytes.constData(), user.constData(),
                            password.constData(), database.isEmpty() ? nullptr : database.constData(), port,
                            local && !socket.isEmpty() ? socket.constData() : nullptr, 0))
        throw Error(codec.decode(mysql_error(handle.get())));

    raiseServerTimeouts(handle.get());
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

QString MySqlConnection::characterSetName() const
{
    if (!handle_)
        return {};
    MY_CHARSET_INFO info{};
    mysql_get_character_set_info(handle_, &info);
    return QString::fromLatin1(info.csname);
}

}  // namespace dovrelle
