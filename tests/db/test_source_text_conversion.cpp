// Source text and decimals converted for Oracle straight from the bytes the MySQL server sent
// must come out exactly as through a decoded Value: same bytes, same NULLs, same failures.
#include "db/error.h"
#include "db/mysql_charset.h"
#include "db/oracle_column.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace dovrelle;

namespace {

const std::vector<OracleBindKind> allKinds = {
    OracleBindKind::Number, OracleBindKind::Text,     OracleBindKind::Clob, OracleBindKind::Date,
    OracleBindKind::Timestamp, OracleBindKind::Raw,   OracleBindKind::Blob, OracleBindKind::Interval,
};

// What a conversion came to: the bound bytes (none for NULL) or the failure's message.
struct Outcome {
    std::optional<std::string> bytes;
    QString failure;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    if (!o.failure.isEmpty())
        return out << "failure: " << o.failure.toStdString();
    if (!o.bytes)
        return out << "NULL";
    out << "bytes:";
    for (unsigned char c : *o.bytes)
        out << ' ' << std::hex << int(c) << std::dec;
    return out;
}

template <typename Convert>
Outcome outcomeOf(const Convert& convert)
{
    Outcome outcome;
    std::string bytes = "kept";  // what was there before must stay in front
    try {
        if (convert(bytes))
            outcome.bytes = bytes.substr(4);
        else if (bytes != "kept")
            outcome.failure = QStringLiteral("appended to a NULL");
    } catch (const Error& e) {
        outcome.failure = e.message();
    }
    return outcome;
}

// The value as the MySQL side decodes a utf8mb4 column.
Outcome asDecodedText(QByteArrayView utf8, OracleBindKind kind)
{
    MySqlTextCodec codec(QStringLiteral("utf8mb4"));
    const Value value = utf8.isNull() ? Value::null() : Value::fromText(codec.decode(utf8));
    return outcomeOf([&](std::string& out) { return convertForOracle(value, kind, out); });
}

Outcome asUtf8Bytes(QByteArrayView utf8, OracleBindKind kind)
{
    return outcomeOf([&](std::string& out) { return convertUtf8TextForOracle(utf8, kind, out); });
}

Outcome asDecodedDecimal(QByteArrayView latin1, OracleBindKind kind)
{
    const Value value = latin1.isNull() ? Value::null() : Value::fromDecimal(QString::fromLatin1(latin1));
    return outcomeOf([&](std::string& out) { return convertForOracle(value, kind, out); });
}

Outcome asDecimalBytes(QByteArrayView latin1, OracleBindKind kind)
{
    return outcomeOf([&](std::string& out) { return convertDecimalTextForOracle(latin1, kind, out); });
}

const std::vector<QByteArray> utf8Cases = {
    QByteArray(),                            // NULL
    QByteArray(""),                          // empty, not NULL
    QByteArray("plain ascii 123"),
    QByteArray("Gr\xC3\xB6\xC3\x9F" "e \xE2\x98\x83"),  // two- and three-byte characters
    QByteArray("\xF0\x9F\x98\x80 smile"),    // four bytes: a surrogate pair in UTF-16
    QByteArray("\xEF\xBB\xBF" "bom first"),  // U+FEFF first: a character, no byte order mark
    QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "two"),
    QByteArray("in \xEF\xBB\xBF" "the middle"),
    QByteArray("\xEF\xBB\xBF"),
    QByteArray("\xEF\xBB"),
    QByteArray("a\0b", 3),                   // NUL inside
    QByteArray("\xEF\xBF\xBF \xF4\x8F\xBF\xBF"),  // noncharacter U+FFFF, last code point U+10FFFF
    QByteArray("bad \x80 continuation"),
    QByteArray("cut \xE2\x98"),              // sequence cut short at the end
    QByteArray("cut \xF0\x9F\x98 inside"),
    QByteArray("overlong \xC0\xAF"),
    QByteArray("surrogate \xED\xA0\x80"),
    QByteArray("beyond \xF4\x90\x80\x80"),
    QByteArray("caf\xE9"),                   // Latin-1, not UTF-8
    QByteArray("\xFF\xFE"),
    QByteArray("12.5"),
    QByteArray(" -7 "),
    QByteArray("2024-02-29 13:14:15.5"),
    QByteArray("2024-02-30"),
    QByteArray("12:34:56"),
};

const std::vector<QByteArray> decimalCases = {
    QByteArray(),     QByteArray(""),       QByteArray("0"),        QByteArray("-12.500"),
    QByteArray("+.5"), QByteArray(" 7 "),   QByteArray("\xA0" "7"), QByteArray("7\x85"),
    QByteArray("1e5"), QByteArray("1E-3"),  QByteArray("1e126"),    QByteArray("9e125"),
    QByteArray("0.000e200"), QByteArray("abc"), QByteArray("1.2.3"), QByteArray("1e"),
    QByteArray("\xB2"),  // superscript two: a digit to Unicode, not to a number
    QByteArray("99999999999999999999999999999999999999.123456789"),
};

}  // namespace

TEST(SourceTextConversion, Utf8BytesConvertAsTheirDecodedText)
{
    for (const QByteArray& text : utf8Cases) {
        for (OracleBindKind kind : allKinds) {
            EXPECT_EQ(asUtf8Bytes(text, kind), asDecodedText(text, kind))
                << "text '" << text.toHex(' ').toStdString() << "', kind " << int(kind);
        }
    }
}

TEST(SourceTextConversion, ValidUtf8StaysAsItIsAndInvalidBytesAreReplaced)
{
    const QByteArray smile("\xF0\x9F\x98\x80");
    EXPECT_EQ(asUtf8Bytes(smile, OracleBindKind::Text).bytes, smile.toStdString());
    EXPECT_EQ(asUtf8Bytes(smile, OracleBindKind::Clob).bytes, smile.toStdString());
    EXPECT_EQ(asUtf8Bytes("caf\xE9", OracleBindKind::Text).bytes, std::string("caf\xEF\xBF\xBD"));
    EXPECT_EQ(asUtf8Bytes("\xEF\xBB\xBF" "x", OracleBindKind::Text).bytes, std::string("\xEF\xBB\xBF" "x"));
    EXPECT_EQ(asUtf8Bytes("\xEF\xBB\xBF" "12", OracleBindKind::Number).failure,
              QStringLiteral("'\uFEFF12' is not a number"));
    EXPECT_EQ(asUtf8Bytes("", OracleBindKind::Text).bytes, std::string());
    EXPECT_EQ(asUtf8Bytes(QByteArrayView(), OracleBindKind::Text), Outcome());
}

TEST(SourceTextConversion, DecimalBytesConvertAsTheirDecodedText)
{
    for (const QByteArray& text : decimalCases) {
        for (OracleBindKind kind : allKinds) {
            EXPECT_EQ(asDecimalBytes(text, kind), asDecodedDecimal(text, kind))
                << "decimal '" << text.toHex(' ').toStdString() << "', kind " << int(kind);
        }
    }
}

TEST(SourceTextConversion, DecimalsAreCheckedForANumberColumn)
{
    EXPECT_EQ(asDecimalBytes("-12.500", OracleBindKind::Number).bytes, std::string("-12.500"));
    EXPECT_EQ(asDecimalBytes(" 7 ", OracleBindKind::Number).bytes, std::string("7"));
    EXPECT_EQ(asDecimalBytes("", OracleBindKind::Number), Outcome());
    EXPECT_EQ(asDecimalBytes("1e126", OracleBindKind::Number).failure,
              QStringLiteral("'1e126' is too large for an Oracle NUMBER"));
    EXPECT_EQ(asDecimalBytes("1.2.3", OracleBindKind::Number).failure,
              QStringLiteral("'1.2.3' is not a number"));
}
