#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace dovrelle {

// The codec name (as QStringDecoder knows it) of a MySQL character set name such as "utf8mb4",
// "latin1" or "sjis"; empty when there is none. MySQL's "latin1" is Windows-1252.
QByteArray codecNameForMySqlCharset(const QString& mysqlCharset);

// The MySQL character set name of a character set or collation number (field charsetnr);
// empty when the client library does not know the number.
QString mysqlCharsetNameOfNumber(unsigned int number);

// True for the MySQL character sets whose characters all take two or four bytes (ucs2, utf16,
// utf16le, utf32): a server takes none of them for the statements a client sends.
bool isWideMySqlCharset(const QString& mysqlCharset);

// Teaches the codecs a single-byte MySQL character set that no codec knows (swe7, dec8, ...):
// `characters` holds the character of each byte 0..255, as the server converts them.
void learnSingleByteMySqlCharset(const QString& mysqlCharset, const QString& characters);
bool hasMySqlTextCodec(const QString& mysqlCharset);

// Converts between QString and the bytes of one MySQL character set.
// "binary" (number 63) has no text form: isBinary() tells; its decode() maps each byte to one
// character (Latin-1) and encode() writes UTF-8.
class MySqlTextCodec {
public:
    // Throws Error when no codec exists for the character set.
    explicit MySqlTextCodec(const QString& mysqlCharset);

    const QString& charsetName() const { return charset_; }
    bool isBinary() const { return binary_; }
    bool isUtf8() const { return utf8_; }  // decode() is decodeUtf8KeepingBom
    QString decode(QByteArrayView bytes);
    QByteArray encode(const QString& text);  // throws Error when a character has no encoding

private:
    QString charset_;
    bool binary_ = false;
    bool utf8_ = false;
    QString byteTable_;                  // a learned single-byte set: the character of each byte
    QHash<char16_t, char> byteOfChar_;   // and the byte of each character
    QStringDecoder decoder_;
    QStringEncoder encoder_;
};

}  // namespace dovrelle
