#include "engine/mysql_literal.h"

#include <QStringDecoder>

namespace dovrelle {

namespace {

QChar escapedChar(QChar c)
{
    switch (c.unicode()) {
    case u'0': return QChar(u'\0');
    case u'b': return QChar(u'\b');
    case u'n': return QChar(u'\n');
    case u'r': return QChar(u'\r');
    case u't': return QChar(u'\t');
    case u'Z': return QChar(0x1A);
    default: return c;
    }
}

// '...' or "..." from text[at] (the opening quote).
std::optional<QString> readQuoted(const QString& text, qsizetype& at)
{
    const QChar quote = text[at];
    QString value;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[++i];
            if (next == u'%' || next == u'_')
                value += u'\\';
            value += escapedChar(next);
        } else if (c == quote && i + 1 < text.size() && text[i + 1] == quote) {
            value += quote;
            ++i;
        } else if (c == quote) {
            at = i + 1;
            return value;
        } else {
            value += c;
        }
    }
    return std::nullopt;
}

std::optional<QString> utf8Text(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QByteArray> bytesOfDigits(const QString& digits, bool hex)
{
    if (hex) {
        if (digits.size() % 2 != 0)
            return std::nullopt;
        const QByteArray bytes = QByteArray::fromHex(digits.toLatin1());
        if (bytes.toHex().compare(digits.toLatin1(), Qt::CaseInsensitive) != 0)
            return std::nullopt;
        return bytes;
    }
    QByteArray bytes;
    const qsizetype lead = (8 - digits.size() % 8) % 8;
    const QString padded = QString(lead, u'0') + digits;
    for (qsizetype i = 0; i < padded.size(); i += 8) {
        bool ok = false;
        bytes.append(char(padded.mid(i, 8).toUInt(&ok, 2)));
        if (!ok)
            return std::nullopt;
    }
    return bytes;
}

// X'..', 0x.., b'..' or 0b.. from text[at].
std::optional<QString> readNumberedBytes(const QString& text, qsizetype& at)
{
    const QString rest = text.mid(at, 2).toLower();
    const bool quotedForm = (rest.startsWith(u'x') || rest.startsWith(u'b')) && rest.size() == 2 && rest[1] == u'\'';
    const bool prefixForm = rest == u"0x" || rest == u"0b";
    if (!quotedForm && !prefixForm)
        return std::nullopt;
    const bool hex = rest.contains(u'x');
    qsizetype end = at + 2;
    while (end < text.size() && (hex ? isxdigit(text[end].unicode()) && text[end].unicode() < 0x80
                                     : text[end] == u'0' || text[end] == u'1'))
        ++end;
    const QString digits = text.mid(at + 2, end - at - 2);
    if (quotedForm) {
        if (end >= text.size() || text[end] != u'\'')
            return std::nullopt;
        ++end;
    } else if (digits.isEmpty() || (end < text.size() && (text[end].isLetterOrNumber() || text[end] == u'_'))) {
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = bytesOfDigits(digits, hex);
    if (!bytes)
        return std::nullopt;
    std::optional<QString> value = utf8Text(*bytes);
    if (value)
        at = end;
    return value;
}

}  // namespace

std::optional<QString> readMySqlStringLiteral(const QString& text, qsizetype& at)
{
    if (at >= text.size())
        return std::nullopt;
    qsizetype start = at;
    if (text[start] == u'_') {  // a character set introducer
        qsizetype end = start + 1;
        while (end < text.size() && (text[end].isLetterOrNumber() || text[end] == u'_'))
            ++end;
        start = end;
        while (start < text.size() && text[start] == u' ')
            ++start;
        if (start >= text.size())
            return std::nullopt;
    }
    qsizetype i = start;
    std::optional<QString> value = text[i] == u'\'' || text[i] == u'"' ? readQuoted(text, i) : readNumberedBytes(text, i);
    if (value)
        at = i;
    return value;
}

std::optional<QString> mysqlStringLiteralValue(const QString& text)
{
    qsizetype at = 0;
    std::optional<QString> value = readMySqlStringLiteral(text, at);
    if (!value || at != text.size())
        return std::nullopt;
    return value;
}

}  // namespace dovrelle
