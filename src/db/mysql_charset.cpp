#include "db/mysql_charset.h"

#include "db/error.h"
#include "db/utf8_text.h"

#include <mysql.h>

#include <mutex>

namespace dovrelle {

namespace {

struct CharsetCodec {
    const char* mysqlName;
    const char* codecName;
};

// MySQL character sets and the codecs that decode them. The single-byte sets without a codec
// here (dec8, swe7, keybcs2, armscii8, geostd8) are learned from the server when a connection
// uses them (learnSingleByteMySqlCharset).
constexpr CharsetCodec charsetCodecs[] = {
    {"utf8mb4", "UTF-8"},       {"utf8mb3", "UTF-8"},        {"utf8", "UTF-8"},
    {"latin1", "windows-1252"}, {"latin2", "ISO-8859-2"},    {"latin5", "ISO-8859-9"},
    {"latin7", "ISO-8859-13"},  {"ascii", "US-ASCII"},       {"cp1250", "windows-1250"},
    {"cp1251", "windows-1251"}, {"cp1256", "windows-1256"},  {"cp1257", "windows-1257"},
    {"cp850", "IBM850"},        {"cp852", "IBM852"},         {"cp866", "IBM866"},
    {"koi8r", "KOI8-R"},        {"koi8u", "KOI8-U"},         {"greek", "ISO-8859-7"},
    {"hebrew", "ISO-8859-8"},   {"sjis", "Shift_JIS"},       {"cp932", "windows-31j"},
    {"ujis", "EUC-JP"},         {"eucjpms", "EUC-JP"},       {"gbk", "GBK"},
    {"gb2312", "GB2312"},       {"gb18030", "GB18030"},      {"big5", "Big5"},
    {"euckr", "EUC-KR"},        {"tis620", "TIS-620"},       {"ucs2", "UTF-16BE"},
    {"utf16", "UTF-16BE"},      {"utf16le", "UTF-16LE"},     {"utf32", "UTF-32BE"},
    {"macroman", "macintosh"},  {"macce", "x-mac-centraleurope"}, {"hp8", "hp-roman8"},
};

// Single-byte character sets learned from a server, by lower-case name.
struct LearnedCharsets {
    std::mutex mutex;
    QHash<QString, QString> tables;
};

LearnedCharsets& learnedCharsets()
{
    static LearnedCharsets learned;
    return learned;
}

QString learnedTable(const QString& mysqlCharset)
{
    LearnedCharsets& learned = learnedCharsets();
    std::lock_guard lock(learned.mutex);
    return learned.tables.value(mysqlCharset.toLower());
}

bool isBinaryCharset(const QString& mysqlCharset)
{
    return mysqlCharset.compare(QLatin1String("binary"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QByteArray codecNameForMySqlCharset(const QString& mysqlCharset)
{
    for (const CharsetCodec& entry : charsetCodecs) {
        if (mysqlCharset.compare(QLatin1String(entry.mysqlName), Qt::CaseInsensitive) == 0)
            return entry.codecName;
    }
    return {};
}

QString mysqlCharsetNameOfNumber(unsigned int number)
{
    const MARIADB_CHARSET_INFO* info = mariadb_get_charset_by_nr(number);
    return info && info->csname ? QString::fromLatin1(info->csname) : QString();
}

bool isWideMySqlCharset(const QString& mysqlCharset)
{
    const QString name = mysqlCharset.toLower();
    return name == QLatin1String("ucs2") || name == QLatin1String("utf16") || name == QLatin1String("utf16le")
        || name == QLatin1String("utf32");
}

void learnSingleByteMySqlCharset(const QString& mysqlCharset, const QString& characters)
{
    if (characters.size() != 256)
        throw Error(QStringLiteral("The server described the character set '%1' with %2 characters, not 256")
                        .arg(mysqlCharset)
                        .arg(characters.size()));
    LearnedCharsets& learned = learnedCharsets();
    std::lock_guard lock(learned.mutex);
    learned.tables.insert(mysqlCharset.toLower(), characters);
}

bool hasMySqlTextCodec(const QString& mysqlCharset)
{
    return isBinaryCharset(mysqlCharset) || !codecNameForMySqlCharset(mysqlCharset).isEmpty()
        || !learnedTable(mysqlCharset).isEmpty();
}

MySqlTextCodec::MySqlTextCodec(const QString& mysqlCharset) : charset_(mysqlCharset)
{
    if (isBinaryCharset(mysqlCharset)) {
        binary_ = true;
        return;
    }
    const QByteArray codec = codecNameForMySqlCharset(mysqlCharset);
    if (codec.isEmpty()) {
        byteTable_ = learnedTable(mysqlCharset);
        if (byteTable_.isEmpty())
            throw Error(QStringLiteral("The MySQL character set '%1' is not supported").arg(mysqlCharset));
        for (int byte = 255; byte >= 0; --byte)  // the lowest byte wins where two give one character
            byteOfChar_.insert(byteTable_[byte].unicode(), char(byte));
        return;
    }
    utf8_ = codec == "UTF-8";
    // A text that starts with U+FEFF keeps it: in UTF-16 and UTF-32 as in UTF-8, the decoders
    // would otherwise take it for a byte order mark and drop it.
    decoder_ = QStringDecoder(codec.constData(), QStringConverter::Flag::ConvertInitialBom);
    encoder_ = QStringEncoder(codec.constData());
    if (!decoder_.isValid() || !encoder_.isValid())
        throw Error(QStringLiteral("The MySQL character set '%1' is not supported").arg(mysqlCharset));
}

QString MySqlTextCodec::decode(QByteArrayView bytes)
{
    if (utf8_)
        return decodeUtf8KeepingBom(bytes);
    if (binary_)
        return QString::fromLatin1(bytes);
    if (!byteTable_.isEmpty()) {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            text[i] = byteTable_[static_cast<unsigned char>(bytes[i])];
        return text;
    }
    decoder_.resetState();
    return decoder_.decode(bytes);
}

QByteArray MySqlTextCodec::encode(const QString& text)
{
    if (utf8_ || binary_)
        return text.toUtf8();
    QByteArray bytes;
    bool lost = false;
    if (!byteTable_.isEmpty()) {
        bytes.reserve(text.size());
        for (QChar c : text) {
            const auto found = byteOfChar_.constFind(c.unicode());
            lost = lost || found == byteOfChar_.cend();
            bytes.append(found == byteOfChar_.cend() ? '?' : *found);
        }
    } else {
        encoder_.resetState();
        bytes = encoder_.encode(text);
        // Unencodable characters are replaced (not always flagged as errors): read the bytes back.
        lost = encoder_.hasError() || decode(bytes) != text;
    }
    if (lost)
        throw Error(QStringLiteral("The text holds characters that the MySQL character set '%1' cannot carry: %2")
                        .arg(charset_, text.left(200)));
    return bytes;
}

}  // namespace dovrelle
