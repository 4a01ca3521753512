// oraemu: makes databases and users, and runs one statement through the engine.
//   oraemu create FILE
//   oraemu user FILE NAME PASSWORD
//   oraemu sql FILE USER PASSWORD 'statement'
//   oraemu expire FILE NAME DAYS   (the password expires within DAYS days: logons warn with ORA-28002)
//   oraemu charset FILE NAME       (the database character set NLS_CHARACTERSET, AL32UTF8 when new)
#include "database.h"
#include "database_charset.h"
#include "ora_error.h"
#include "session.h"
#include "statement.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: oraemu create FILE\n"
                 "       oraemu user FILE NAME PASSWORD\n"
                 "       oraemu sql FILE USER PASSWORD 'statement'\n"
                 "       oraemu expire FILE NAME DAYS\n"
                 "       oraemu charset FILE NAME   (AL32UTF8, UTF8, US7ASCII, WE8ISO8859P1, WE8MSWIN1252)\n";
    return 2;
}

void runSql(const std::string& path, const std::string& user, const std::string& password, const std::string& sql)
{
    auto session = oraemu::Session::logon(path, user, password);
    // The same session settings as the product's client layer uses.
    for (const char* setting : {"ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM-DD HH24:MI:SS'",
                                "ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY-MM-DD HH24:MI:SS.FF'",
                                "ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'",
                                "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'"}) {
        oraemu::Statement alter(*session, setting);
        oraemu::NoBinds none;
        alter.execute(none, 1);
    }
    oraemu::Statement statement(*session, sql);
    oraemu::NoBinds none;
    if (!statement.isQuery()) {
        statement.execute(none, 1);
        session->logoff();
        return;
    }
    const auto& columns = statement.describe();
    statement.open(none);
    bool more = statement.fetch();  // a failing query prints nothing, not even its header
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i)
        line += (i ? "\t" : "") + columns[i].name;
    std::cout << line << '\n';
    for (; more; more = statement.fetch()) {
        line.clear();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i)
                line += '\t';
            line += oraemu::renderText(statement.value(i), columns[i].type, session->nls());
        }
        std::cout << line << '\n';
    }
    session->logoff();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    try {
        if (command == "create" && argc == 3)
            oraemu::createDatabase(argv[2]);
        else if (command == "user" && argc == 5)
            oraemu::addUser(argv[2], argv[3], argv[4]);
        else if (command == "expire" && argc == 5)
            oraemu::setPasswordGrace(argv[2], argv[3], std::stoi(argv[4]));
        else if (command == "charset" && argc == 4)
            oraemu::setDatabaseCharacterSet(argv[2], argv[3]);
        else if (command == "sql" && argc == 6)
            runSql(argv[2], argv[3], argv[4], argv[5]);
        else
            return usage();
    } catch (const oraemu::OraError& error) {
        std::cout.flush();
        std::cerr << error.message() << '\n';
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "oraemu: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
