// The database character set: NLS_DATABASE_PARAMETERS reports it, and text passes through it on its
// way into a column, so a database that is not AL32UTF8 replaces the characters it lacks, except in
// national columns bound in the national form (OCI_ATTR_CHARSET_FORM = SQLCS_NCHAR).
#include "database_charset.h"
#include "ora_error.h"
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

namespace {

using oraemutest::BindColumn;

class OciCharacterSets : public ::testing::Test {
protected:
    std::string service() const { return db.service().toStdString(); }
    std::unique_ptr<oraemutest::OciSession> logon()
    {
        return std::make_unique<oraemutest::OciSession>(service(), "SCOTT", "tiger");
    }
    std::string parameter(oraemutest::OciSession& session, const std::string& name)
    {
        const auto rows = session.query("select value from nls_database_parameters where parameter = :1",
                                        {{":1", name}});
        return rows.size() == 1 ? rows[0][0] : "<" + std::to_string(rows.size()) + " rows>";
    }

    testsupport::ScratchOracleDatabase db;
};

TEST_F(OciCharacterSets, ANewDatabaseIsAl32Utf8WithAl16Utf16NationalText)
{
    auto session = logon();
    EXPECT_EQ(parameter(*session, "NLS_CHARACTERSET"), "AL32UTF8");
    EXPECT_EQ(parameter(*session, "NLS_NCHAR_CHARACTERSET"), "AL16UTF16");
    const auto columns = session->describe("select parameter, value from nls_database_parameters");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, "PARAMETER");
    EXPECT_EQ(columns[1].name, "VALUE");
}

TEST_F(OciCharacterSets, TheToolGivesADatabaseAnotherCharacterSet)
{
    oraemu::setDatabaseCharacterSet(service(), "we8mswin1252");
    EXPECT_EQ(parameter(*logon(), "NLS_CHARACTERSET"), "WE8MSWIN1252");
    EXPECT_EQ(parameter(*logon(), "NLS_NCHAR_CHARACTERSET"), "AL16UTF16");
    try {
        oraemu::setDatabaseCharacterSet(service(), "KOI8R");
        ADD_FAILURE() << "a set oraemu does not model was taken";
    } catch (const oraemu::OraError& error) {
        EXPECT_EQ(error.message(), "ORA-12715: invalid character set specified");
    }
}

TEST_F(OciCharacterSets, NationalColumnsAreDescribedInTheNationalForm)
{
    auto session = logon();
    ASSERT_EQ(session->execute("create table N (V varchar2(10), NV nvarchar2(10), NC nchar(3), C clob, NL nclob)")
                  .status, oci::SUCCESS);
    const auto columns = session->describe("select * from N");
    ASSERT_EQ(columns.size(), 5u);
    const ub1 expected[] = {oci::SQLCS_IMPLICIT, oci::SQLCS_NCHAR, oci::SQLCS_NCHAR, oci::SQLCS_IMPLICIT,
                            oci::SQLCS_NCHAR};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].charsetForm, expected[i]) << columns[i].name;
        EXPECT_EQ(columns[i].charsetId, expected[i] == oci::SQLCS_NCHAR ? 2000 : 873) << columns[i].name;
    }

    // Character columns report the database's set: Windows-1252 is number 178.
    oraemu::setDatabaseCharacterSet(service(), "WE8MSWIN1252");
    auto windows = logon();
    const auto other = windows->describe("select V, NV from N");
    ASSERT_EQ(other.size(), 2u);
    EXPECT_EQ(other[0].charsetId, 178);
    EXPECT_EQ(other[1].charsetId, 2000);
    // So does the server handle.
    OCIServer* server = nullptr;
    ASSERT_EQ(oraemutest::oci().AttrGet(windows->svc(), oci::HTYPE_SVCCTX, &server, nullptr, oci::ATTR_SERVER,
                                        windows->error()),
              oci::SUCCESS);
    ub2 serverSet = 0;
    ASSERT_EQ(oraemutest::oci().AttrGet(server, oci::HTYPE_SERVER, &serverSet, nullptr, oci::ATTR_CHARSET_ID,
                                        windows->error()),
              oci::SUCCESS);
    EXPECT_EQ(serverSet, 178);
    EXPECT_EQ(columns[4].dataType, oci::SQLT_CLOB);
    EXPECT_EQ(session->query("select data_type from user_tab_columns where column_name = 'NL'")[0][0], "NCLOB");
}

// What arrives of "Ω€é" (Ω is not in Windows-1252, € and é are) in each column, by the database's
// set and the form of the binds.
TEST_F(OciCharacterSets, TextPassesThroughTheDatabaseCharacterSet)
{
    struct Case {
        const char* set;
        ub1 form;
        const char* varchar;   // VARCHAR2 and CLOB
        const char* national;  // NVARCHAR2 and NCLOB
    };
    const std::string text = "\u03A9\u20AC\u00E9";
    const std::vector<Case> cases = {
        {"AL32UTF8", 0, "\u03A9\u20AC\u00E9", "\u03A9\u20AC\u00E9"},
        {"AL32UTF8", oci::SQLCS_NCHAR, "\u03A9\u20AC\u00E9", "\u03A9\u20AC\u00E9"},
        {"WE8MSWIN1252", 0, "\u00BF\u20AC\u00E9", "\u00BF\u20AC\u00E9"},
        {"WE8MSWIN1252", oci::SQLCS_IMPLICIT, "\u00BF\u20AC\u00E9", "\u00BF\u20AC\u00E9"},
        {"WE8MSWIN1252", oci::SQLCS_NCHAR, "\u00BF\u20AC\u00E9", "\u03A9\u20AC\u00E9"},
        {"WE8ISO8859P1", oci::SQLCS_NCHAR, "\u00BF\u00BF\u00E9", "\u03A9\u20AC\u00E9"},
        {"US7ASCII", 0, "???", "???"},
    };
    auto session = logon();
    ASSERT_EQ(session->execute("create table T (V varchar2(10 char), NV nvarchar2(10), C clob, NL nclob)").status,
              oci::SUCCESS);
    for (const Case& c : cases) {
        oraemu::setDatabaseCharacterSet(service(), c.set);
        auto writer = logon();
        auto column = [&](ub1 form) {
            BindColumn bind;
            bind.values = {text};
            bind.charsetForm = form;
            return bind;
        };
        // The form goes on every bind: Oracle converts national text for a VARCHAR2 column into the
        // database set all the same.
        const auto inserted = writer->executeArray("insert into T values (:1, :2, :3, :4)",
                                                   {column(c.form), column(c.form), column(c.form), column(c.form)});
        ASSERT_EQ(inserted.status, oci::SUCCESS) << inserted.message;
        const auto rows = writer->query("select V, NV, C, NL from T");
        ASSERT_EQ(rows.size(), 1u);
        const std::string what = std::string(c.set) + " form " + std::to_string(c.form);
        EXPECT_EQ(rows[0][0], c.varchar) << what;
        EXPECT_EQ(rows[0][1], c.national) << what;
        EXPECT_EQ(rows[0][2], c.varchar) << what;
        EXPECT_EQ(rows[0][3], c.national) << what;
        ASSERT_EQ(writer->execute("delete from T").status, oci::SUCCESS);
        writer->commit();
    }
}

// National columns count their byte limit in AL16UTF16 bytes, not in the UTF-8 bytes bound.
TEST_F(OciCharacterSets, NationalByteLimitsCountUtf16Bytes)
{
    auto session = logon();
    ASSERT_EQ(session->execute("create table B (NC nchar(3), NV nvarchar2(3))").status, oci::SUCCESS);
    BindColumn bind;
    bind.values = {std::string("\u03A9\u20AC\u00E9")};  // 7 bytes of UTF-8, 6 of UTF-16
    bind.charsetForm = oci::SQLCS_NCHAR;
    const auto inserted = session->executeArray("insert into B values (:1, :2)", {bind, bind});
    ASSERT_EQ(inserted.status, oci::SUCCESS) << inserted.message;
    EXPECT_EQ(session->query("select NC, NV from B")[0], (std::vector<std::string>{"\u03A9\u20AC\u00E9", "\u03A9\u20AC\u00E9"}));
}

TEST_F(OciCharacterSets, OnlyTheImplicitAndNationalFormsAreTaken)
{
    auto session = logon();
    ASSERT_EQ(session->execute("create table F (NV nvarchar2(10))").status, oci::SUCCESS);
    BindColumn bind;
    bind.values = {std::string("x")};
    bind.charsetForm = 7;
    EXPECT_EQ(session->executeArray("insert into F values (:1)", {bind}).code, 1460);
}

}  // namespace
