// What Oracle's own client layers ask of an OCI library beyond what Dovrelle's client calls: the
// versions, character sets, transaction and server state, and thread-local keys. The whole
// conversation with such a client is tested by the node-oracledb conformance test.
#include "oci_session.h"

#include <QScopeGuard>
#include <QtGlobal>
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using oraemutest::oci;
using oraemutest::ociSymbol;

constexpr ub4 ATTR_TRANS = 8;
constexpr ub4 ATTR_SERVER_STATUS = 143;
constexpr ub4 ATTR_STMTCACHESIZE = 176;
constexpr ub4 ATTR_NCHARSET_ID = 262;
constexpr ub4 ATTR_TRANSACTION_IN_PROGRESS = 484;

class OciDriverSupport : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        ASSERT_EQ(oci().AttrGet(session->svc(), oci::HTYPE_SVCCTX, &server, nullptr, oci::ATTR_SERVER,
                                session->error()),
                  oci::SUCCESS);
        ASSERT_EQ(oci().AttrGet(session->svc(), oci::HTYPE_SVCCTX, &user, nullptr, oci::ATTR_SESSION,
                                session->error()),
                  oci::SUCCESS);
    }

    template <class T>
    T attribute(const void* handle, ub4 handleType, ub4 attribute)
    {
        T value{};
        EXPECT_EQ(oci().AttrGet(handle, handleType, &value, nullptr, attribute, session->error()), oci::SUCCESS)
            << "attribute " << attribute;
        return value;
    }

    bool transactionInProgress() { return attribute<int>(user, oci::HTYPE_SESSION, ATTR_TRANSACTION_IN_PROGRESS) != 0; }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
    OCIServer* server = nullptr;
    OCISession* user = nullptr;
};

TEST_F(OciDriverSupport, ClientAndServerReleaseAre19_3)
{
    sword major = 0, minor = 0, update = 0, patch = 0, port = 0;
    oci().ClientVersion(&major, &minor, &update, &patch, &port);
    EXPECT_EQ(major, 19);
    EXPECT_EQ(minor, 3);

    using Release2 = sword(void*, OCIError*, OraText*, ub4, ub1, ub4*, ub4);
    auto* release = reinterpret_cast<Release2*>(ociSymbol("OCIServerRelease2"));
    OraText banner[200] = {};
    ub4 version = 0;
    ASSERT_EQ(release(session->svc(), session->error(), banner, sizeof banner, oci::HTYPE_SVCCTX, &version, 0),
              oci::SUCCESS);
    EXPECT_NE(std::strstr(reinterpret_cast<const char*>(banner), "Release 19.3.0.0.0"), nullptr) << banner;
    EXPECT_EQ(version >> 24, 19u);
    EXPECT_EQ((version >> 16) & 0xFF, 3u);
}

TEST_F(OciDriverSupport, CharacterSetsAndServerState)
{
    EXPECT_EQ(attribute<ub2>(session->env(), oci::HTYPE_ENV, oci::ATTR_CHARSET_ID), oci::CHARSET_AL32UTF8);
    EXPECT_EQ(attribute<ub2>(server, oci::HTYPE_SERVER, oci::ATTR_CHARSET_ID), oci::CHARSET_AL32UTF8);
    EXPECT_EQ(attribute<ub2>(server, oci::HTYPE_SERVER, ATTR_NCHARSET_ID), oci::CHARSET_AL16UTF16);
    EXPECT_EQ(attribute<ub4>(server, oci::HTYPE_SERVER, ATTR_SERVER_STATUS), 1u);
    EXPECT_EQ(attribute<ub1>(session->svc(), oci::HTYPE_SVCCTX, oci::ATTR_MAX_IDENTIFIER_LEN), 30);

    ub4 cacheSize = 40;
    ASSERT_EQ(oci().AttrSet(session->svc(), oci::HTYPE_SVCCTX, &cacheSize, 0, ATTR_STMTCACHESIZE, session->error()),
              oci::SUCCESS);
    EXPECT_EQ(attribute<ub4>(session->svc(), oci::HTYPE_SVCCTX, ATTR_STMTCACHESIZE), 40u);
    EXPECT_EQ(oci().AttrSet(session->svc(), oci::HTYPE_SVCCTX, nullptr, 0, ATTR_TRANS, session->error()),
              oci::SUCCESS);
}

// ORAEMU_MAX_IDENTIFIER_BYTES=128 makes oraemu a server of 12.2 or later: names of up to 128 bytes,
// and the service context says so.
TEST_F(OciDriverSupport, IdentifierLimitOf128BytesWhenAskedFor)
{
    qputenv("ORAEMU_MAX_IDENTIFIER_BYTES", "128");
    const auto restore = qScopeGuard([] { qunsetenv("ORAEMU_MAX_IDENTIFIER_BYTES"); });
    EXPECT_EQ(attribute<ub1>(session->svc(), oci::HTYPE_SVCCTX, oci::ATTR_MAX_IDENTIFIER_LEN), 128);
    const std::string longest = std::string(62, 'x') + "\xC3\xA4" + std::string(64, 'y');  // 128 bytes
    EXPECT_EQ(session->execute("create table \"" + longest + "\" (A number)").code, 0);
    EXPECT_EQ(session->execute("create table \"" + longest + "z\" (A number)").code, 972);
    EXPECT_EQ(session->execute("create index " + std::string(128, 'I') + " on \"" + longest + "\" (A)").code, 0);
}

// A client that rolls back before it logs off asks whether there is anything to roll back.
TEST_F(OciDriverSupport, TransactionInProgressFollowsChangesCommitAndRollback)
{
    ASSERT_EQ(session->execute("create table T (A number)").status, oci::SUCCESS);
    EXPECT_FALSE(transactionInProgress());
    ASSERT_EQ(session->execute("insert into T (A) values (1)").status, oci::SUCCESS);
    EXPECT_TRUE(transactionInProgress());
    ASSERT_EQ(session->commit().status, oci::SUCCESS);
    EXPECT_FALSE(transactionInProgress());
    ASSERT_EQ(session->execute("insert into T (A) values (2)").status, oci::SUCCESS);
    EXPECT_TRUE(transactionInProgress());
    ASSERT_EQ(session->rollback().status, oci::SUCCESS);
    EXPECT_FALSE(transactionInProgress());
    EXPECT_EQ(session->query("select count(*) from T")[0][0], "1");
}

TEST_F(OciDriverSupport, ThreadKeysHoldOneValuePerThread)
{
    struct Key;
    using KeyInit = sword(void*, OCIError*, Key**, void (*)(void*));
    using KeyGet = sword(void*, OCIError*, Key*, void**);
    using KeySet = sword(void*, OCIError*, Key*, void*);
    using KeyDestroy = sword(void*, OCIError*, Key**);
    using NumericInfo = sword(void*, OCIError*, sb4*, ub2);
    auto* init = reinterpret_cast<KeyInit*>(ociSymbol("OCIThreadKeyInit"));
    auto* get = reinterpret_cast<KeyGet*>(ociSymbol("OCIThreadKeyGet"));
    auto* set = reinterpret_cast<KeySet*>(ociSymbol("OCIThreadKeySet"));
    auto* destroy = reinterpret_cast<KeyDestroy*>(ociSymbol("OCIThreadKeyDestroy"));
    reinterpret_cast<void (*)()>(ociSymbol("OCIThreadProcessInit"))();

    Key* key = nullptr;
    ASSERT_EQ(init(session->env(), session->error(), &key, nullptr), oci::SUCCESS);
    void* value = &key;
    ASSERT_EQ(get(session->env(), session->error(), key, &value), oci::SUCCESS);
    EXPECT_EQ(value, nullptr);
    int data = 7;
    ASSERT_EQ(set(session->env(), session->error(), key, &data), oci::SUCCESS);
    ASSERT_EQ(get(session->env(), session->error(), key, &value), oci::SUCCESS);
    EXPECT_EQ(value, &data);
    ASSERT_EQ(destroy(session->env(), session->error(), &key), oci::SUCCESS);
    EXPECT_EQ(key, nullptr);

    auto* numericInfo = reinterpret_cast<NumericInfo*>(ociSymbol("OCINlsNumericInfoGet"));
    sb4 maxBytes = 0;
    ASSERT_EQ(numericInfo(session->env(), session->error(), &maxBytes, 91), oci::SUCCESS);
    EXPECT_EQ(maxBytes, 4);
}

}  // namespace
