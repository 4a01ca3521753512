// Queries over several tables: inner, left, right, full and cross joins (ANSI and the comma form),
// IN and EXISTS sub-queries and scalar sub-queries (correlated or not), grouping and ordering of joined rows, joins of the catalog
// views; and DEFAULT in an INSERT's values.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using oraemutest::OciSession;
using Rows = std::vector<std::vector<std::string>>;

namespace {

class JoinsAndSubqueries : public ::testing::Test {
protected:
    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");

    void SetUp() override
    {
        for (const char* sql : {
                 "create table DEPT (ID number(9) constraint DEPT_PK primary key, NAME varchar2(20) not null)",
                 "create table EMP (ID number(9) constraint EMP_PK primary key, DEPT number(9) constraint EMP_DEPT_FK "
                 "references DEPT, ENAME varchar2(20), SAL number(8,2))",
                 "insert into DEPT values (1, 'Sales')",
                 "insert into DEPT values (2, 'Research')",
                 "insert into DEPT values (3, 'Empty')",
                 "insert into EMP values (10, 1, 'Joe', 100)",
                 "insert into EMP values (11, 1, 'Ann', 250.5)",
                 "insert into EMP values (12, 2, 'Bob', 75)",
                 "insert into EMP values (13, NULL, 'Kim', 123456.25)",
             })
            ASSERT_EQ(session->execute(sql).status, oci::SUCCESS) << sql;
    }
};

struct QueryCase {
    const char* sql;
    Rows rows;
};

TEST_F(JoinsAndSubqueries, QueriesOverSeveralTablesGiveOraclesRows)
{
    const QueryCase cases[] = {
        {"select d.NAME, e.ENAME from DEPT d join EMP e on e.DEPT = d.ID order by d.NAME, e.ENAME",
         {{"Research", "Bob"}, {"Sales", "Ann"}, {"Sales", "Joe"}}},
        {"select d.NAME, e.ENAME from DEPT d inner join EMP e on e.DEPT = d.ID where e.SAL > 80 order by e.SAL desc",
         {{"Sales", "Ann"}, {"Sales", "Joe"}}},
        {"select NAME, ENAME from DEPT, EMP where EMP.DEPT = DEPT.ID and SAL < 100 order by 2",
         {{"Research", "Bob"}}},
        {"select d.NAME, e.ENAME from DEPT d left outer join EMP e on e.DEPT = d.ID order by d.ID, e.ENAME",
         {{"Sales", "Ann"}, {"Sales", "Joe"}, {"Research", "Bob"}, {"Empty", "<null>"}}},
        {"select d.NAME, count(e.ID), sum(e.SAL) from DEPT d left join EMP e on e.DEPT = d.ID group by d.NAME "
         "order by d.NAME",
         {{"Empty", "0", "<null>"}, {"Research", "1", "75"}, {"Sales", "2", "350.5"}}},
        // NUMBER values sort as numbers across joined rows (integers and exact decimal text alike).
        {"select e.ENAME from EMP e left join DEPT d on d.ID = e.DEPT order by e.SAL", {{"Bob"}, {"Joe"}, {"Ann"}, {"Kim"}}},
        {"select d.*, e.ENAME from DEPT d join EMP e on e.DEPT = d.ID where e.ID = 12", {{"2", "Research", "Bob"}}},
        {"select count(*) from DEPT, EMP", {{"12"}}},
        {"select NAME from DEPT where ID in (select DEPT from EMP) order by NAME", {{"Research"}, {"Sales"}}},
        {"select NAME from DEPT where ID not in (select DEPT from EMP where DEPT is not null)", {{"Empty"}}},
        // NOT IN over a sub-query that yields a NULL is never true, as in Oracle.
        {"select count(*) from DEPT where ID not in (select DEPT from EMP)", {{"0"}}},
        {"select NAME from DEPT d where exists (select 1 from EMP e where e.DEPT = d.ID and e.SAL > 200)", {{"Sales"}}},
        {"select NAME from DEPT d where not exists (select * from EMP where EMP.DEPT = d.ID)", {{"Empty"}}},
        {"select ENAME from EMP where SAL in (select max(SAL) from EMP where DEPT is not null)", {{"Ann"}}},
        {"select ENAME from EMP where DEPT in (select ID from DEPT where NAME = :1) order by ENAME", {{"Ann"}, {"Joe"}}},
        {"select c.CONSTRAINT_NAME, c.CONSTRAINT_TYPE, cc.COLUMN_NAME from USER_CONSTRAINTS c join USER_CONS_COLUMNS cc "
         "on cc.CONSTRAINT_NAME = c.CONSTRAINT_NAME where c.TABLE_NAME = 'EMP' order by c.CONSTRAINT_NAME, cc.POSITION",
         {{"EMP_DEPT_FK", "R", "DEPT"}, {"EMP_PK", "P", "ID"}}},
        {"select r.TABLE_NAME from USER_CONSTRAINTS c, USER_CONSTRAINTS r where c.CONSTRAINT_NAME = 'EMP_DEPT_FK' "
         "and r.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME",
         {{"DEPT"}}},
        {"select TABLE_NAME from USER_TABLES where TABLE_NAME in (select TABLE_NAME from USER_CONSTRAINTS "
         "where CONSTRAINT_TYPE = 'R')",
         {{"EMP"}}},
        // RIGHT, FULL and CROSS joins.
        {"select d.NAME, e.ENAME from EMP e right outer join DEPT d on e.DEPT = d.ID order by d.ID, e.ENAME",
         {{"Sales", "Ann"}, {"Sales", "Joe"}, {"Research", "Bob"}, {"Empty", "<null>"}}},
        {"select d.NAME, e.ENAME from DEPT d full outer join EMP e on e.DEPT = d.ID order by e.ID nulls first",
         {{"Empty", "<null>"}, {"Sales", "Joe"}, {"Sales", "Ann"}, {"Research", "Bob"}, {"<null>", "Kim"}}},
        {"select count(*), count(d.ID), count(e.ID) from DEPT d full join EMP e on e.DEPT = d.ID", {{"5", "4", "4"}}},
        {"select count(*) from DEPT cross join EMP", {{"12"}}},
        {"select d.NAME, e.ENAME from DEPT d cross join EMP e where e.ID = 12 and d.ID = 3", {{"Empty", "Bob"}}},
        // Scalar sub-queries as values, correlated or not; no row gives NULL.
        {"select NAME, (select count(*) from EMP e where e.DEPT = d.ID) from DEPT d order by ID",
         {{"Sales", "2"}, {"Research", "1"}, {"Empty", "0"}}},
        {"select ENAME, (select NAME from DEPT where ID = EMP.DEPT) DEPT_NAME from EMP order by ID",
         {{"Joe", "Sales"}, {"Ann", "Sales"}, {"Bob", "Research"}, {"Kim", "<null>"}}},
        {"select ENAME from EMP where SAL > (select avg(SAL) from EMP where DEPT = 1) order by ENAME",
         {{"Ann"}, {"Kim"}}},
    };
    for (const QueryCase& test : cases) {
        const std::string sql = test.sql;
        const bool bound = sql.find(":1") != std::string::npos;
        EXPECT_EQ(session->query(sql, bound ? std::vector<std::pair<std::string, std::string>>{{"1", "Sales"}}
                                             : std::vector<std::pair<std::string, std::string>>{}),
                  test.rows)
            << sql;
    }
}

TEST_F(JoinsAndSubqueries, UnclearOrUnknownNamesFailAsInOracle)
{
    const std::pair<const char*, const char*> cases[] = {
        {"select ID from DEPT, EMP", "ORA-00918"},
        {"select d.ID from DEPT d join EMP e on e.DEPT = d.ID where x.ID = 1", "ORA-00904"},
        {"select NAME from DEPT where ID in (select ID, DEPT from EMP)", "ORA-00913"},
        {"select NAME from DEPT d join EMP e", "ORA-00905"},
        {"select NAME from DEPT natural join EMP", "ORA-03001"},
        {"select NAME from DEPT d cross join EMP e on e.DEPT = d.ID", "ORA-00933"},
        {"select (select ID, NAME from DEPT where ID = 1) from DUAL", "ORA-00913"},
    };
    for (const auto& [sql, code] : cases)
        EXPECT_EQ(session->tryQuery(sql).message.substr(0, 9), code) << sql;
    // A scalar sub-query with more than one row fails when the row that meets it is fetched.
    try {
        session->query("select NAME, (select ENAME from EMP where EMP.DEPT = d.ID) from DEPT d order by ID");
        ADD_FAILURE() << "a scalar sub-query of two rows was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "fetch failed: ORA-01427: single-row subquery returns more than one row");
    }
}

TEST_F(JoinsAndSubqueries, DeleteAndUpdateTakeSubqueriesInTheirConditions)
{
    ASSERT_EQ(session->execute("update EMP set SAL = 1 where DEPT in (select ID from DEPT where NAME = 'Sales')").rowCount, 2u);
    ASSERT_EQ(session->execute("delete from EMP where not exists (select 1 from DEPT where DEPT.ID = EMP.DEPT)").rowCount,
              1u);
    EXPECT_EQ(session->query("select ENAME, SAL from EMP order by ID"), (Rows{{"Joe", "1"}, {"Ann", "1"}, {"Bob", "75"}}));
}

TEST_F(JoinsAndSubqueries, DefaultInTheValuesTakesTheColumnsDefaultOrIdentity)
{
    ASSERT_EQ(session->execute("create table T (ID number(10) generated always as identity (start with 7), "
                               "S varchar2(10) default 'dflt', N number)").status,
              oci::SUCCESS);
    EXPECT_EQ(session->execute("insert into T values (DEFAULT, DEFAULT, 1)").status, oci::SUCCESS);
    EXPECT_EQ(session->execute("insert into T (ID, S, N) values (default, 'given', default)").status, oci::SUCCESS);
    EXPECT_EQ(session->query("select ID, S, N from T order by ID"), (Rows{{"7", "dflt", "1"}, {"8", "given", "<null>"}}));
    EXPECT_EQ(session->execute("insert into T (ID, S) values (9, 'x')").message.substr(0, 9), "ORA-32795");
}

// RETURNING ... INTO with plain binds: the value lands in the bind's own slot. (Oracle's own driver
// takes the values through OCIBindDynamic callbacks: tests/conformance covers that path.)
class ReturningInto : public JoinsAndSubqueries {
protected:
    struct Outcome {
        std::string text;  // the value returned into :out as text; "<null>" for NULL
        ub4 rows = 0;      // OCI_ATTR_ROW_COUNT
        std::string error;
    };

    Outcome run(const std::string& sql)
    {
        const auto& api = oraemutest::oci();
        OCIStmt* stmt = nullptr;
        EXPECT_EQ(api.StmtPrepare2(session->svc(), &stmt, session->error(), reinterpret_cast<const OraText*>(sql.data()),
                                   static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT),
                  oci::SUCCESS);
        char slot[64] = "untouched";
        sb2 indicator = 0;
        ub2 length = sizeof slot;
        OCIBind* bind = nullptr;
        EXPECT_EQ(api.BindByPos(stmt, &bind, session->error(), 1, slot, sizeof slot, oci::SQLT_STR, &indicator, &length,
                                nullptr, 0, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        Outcome outcome;
        const sword status =
            api.StmtExecute(session->svc(), stmt, session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT);
        if (status != oci::SUCCESS)
            outcome.error = session->lastError(status).message.substr(0, 9);
        api.AttrGet(stmt, oci::HTYPE_STMT, &outcome.rows, nullptr, oci::ATTR_ROW_COUNT, session->error());
        outcome.text = indicator < 0 ? "<null>" : std::string(slot);
        api.StmtRelease(stmt, session->error(), nullptr, 0, oci::DEFAULT);
        return outcome;
    }
};

TEST_F(ReturningInto, SingleRowDmlReturnsIntoItsBind)
{
    struct Case {
        const char* sql;
        const char* text;
        ub4 rows;
        const char* error;
    };
    const Case cases[] = {
        {"insert into EMP (ID, DEPT, ENAME, SAL) values (20, 2, 'Eve', 10.5) returning SAL into :out", "10.5", 1, ""},
        {"insert into EMP (ID, ENAME) values (21, 'Ida') returning DEPT into :out", "<null>", 1, ""},
        {"update EMP set ENAME = 'Joseph' where ID = 10 returning ENAME into :out", "Joseph", 1, ""},
        {"update EMP e set SAL = 1 where ID = 11 return EMP.ID into :out", "11", 1, ""},
        {"delete from EMP where ID = 12 returning ENAME into :out", "Bob", 1, ""},
        {"delete from EMP where ID = 99 returning ENAME into :out", "untouched", 0, ""},
        // Several rows need the callbacks of OCIBindDynamic, as in Oracle.
        {"update EMP set SAL = 2 where DEPT = 1 returning ID into :out", "untouched", 0, "ORA-24369"},
        {"insert into EMP (ID) values (30) returning SAL + 1 into :out", "untouched", 0, "ORA-03001"},
        {"insert into EMP (ID) values (31) returning NOPE into :out", "untouched", 0, "ORA-00904"},
        {"insert into EMP (ID) values (32) returning ID, SAL into :out", "untouched", 0, "ORA-00947"},
    };
    for (const Case& test : cases) {
        const Outcome outcome = run(test.sql);
        EXPECT_EQ(outcome.error, test.error) << test.sql;
        if (outcome.error.empty()) {
            EXPECT_EQ(outcome.text, test.text) << test.sql;
            EXPECT_EQ(outcome.rows, test.rows) << test.sql;
        }
    }
    EXPECT_EQ(session->query("select ID, ENAME, SAL from EMP where ID in (10, 11, 20, 21) order by ID"),
              (Rows{{"10", "Joseph", "100"}, {"11", "Ann", "1"}, {"20", "Eve", "10.5"}, {"21", "Ida", "<null>"}}));
}

}  // namespace
