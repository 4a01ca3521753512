// The form in which the verification compares values, and the hash it sums.
#include "engine/canonical_value.h"
#include "engine/content_hash.h"
#include "engine/verification_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

using namespace dovrelle;

namespace {

TEST(CanonicalValue, DecimalTextsOfOneNumberAgree)
{
    const struct {
        const char* text;
        const char* canonical;
    } cases[] = {
        {"12.50", "12.5"},       {"-0012.3400", "-12.34"}, {".5", "0.5"},
        {"-.25", "-0.25"},       {"0", "0"},               {"-0", "0"},
        {"0.000", "0"},          {"1e5", "100000"},        {"1.5E-07", "0.00000015"},
        {"+7", "7"},             {" 42 ", "42"},           {"18446744073709551615", "18446744073709551615"},
        {"abc", "abc"},          {"1e", "1e"},             {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(canonicalDecimal(c.text), QByteArray(c.canonical)) << c.text;
    EXPECT_EQ(canonicalDecimal("1.0000000000E+125"), "1" + QByteArray(125, '0'));
}

TEST(CanonicalValue, TimestampFractionsWithoutTrailingZeros)
{
    EXPECT_EQ(canonicalTimestamp("2024-01-02 03:04:05.120000"), "2024-01-02 03:04:05.12");
    EXPECT_EQ(canonicalTimestamp("2024-01-02 03:04:05.12"), "2024-01-02 03:04:05.12");
    EXPECT_EQ(canonicalTimestamp("2024-01-02 03:04:05.000"), "2024-01-02 03:04:05");
    EXPECT_EQ(canonicalTimestamp("2024-01-02 03:04:05"), "2024-01-02 03:04:05");
}

// MySQL's text of a date or time in the form an Oracle column of the documented mapping holds it,
// written by the verification itself: a time on 1900-01-01 for DATE and TIMESTAMP (a DATE keeps
// the whole second), as an interval for INTERVAL; text that is no date has no form.
TEST(VerificationSource, TemporalTextAsOracleHoldsIt)
{
    using K = OracleBindKind;
    const struct {
        const char* mysql;
        bool isTime;
        K kind;
        const char* expected;
    } cases[] = {
        {"2024-02-29", false, K::Date, "2024-02-29 00:00:00"},
        {"2024-02-29 23:59:59", false, K::Date, "2024-02-29 23:59:59"},
        {"2024-02-29 23:59:59.500000", false, K::Date, "2024-02-29 23:59:59.5"},  // differs from any DATE
        {"1000-01-01 00:00:00.000001", false, K::Timestamp, "1000-01-01 00:00:00.000001"},
        {"2024-01-02 03:04:05.120", false, K::Timestamp, "2024-01-02 03:04:05.12"},
        {"2024-01-02 03:04:05.000", false, K::Timestamp, "2024-01-02 03:04:05"},
        {"2024-01-02", false, K::Timestamp, "2024-01-02 00:00:00"},
        {"838:59:59", true, K::Date, "1900-02-04 22:59:59"},
        {"-00:00:01", true, K::Date, "1899-12-31 23:59:59"},
        {"-00:00:00.25", true, K::Date, "1899-12-31 23:59:59"},
        {"-00:00:00.25", true, K::Timestamp, "1899-12-31 23:59:59.75"},
        {"10:30:00.50", true, K::Timestamp, "1900-01-01 10:30:00.5"},
        {"838:59:59.000000", true, K::Interval, "+34 22:59:59"},
        {"-25:30:00.25", true, K::Interval, "-1 01:30:00.25"},
        {"-00:00:00", true, K::Interval, "+0 00:00:00"},
        {"2024-02-29", false, K::Text, "2024-02-29"},
        {"2024-02-29", false, K::Interval, ""},
        {"2024-02-29", false, K::Number, ""},
        {"not a date", false, K::Date, ""},
        {"12:3:00", true, K::Interval, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(temporalAsOracle(c.mysql, c.isTime, c.kind), QByteArray(c.expected)) << c.mysql;
}

TEST(CanonicalValue, IntervalsOfOneDurationAgree)
{
    const struct {
        const char* text;
        const char* canonical;
    } cases[] = {
        {"+000 01:30:00", "+0 01:30:00"},          {"+0 01:30:00.000000", "+0 01:30:00"},
        {"-01 02:03:04.500", "-1 02:03:04.5"},     {"+34 22:59:59", "+34 22:59:59"},
        {"-0 00:00:00.000000", "+0 00:00:00"},     {"0 00:00:00", "+0 00:00:00"},
        {" +2 00:00:00.000001 ", "+2 00:00:00.000001"}, {"01:30:00", "01:30:00"},
        {"+1 1:30", "+1 1:30"},                     {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(canonicalInterval(c.text), QByteArray(c.canonical)) << c.text;
}

TEST(CanonicalValue, DateAsIsoText)
{
    OCIDate date{};
    date.OCIDateYYYY = 1900;
    date.OCIDateMM = 1;
    date.OCIDateDD = 2;
    date.OCIDateTime.OCITimeHH = 23;
    date.OCIDateTime.OCITimeMI = 5;
    date.OCIDateTime.OCITimeSS = 9;
    EXPECT_EQ(isoDateText(QByteArrayView(reinterpret_cast<const char*>(&date), sizeof date)),
              "1900-01-02 23:05:09");
}

TEST(CanonicalValue, DecimalExponentsAndBarePoints)
{
    const struct {
        const char* text;
        const char* canonical;
    } cases[] = {
        {"5.", "5"},        {"00100", "100"},     {"1.23e1", "12.3"},  {"123e-1", "12.3"},
        {"12.5e+2", "1250"}, {"-0.0e3", "0"},     {"-1.5e-1", "-0.15"}, {"1e401", "1e401"},
        {".", "."},         {"1.2.3", "1.2.3"},   {"-", "-"},           {"12 5", "12 5"},
        {"0.05", "0.05"},   {"-0.5", "-0.5"},     {"100", "100"},       {"0.50", "0.5"},
        {"-12.34", "-12.34"}, {"05", "5"},        {"-0", "0"},          {"+0.5", "0.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(canonicalDecimal(c.text), QByteArray(c.canonical)) << c.text;
}

QByteArray isoDateOf(int year, int month, int day, int hour, int minute, int second)
{
    OCIDate date{};
    date.OCIDateYYYY = static_cast<sb2>(year);
    date.OCIDateMM = static_cast<ub1>(month);
    date.OCIDateDD = static_cast<ub1>(day);
    date.OCIDateTime.OCITimeHH = static_cast<ub1>(hour);
    date.OCIDateTime.OCITimeMI = static_cast<ub1>(minute);
    date.OCIDateTime.OCITimeSS = static_cast<ub1>(second);
    return isoDateText(QByteArrayView(reinterpret_cast<const char*>(&date), sizeof date));
}

TEST(CanonicalValue, DateYearsBefore1000AndBeforeChrist)
{
    const struct {
        int year;
        const char* text;
    } cases[] = {
        {999, "0999-12-31 23:59:59"}, {1, "0001-12-31 23:59:59"},  {0, "0000-12-31 23:59:59"},
        {-1, "-001-12-31 23:59:59"},  {-44, "-044-12-31 23:59:59"}, {-4712, "-4712-12-31 23:59:59"},
        {9999, "9999-12-31 23:59:59"}, {32767, "32767-12-31 23:59:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isoDateOf(c.year, 12, 31, 23, 59, 59), QByteArray(c.text)) << c.year;
}

TEST(CanonicalValue, DateFieldsWrittenAsPrintfWritesThem)
{
    auto expectPrintfText = [](int year, int month, int day, int hour, int minute, int second) {
        char expected[64];
        const int length = std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d",
                                         year, month, day, hour, minute, second);
        ASSERT_EQ(isoDateOf(year, month, day, hour, minute, second), QByteArray(expected, length))
            << expected;
    };
    for (int year = -32768; year <= 32767; year += 7) {
        const int field = (year & 0xFF);  // every byte value, in every field
        expectPrintfText(year, field, 255 - field, field / 2, field, 255 - field);
        const int usual = (year & 0x7FFF) % 100;  // every field below 100
        expectPrintfText(year, usual, 99 - usual, usual / 2, usual, 99 - usual);
    }
}

std::uint64_t hashOf(OracleBindKind kind, bool padded, std::initializer_list<QByteArrayView> pieces)
{
    CanonicalValueHash hash(kind, padded);
    for (QByteArrayView piece : pieces)
        hash.add(piece);
    return hash.finish();
}

TEST(CanonicalValue, EqualFormsHashEqualAndOthersNot)
{
    using K = OracleBindKind;
    EXPECT_EQ(hashOf(K::Number, false, {"12.50"}), hashOf(K::Number, false, {"12.5"}));
    EXPECT_NE(hashOf(K::Number, false, {"12.5"}), hashOf(K::Number, false, {"12.51"}));
    EXPECT_EQ(hashOf(K::Text, true, {"ab    "}), hashOf(K::Text, true, {"ab"}));
    EXPECT_NE(hashOf(K::Text, false, {"ab "}), hashOf(K::Text, false, {"ab"}));
    // Oracle keeps no empty value apart from NULL.
    EXPECT_EQ(hashOf(K::Text, false, {""}), CanonicalValueHash::nullHash());
    EXPECT_EQ(hashOf(K::Blob, false, {}), CanonicalValueHash::nullHash());
    EXPECT_NE(hashOf(K::Text, false, {"0"}), CanonicalValueHash::nullHash());
}

TEST(CanonicalValue, OneHasherTakesValueAfterValue)
{
    using K = OracleBindKind;
    OCIDate date{};
    date.OCIDateYYYY = 2024;
    date.OCIDateMM = 2;
    date.OCIDateDD = 29;
    const QByteArrayView dateBytes(reinterpret_cast<const char*>(&date), sizeof date);
    const struct {
        K kind;
        bool padded;
        std::vector<QByteArrayView> values;
    } columns[] = {
        {K::Number, false, {"12.50", "", "-0.001", "7"}},
        {K::Date, false, {dateBytes, "", dateBytes}},
        {K::Timestamp, false, {"2024-01-02 03:04:05.120", "2024-01-02 03:04:05.000", ""}},
        {K::Interval, false, {"+000 01:30:00.500", "-1 00:00:00"}},
        {K::Text, true, {"ab   ", "", "abc"}},
        {K::Text, false, {"ab", "", "ab "}},
        {K::Clob, false, {"long text", "", "x"}},
    };
    for (const auto& column : columns) {
        CanonicalValueHash reused(column.kind, column.padded);
        for (QByteArrayView value : column.values) {
            const std::uint64_t fresh = hashOf(column.kind, column.padded, {value});
            reused.add(value);
            EXPECT_EQ(reused.finish(), fresh) << int(column.kind) << " " << value.toByteArray().constData();
            EXPECT_EQ(reused.hashOf(value), fresh) << int(column.kind) << " " << value.toByteArray().constData();
        }
    }
}

TEST(ContentHash, PiecesOfAnySizeGiveTheSameHash)
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append(char(i * 7));
    ContentHash whole;
    whole.add(bytes);
    for (int pieceSize : {1, 3, 7, 8, 9, 64, 999}) {
        ContentHash pieces;
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
            pieces.add(QByteArrayView(bytes).sliced(at, qMin<qsizetype>(pieceSize, bytes.size() - at)));
        EXPECT_EQ(pieces.finish(), whole.finish()) << pieceSize;
    }
}

TEST(ContentHash, BytesGivenWholeHashAsStreamed)
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes.append(char(i * 37 + 11));
    for (qsizetype size = 0; size <= bytes.size(); ++size) {
        const QByteArrayView prefix = QByteArrayView(bytes).first(size);
        ContentHash streamed;
        streamed.add(prefix.first(size / 3));
        streamed.add(prefix.sliced(size / 3));
        EXPECT_EQ(ContentHash::of(prefix), streamed.finish()) << size;
    }
}

TEST(ContentHash, DifferentBytesDifferentHashes)
{
    auto hashOfText = [](QByteArrayView text) {
        ContentHash hash;
        hash.add(text);
        return hash.finish();
    };
    EXPECT_NE(hashOfText("abc"), hashOfText("abd"));
    EXPECT_NE(hashOfText(QByteArrayView("a\0", 2)), hashOfText("a"));
    EXPECT_NE(hashOfText("12345678"), hashOfText("87654321"));
}

}  // namespace
