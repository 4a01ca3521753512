#include "parser.h"

#include "identifiers.h"
#include "ora_error.h"
#include "tokenizer.h"

#include <cctype>
#include <set>

namespace oraemu {

namespace {

class Parser {
public:
    explicit Parser(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {}

    ParsedStatement parse()
    {
        ParsedStatement parsed{statement(), {}};
        expectEnd();
        parsed.placeholders = std::move(placeholders_);
        return parsed;
    }

    ExprPtr parseExpressionOnly()
    {
        ExprPtr expr = expression();
        expectEnd();
        return expr;
    }

private:
    std::string_view sql_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::vector<std::string> placeholders_;
    bool explicitSemantics_ = true;  // the last column type said BYTE or CHAR (or needs neither)

    const Token& peek(std::size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }
    const Token& next()
    {
        const Token& token = tokens_[pos_];
        if (pos_ + 1 < tokens_.size())
            ++pos_;
        return token;
    }
    bool acceptWord(std::string_view word)
    {
        if (!peek().isWord(word))
            return false;
        next();
        return true;
    }
    bool acceptSymbol(std::string_view symbol)
    {
        if (!peek().isSymbol(symbol))
            return false;
        next();
        return true;
    }
    void expectWord(std::string_view word, int code, const char* text)
    {
        if (!acceptWord(word))
            throw OraError(code, text);
    }
    void expectLeftParen()
    {
        if (!acceptSymbol("("))
            throw OraError(906, "missing left parenthesis");
    }
    void expectRightParen()
    {
        if (!acceptSymbol(")"))
            throw OraError(907, "missing right parenthesis");
    }
    void expectEnd()
    {
        if (peek().kind == Token::Kind::End)
            return;
        if (peek().isSymbol(";"))
            throw OraError(911, "invalid character");
        throw OraError(933, "SQL command not properly ended");
    }

    // A name: an unquoted word (folded, not reserved) or a quoted name (kept). `code`/`text` is the
    // error for a token that cannot be a name here.
    std::string name(int code, const char* text)
    {
        const Token& token = peek();
        std::string result;
        if (token.kind == Token::Kind::Word) {
            if (isReservedWord(token.text))
                throw OraError(code, text);
            result = token.text;
        } else if (token.kind == Token::Kind::QuotedName) {
            if (token.text.empty())
                throw OraError(1741, "illegal zero-length identifier");
            result = token.text;
        } else {
            throw OraError(code, text);
        }
        if (result.size() > maxIdentifierBytes())
            throw OraError(972, "identifier is too long");
        next();
        return result;
    }
    std::string columnName() { return name(904, ": invalid identifier"); }

    ObjectName objectName(int code, const char* text)
    {
        ObjectName object;
        object.name = name(code, text);
        if (acceptSymbol(".")) {
            object.schema = object.name;
            object.name = name(code, text);
        }
        return object;
    }
    ObjectName tableName() { return objectName(903, "invalid table name"); }

    std::vector<std::string> columnList()
    {
        expectLeftParen();
        std::vector<std::string> columns;
        do {
            columns.push_back(columnName());
        } while (acceptSymbol(","));
        expectRightParen();
        return columns;
    }

    Command statement()
    {
        const Token& first = peek();
        if (first.kind != Token::Kind::Word)
            throw OraError(900, "invalid SQL statement");
        if (acceptWord("CREATE"))
            return create();
        if (acceptWord("DROP"))
            return drop();
        if (acceptWord("ALTER"))
            return alter();
        if (peek().isWord("SELECT"))
            return select();
        if (acceptWord("INSERT"))
            return insert();
        if (acceptWord("DELETE"))
            return deleteRows();
        if (acceptWord("UPDATE"))
            return update();
        if (acceptWord("TRUNCATE")) {
            expectWord("TABLE", 3290, "Invalid truncate command - missing CLUSTER or TABLE keyword");
            return Truncate{tableName()};
        }
        if (acceptWord("COMMENT"))
            return comment();
        if (peek().isWord("MERGE") || peek().isWord("GRANT") || peek().isWord("REVOKE") || peek().isWord("RENAME") ||
            peek().isWord("BEGIN") || peek().isWord("DECLARE") || peek().isWord("WITH") ||
            peek().isWord("SAVEPOINT") || peek().isWord("LOCK") || peek().isWord("CALL") || peek().isWord("EXPLAIN"))
            throw OraError(3001, "unimplemented feature");
        if (acceptWord("COMMIT")) {
            acceptWord("WORK");
            return Commit{};
        }
        if (acceptWord("ROLLBACK")) {
            acceptWord("WORK");
            return Rollback{};
        }
        throw OraError(900, "invalid SQL statement");
    }

    Command create()
    {
        if (acceptWord("TABLE"))
            return createTable();
        bool unique = acceptWord("UNIQUE");
        if (acceptWord("INDEX"))
            return createIndex(unique);
        if (peek().isWord("VIEW") || peek().isWord("SEQUENCE") || peek().isWord("OR") || peek().isWord("TRIGGER"))
            throw OraError(3001, "unimplemented feature");
        throw OraError(901, "invalid CREATE command");
    }

    Command createTable()
    {
        CreateTable create;
        create.table = tableName();
        if (peek().isWord("AS"))
            throw OraError(3001, "unimplemented feature");
        expectLeftParen();
        std::set<std::string> seen;
        do {
            if (startsConstraint()) {
                create.keys.push_back(tableConstraint(create.table));
                continue;
            }
            ColumnDef column;
            column.name = columnName();
            column.type = columnType();
            column.sessionSemantics = !explicitSemantics_;
            columnConstraints(create, column);
            if (!seen.insert(column.name).second)
                throw OraError(957, "duplicate column name");
            create.columns.push_back(std::move(column));
        } while (acceptSymbol(","));
        expectRightParen();
        if (create.columns.size() > 1000)
            throw OraError(1792, "maximum number of columns in a table or view is 1000");
        return create;
    }

    bool startsConstraint() const
    {
        return peek().isWord("CONSTRAINT") || peek().isWord("PRIMARY") || peek().isWord("UNIQUE") ||
               peek().isWord("FOREIGN") || peek().isWord("CHECK");
    }

    // [CONSTRAINT name] PRIMARY KEY (cols) | UNIQUE (cols) | FOREIGN KEY (cols) REFERENCES ... | CHECK (...)
    AddKey tableConstraint(const ObjectName& table)
    {
        AddKey key;
        key.table = table;
        if (acceptWord("CONSTRAINT"))
            key.constraint = name(902, "invalid datatype");
        if (acceptWord("PRIMARY")) {
            expectWord("KEY", 905, "missing keyword");
        } else if (acceptWord("UNIQUE")) {
            key.unique = true;
        } else if (acceptWord("FOREIGN")) {
            expectWord("KEY", 905, "missing keyword");
            key.columns = columnList();
            key.references = references();
            return key;
        } else if (acceptWord("CHECK")) {
            key.check = checkCondition();
            return key;
        } else if (key.constraint.empty()) {
            throw OraError(3001, "unimplemented feature");
        } else {
            throw OraError(902, "invalid datatype");
        }
        key.columns = columnList();
        return key;
    }

    // REFERENCES parent [(cols)] [ON DELETE CASCADE | ON DELETE SET NULL]
    ReferenceSpec references()
    {
        expectWord("REFERENCES", 905, "missing keyword");
        ReferenceSpec spec;
        spec.parent = tableName();
        if (peek().isSymbol("("))
            spec.parentColumns = columnList();
        if (acceptWord("ON")) {
            expectWord("DELETE", 905, "missing keyword");
            if (acceptWord("CASCADE")) {
                spec.deleteRule = "CASCADE";
            } else {
                expectWord("SET", 905, "missing keyword");
                expectWord("NULL", 905, "missing keyword");
                spec.deleteRule = "SET NULL";
            }
        }
        return spec;
    }

    // ( condition ): the condition's text as written, after checking that it parses.
    std::string checkCondition()
    {
        expectLeftParen();
        const std::size_t start = peek().offset;
        expression();
        const std::size_t end = peek().offset;
        expectRightParen();
        return trimmedText(start, end);
    }

    std::string trimmedText(std::size_t start, std::size_t end) const
    {
        std::string text(sql_.substr(start, end - start));
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.pop_back();
        return text;
    }

    // DEFAULT expression: its text as written. Column references have no place in it.
    std::string defaultClause()
    {
        const std::size_t start = peek().offset;
        ExprPtr value = expression();
        rejectColumns(*value);
        return trimmedText(start, peek().offset);
    }

    static void rejectColumns(const Expr& expr)
    {
        if (expr.kind == Expr::Kind::Column)
            throw OraError(984, "column not allowed here");
        for (const auto& arg : expr.args)
            rejectColumns(*arg);
    }

    std::int64_t signedInteger()
    {
        const bool negative = acceptSymbol("-");
        const Token& token = peek();
        if (token.kind != Token::Kind::Number || token.text.find_first_not_of("0123456789") != std::string::npos ||
            token.text.size() > 18)
            throw OraError(1722, "invalid number");
        next();
        const std::int64_t value = std::stoll(token.text);
        return negative ? -value : value;
    }

    // An identity's START WITH or INCREMENT BY: an integer of up to 38 digits (the identity's
    // range is checked where the identity is defined).
    Decimal identityInteger()
    {
        const bool negative = acceptSymbol("-");
        const Token& token = peek();
        if (token.kind != Token::Kind::Number || token.text.find_first_not_of("0123456789") != std::string::npos ||
            token.text.size() > 38)
            throw OraError(1722, "invalid number");
        Decimal value = *Decimal::parse(token.text);
        next();
        return negative ? value.negated() : value;
    }

    // After GENERATED: [ALWAYS | BY DEFAULT [ON NULL]] AS IDENTITY [(options)]
    IdentitySpec identityClause()
    {
        IdentitySpec spec;
        if (acceptWord("BY")) {
            expectWord("DEFAULT", 905, "missing keyword");
            spec.always = false;
            if (acceptWord("ON")) {
                expectWord("NULL", 905, "missing keyword");
                spec.onNull = true;
            }
        } else {
            acceptWord("ALWAYS");
        }
        expectWord("AS", 905, "missing keyword");
        expectWord("IDENTITY", 905, "missing keyword");
        if (!acceptSymbol("("))
            return spec;
        while (!acceptSymbol(")")) {
            if (acceptWord("START")) {
                expectWord("WITH", 905, "missing keyword");
                if (acceptWord("LIMIT")) {
                    expectWord("VALUE", 905, "missing keyword");
                    spec.limitValue = true;
                } else {
                    spec.start = identityInteger();
                }
            } else if (acceptWord("INCREMENT")) {
                expectWord("BY", 905, "missing keyword");
                spec.increment = identityInteger();
                if (spec.increment->isZero())
                    throw OraError(4002, "INCREMENT must be a non-zero integer");
            } else if (acceptWord("NOCACHE") || acceptWord("NOCYCLE") || acceptWord("NOORDER") ||
                       acceptWord("ORDER") || acceptWord("NOMAXVALUE") || acceptWord("NOMINVALUE")) {
            } else if (acceptWord("CACHE")) {
                signedInteger();
            } else {
                throw OraError(907, "missing right parenthesis");
            }
        }
        return spec;
    }

    // DEFAULT, GENERATED ... AS IDENTITY, NOT NULL, NULL, PRIMARY KEY, UNIQUE, REFERENCES and CHECK
    // after a column's type.
    void columnConstraints(CreateTable& create, ColumnDef& column)
    {
        for (;;) {
            std::string constraint;
            if (acceptWord("CONSTRAINT"))
                constraint = name(902, "invalid datatype");
            if (acceptWord("NOT")) {
                expectWord("NULL", 907, "missing right parenthesis");
                column.notNull = true;
            } else if (constraint.empty() && acceptWord("NULL")) {
                column.notNull = false;
            } else if (constraint.empty() && acceptWord("DEFAULT")) {
                column.defaultText = defaultClause();
            } else if (constraint.empty() && acceptWord("GENERATED")) {
                column.identity = identityClause();
            } else if (acceptWord("PRIMARY") || peek().isWord("UNIQUE")) {
                AddKey key;
                key.table = create.table;
                key.constraint = constraint;
                if (acceptWord("UNIQUE"))
                    key.unique = true;
                else
                    expectWord("KEY", 905, "missing keyword");
                key.columns.push_back(column.name);
                create.keys.push_back(std::move(key));
            } else if (peek().isWord("REFERENCES")) {
                AddKey key;
                key.table = create.table;
                key.constraint = constraint;
                key.columns.push_back(column.name);
                key.references = references();
                create.keys.push_back(std::move(key));
            } else if (acceptWord("CHECK")) {
                AddKey key;
                key.table = create.table;
                key.constraint = constraint;
                key.check = checkCondition();
                create.keys.push_back(std::move(key));
            } else if (!constraint.empty()) {
                throw OraError(2253, "constraint definition not allowed here");
            } else {
                return;
            }
        }
    }

    int integer(int code, const char* text)
    {
        const Token& token = peek();
        if (token.kind != Token::Kind::Number || token.text.find_first_not_of("0123456789") != std::string::npos)
            throw OraError(code, text);
        next();
        if (token.text.size() > 6)
            return 999999;
        return std::stoi(token.text);
    }

    ColumnType lengthType(ColumnType::Kind kind, int maxBytes, bool lengthRequired, bool semanticsAllowed)
    {
        ColumnType type;
        type.kind = kind;
        type.length = 1;
        type.charSemantics = kind == ColumnType::Kind::NVarchar2 || kind == ColumnType::Kind::NChar;
        if (!acceptSymbol("(")) {
            if (lengthRequired)
                throw OraError(906, "missing left parenthesis");
            explicitSemantics_ = !semanticsAllowed;
            return type;
        }
        type.length = integer(910, "specified length too long for its datatype");
        if (semanticsAllowed) {
            if (acceptWord("CHAR"))
                type.charSemantics = true;
            else if (acceptWord("BYTE"))
                type.charSemantics = false;
            else
                explicitSemantics_ = false;
        }
        expectRightParen();
        if (type.length == 0)
            throw OraError(1723, "zero-length columns are not allowed");
        const int unitBytes = (kind == ColumnType::Kind::NVarchar2 || kind == ColumnType::Kind::NChar) ? 2 : 1;
        if (type.length * unitBytes > maxBytes)
            throw OraError(910, "specified length too long for its datatype");
        return type;
    }

    ColumnType numberType()
    {
        ColumnType type;
        type.kind = ColumnType::Kind::Number;
        if (!acceptSymbol("("))
            return type;
        if (acceptSymbol("*")) {
            type.precision = 0;  // the largest precision, shown as none
        } else {
            type.precision = integer(1727, "numeric precision specifier is out of range (1 to 38)");
            if (type.precision < 1 || type.precision > 38)
                throw OraError(1727, "numeric precision specifier is out of range (1 to 38)");
        }
        type.scaleGiven = true;
        if (acceptSymbol(",")) {
            const bool negative = acceptSymbol("-");
            type.scale = integer(1728, "numeric scale specifier is out of range (-84 to 127)");
            if (negative)
                type.scale = -type.scale;
            if (type.scale < -84 || type.scale > 127)
                throw OraError(1728, "numeric scale specifier is out of range (-84 to 127)");
        }
        expectRightParen();
        return type;
    }

    ColumnType columnType()
    {
        const Token& token = peek();
        if (token.kind != Token::Kind::Word)
            throw OraError(902, "invalid datatype");
        const std::string word = token.text;
        next();
        explicitSemantics_ = true;
        ColumnType type;
        using K = ColumnType::Kind;
        if (word == "VARCHAR2" || word == "VARCHAR") {
            type = lengthType(K::Varchar2, 4000, true, true);
        } else if (word == "NVARCHAR2") {
            type = lengthType(K::NVarchar2, 4000, true, false);
        } else if (word == "CHAR") {
            type = lengthType(K::Char, 2000, false, true);
        } else if (word == "NCHAR") {
            type = lengthType(K::NChar, 2000, false, false);
        } else if (word == "NUMBER") {
            type = numberType();
        } else if (word == "INTEGER" || word == "INT" || word == "SMALLINT") {
            type.kind = K::Number;
            type.scaleGiven = true;  // NUMBER(*,0)
        } else if (word == "DECIMAL" || word == "NUMERIC" || word == "DEC") {
            type = numberType();
            if (type.precision == 0) {
                type.precision = 38;
                type.scaleGiven = true;
            }
        } else if (word == "FLOAT") {
            type.kind = K::Float;
            type.precision = 126;
            if (acceptSymbol("(")) {
                type.precision = integer(1724, "floating point precision is out of range (1 to 126)");
                if (type.precision < 1 || type.precision > 126)
                    throw OraError(1724, "floating point precision is out of range (1 to 126)");
                expectRightParen();
            }
        } else if (word == "DATE") {
            type.kind = K::Date;
        } else if (word == "TIMESTAMP") {
            type.kind = K::Timestamp;
            type.scale = 6;
            if (acceptSymbol("(")) {
                type.scale = integer(30088, "datetime/interval precision is out of range");
                if (type.scale > 9)
                    throw OraError(30088, "datetime/interval precision is out of range");
                expectRightParen();
            }
            if (acceptWord("WITH")) {
                type.kind = acceptWord("LOCAL") ? K::TimestampLtz : K::TimestampTz;
                expectWord("TIME", 902, "invalid datatype");
                expectWord("ZONE", 902, "invalid datatype");
            }
        } else if (word == "RAW") {
            type = lengthType(K::Raw, 2000, true, false);
        } else if (word == "BINARY_FLOAT") {
            type.kind = K::BinaryFloat;
        } else if (word == "BINARY_DOUBLE") {
            type.kind = K::BinaryDouble;
        } else if (word == "INTERVAL") {
            type = intervalType();
        } else if (word == "BLOB") {
            type.kind = K::Blob;
        } else if (word == "CLOB") {
            type.kind = K::Clob;
        } else if (word == "NCLOB") {
            type.kind = K::NClob;
        } else {
            throw OraError(902, "invalid datatype");
        }
        type.scaleGiven = type.scaleGiven || type.kind != K::Number;
        return type;
    }

    // After INTERVAL: DAY [(p)] TO SECOND [(s)]
    ColumnType intervalType()
    {
        ColumnType type;
        type.kind = ColumnType::Kind::IntervalDaySecond;
        type.precision = 2;
        type.scale = 6;
        if (peek().isWord("YEAR"))
            throw OraError(3001, "unimplemented feature");
        expectWord("DAY", 902, "invalid datatype");
        if (acceptSymbol("(")) {
            type.precision = integer(30088, "datetime/interval precision is out of range");
            expectRightParen();
        }
        expectWord("TO", 902, "invalid datatype");
        expectWord("SECOND", 902, "invalid datatype");
        if (acceptSymbol("(")) {
            type.scale = integer(30088, "datetime/interval precision is out of range");
            expectRightParen();
        }
        if (type.precision > 9 || type.scale > 9)
            throw OraError(30088, "datetime/interval precision is out of range");
        return type;
    }

    Command createIndex(bool unique)
    {
        CreateIndex create;
        create.unique = unique;
        create.index = objectName(953, "missing or invalid index name");
        expectWord("ON", 969, "missing ON keyword");
        create.table = tableName();
        create.columns = columnList();
        return create;
    }

    Command drop()
    {
        if (!acceptWord("TABLE")) {
            if (peek().isWord("INDEX") || peek().isWord("VIEW") || peek().isWord("USER"))
                throw OraError(3001, "unimplemented feature");
            throw OraError(950, "invalid DROP option");
        }
        DropTable dropTable{tableName()};
        if (acceptWord("CASCADE")) {
            expectWord("CONSTRAINTS", 905, "missing keyword");
            dropTable.cascadeConstraints = true;
        }
        acceptWord("PURGE");
        return dropTable;
    }

    Command alter()
    {
        if (acceptWord("SESSION"))
            return alterSession();
        if (!acceptWord("TABLE"))
            throw OraError(940, "invalid ALTER command");
        const ObjectName table = tableName();
        if (acceptWord("MODIFY"))
            return modifyColumns(table);
        if (!acceptWord("ADD"))
            throw OraError(1735, "invalid ALTER TABLE option");
        if (!startsConstraint())
            throw OraError(3001, "unimplemented feature");
        return tableConstraint(table);
    }

    // MODIFY (change, ...) or MODIFY change
    Command modifyColumns(const ObjectName& table)
    {
        ModifyColumns modify;
        modify.table = table;
        const bool listed = acceptSymbol("(");
        do {
            modify.changes.push_back(columnChange());
        } while (listed && acceptSymbol(","));
        if (listed)
            expectRightParen();
        return modify;
    }

    ColumnChange columnChange()
    {
        ColumnChange change;
        change.column = columnName();
        bool any = false;
        for (;; any = true) {
            if (acceptWord("CONSTRAINT"))
                name(902, "invalid datatype");
            if (acceptWord("NOT")) {
                expectWord("NULL", 907, "missing right parenthesis");
                change.notNull = true;
            } else if (acceptWord("NULL")) {
                change.notNull = false;
            } else if (acceptWord("DEFAULT")) {
                change.defaultText = defaultClause();
            } else if (acceptWord("GENERATED")) {
                change.identity = identityClause();
            } else {
                break;
            }
        }
        if (!any)
            throw OraError(3001, "unimplemented feature");  // changing the data type
        return change;
    }

    Command comment()
    {
        expectWord("ON", 905, "missing keyword");
        Comment comment;
        if (acceptWord("TABLE")) {
            comment.table = tableName();
        } else if (acceptWord("COLUMN")) {
            // [schema.]table.column
            std::vector<std::string> parts{columnName()};
            while (acceptSymbol("."))
                parts.push_back(columnName());
            if (parts.size() < 2 || parts.size() > 3)
                throw OraError(904, ": invalid identifier");
            comment.column = parts.back();
            comment.table.name = parts[parts.size() - 2];
            if (parts.size() == 3)
                comment.table.schema = parts[0];
        } else {
            throw OraError(905, "missing keyword");
        }
        expectWord("IS", 905, "missing keyword");
        if (peek().kind != Token::Kind::String)
            throw OraError(1780, "string literal required");
        if (peek().text.size() > 4000)
            throw OraError(1704, "string literal too long");
        if (!peek().text.empty())
            comment.text = peek().text;
        next();
        return comment;
    }

    Command alterSession()
    {
        expectWord("SET", 922, "missing or invalid option");
        AlterSession alter;
        do {
            const Token& parameter = peek();
            if (parameter.kind != Token::Kind::Word)
                throw OraError(922, "missing or invalid option");
            std::string key = parameter.text;
            next();
            if (!acceptSymbol("="))
                throw OraError(922, "missing or invalid option");
            const Token& value = peek();
            if (value.kind != Token::Kind::String && value.kind != Token::Kind::Word && value.kind != Token::Kind::Number)
                throw OraError(922, "missing or invalid option");
            alter.settings.emplace_back(std::move(key), value.text);
            next();
        } while (peek().kind == Token::Kind::Word);
        return alter;
    }

    Command select()
    {
        next();  // SELECT
        Select select;
        if (acceptWord("DISTINCT") || (acceptWord("UNIQUE")))
            select.distinct = true;
        else
            acceptWord("ALL");
        do {
            SelectItem item;
            const bool qualifiedStar = (peek().kind == Token::Kind::Word || peek().kind == Token::Kind::QuotedName) &&
                                       peek(1).isSymbol(".") && peek(2).isSymbol("*");
            if (qualifiedStar) {
                item.starQualifier = name(904, ": invalid identifier");
                next();
                next();
                item.star = true;
            } else if (acceptSymbol("*")) {
                item.star = true;
            } else {
                const std::size_t start = peek().offset;
                item.expr = expression();
                item.display = displayText(start, peek().offset, *item.expr);
                if (acceptWord("AS")) {
                    item.alias = name(923, "FROM keyword not found where expected");
                } else if ((peek().kind == Token::Kind::Word && !peek().isWord("FROM") && !isReservedWord(peek().text)) ||
                           peek().kind == Token::Kind::QuotedName) {
                    item.alias = name(923, "FROM keyword not found where expected");
                }
            }
            select.items.push_back(std::move(item));
        } while (acceptSymbol(","));
        expectWord("FROM", 923, "FROM keyword not found where expected");
        if (peek().isSymbol("("))
            throw OraError(3001, "unimplemented feature");  // sub-queries
        select.from = tableName();
        select.alias = tableAlias();
        while (peek().isSymbol(",") || isJoinWord(peek()))
            select.joins.push_back(joinedSource());
        if (acceptWord("WHERE"))
            select.where = expression();
        if (acceptWord("GROUP")) {
            expectWord("BY", 924, "missing BY keyword");
            do {
                select.groupBy.push_back(expression());
            } while (acceptSymbol(","));
        }
        if (acceptWord("HAVING"))
            select.having = expression();
        if (acceptWord("ORDER")) {
            expectWord("BY", 924, "missing BY keyword");
            do {
                OrderItem order;
                order.expr = expression();
                if (acceptWord("DESC"))
                    order.descending = true;
                else
                    acceptWord("ASC");
                if (acceptWord("NULLS")) {
                    if (acceptWord("FIRST"))
                        order.nullsFirst = true;
                    else if (acceptWord("LAST"))
                        order.nullsFirst = false;
                    else
                        throw OraError(933, "SQL command not properly ended");
                } else {
                    order.nullsFirst = order.descending;  // Oracle sorts NULL as the largest value
                }
                select.orderBy.push_back(std::move(order));
            } while (acceptSymbol(","));
        }
        if (acceptWord("FOR")) {
            expectWord("UPDATE", 933, "SQL command not properly ended");
            if (acceptWord("OF"))  // the columns name the tables whose rows are locked: the one table here
                do {
                    expression();
                } while (acceptSymbol(","));
            select.lock = acceptWord("NOWAIT") ? Select::Lock::NoWait : Select::Lock::Wait;
        }
        return select;
    }

    std::string tableAlias()
    {
        if ((peek().kind == Token::Kind::Word && !isReservedWord(peek().text) && !isJoinWord(peek())) ||
            peek().kind == Token::Kind::QuotedName)
            return name(933, "SQL command not properly ended");
        return {};
    }

    // `, t [alias]`, CROSS JOIN t [alias], or [INNER] | LEFT | RIGHT | FULL [OUTER] JOIN t [alias] ON condition.
    JoinedSource joinedSource()
    {
        JoinedSource join;
        join.kind = joinKind();
        if (join.kind != JoinKind::Comma)
            expectWord("JOIN", 905, "missing keyword");
        if (peek().isSymbol("("))
            throw OraError(3001, "unimplemented feature");  // sub-queries in FROM
        join.table = tableName();
        join.alias = tableAlias();
        if (join.kind != JoinKind::Comma && join.kind != JoinKind::Cross) {
            expectWord("ON", 905, "missing keyword");
            join.on = expression();
        }
        return join;
    }

    // The words before JOIN (or the comma); NATURAL joins are not done.
    JoinKind joinKind()
    {
        if (acceptSymbol(","))
            return JoinKind::Comma;
        if (acceptWord("CROSS"))
            return JoinKind::Cross;
        if (acceptWord("INNER") || peek().isWord("JOIN"))
            return JoinKind::Inner;
        const JoinKind outer = acceptWord("LEFT")    ? JoinKind::Left
                               : acceptWord("RIGHT") ? JoinKind::Right
                               : acceptWord("FULL")  ? JoinKind::Full
                                                     : JoinKind::Comma;
        if (outer == JoinKind::Comma)
            throw OraError(3001, "unimplemented feature");  // NATURAL joins
        acceptWord("OUTER");
        return outer;
    }

    // ( SELECT ... ) of an IN or EXISTS condition; the opening parenthesis is already read.
    std::shared_ptr<const Select> subquery()
    {
        auto query = std::make_shared<Select>(std::get<Select>(select()));
        expectRightParen();
        return query;
    }

    static bool isJoinWord(const Token& token)
    {
        for (const char* word : {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL"})
            if (token.isWord(word))
                return true;
        return false;
    }

    std::string displayText(std::size_t start, std::size_t end, const Expr& expr) const
    {
        if (expr.kind == Expr::Kind::Column)
            return expr.text;
        std::string out, unquoted;
        bool inQuote = false;
        for (std::size_t i = start; i < end && i < sql_.size(); ++i) {
            const char c = sql_[i];
            if (c == '\'' || c == '"') {
                out += foldName(unquoted);
                unquoted.clear();
                inQuote = !inQuote;
                out += c;
                continue;
            }
            if (inQuote)
                out += c;
            else if (!std::isspace(static_cast<unsigned char>(c)))
                unquoted += c;
        }
        out += foldName(unquoted);
        if (out.size() > 30)
            out.resize(30);
        return out;
    }

    Command insert()
    {
        expectWord("INTO", 925, "missing INTO keyword");
        Insert insert;
        insert.table = tableName();
        if (peek().isSymbol("("))
            insert.columns = columnList();
        if (peek().isWord("SELECT"))
            throw OraError(3001, "unimplemented feature");
        expectWord("VALUES", 926, "missing VALUES keyword");
        expectLeftParen();
        do {
            insert.values.push_back(expression());
        } while (acceptSymbol(","));
        expectRightParen();
        insert.returning = returning();
        return insert;
    }

    Command update()
    {
        Update update;
        update.table = tableName();
        if ((peek().kind == Token::Kind::Word && !peek().isWord("SET")) || peek().kind == Token::Kind::QuotedName)
            update.alias = name(971, "missing SET keyword");
        expectWord("SET", 971, "missing SET keyword");
        do {
            std::string column = columnName();
            if (acceptSymbol(".")) {
                if (column != update.alias && column != update.table.name)
                    throw OraError(904, "\"" + column + "\".\"" + peek().text + "\": invalid identifier");
                column = columnName();
            }
            if (!acceptSymbol("="))
                throw OraError(927, "missing equal sign");
            update.assignments.emplace_back(std::move(column), expression());
        } while (acceptSymbol(","));
        if (acceptWord("WHERE"))
            update.where = expression();
        update.returning = returning();
        return update;
    }

    Command deleteRows()
    {
        acceptWord("FROM");
        Delete del;
        del.table = tableName();
        if (acceptWord("WHERE"))
            del.where = expression();
        del.returning = returning();
        return del;
    }

    // [RETURNING | RETURN expr, ... INTO :bind, ...]
    Returning returning()
    {
        Returning clause;
        if (!acceptWord("RETURNING") && !acceptWord("RETURN"))
            return clause;
        do {
            clause.values.push_back(expression());
        } while (acceptSymbol(","));
        expectWord("INTO", 925, "missing INTO keyword");
        do {
            if (peek().kind != Token::Kind::Bind)
                throw OraError(1745, "invalid host/bind variable name");
            clause.into.push_back(placeholders_.size());
            placeholders_.push_back(next().text);
        } while (acceptSymbol(","));
        if (clause.into.size() < clause.values.size())
            throw OraError(947, "not enough values");
        if (clause.into.size() > clause.values.size())
            throw OraError(913, "too many values");
        return clause;
    }

    ExprPtr makeNode(Expr::Kind kind, std::string text = {})
    {
        auto expr = std::make_unique<Expr>();
        expr->kind = kind;
        expr->text = std::move(text);
        return expr;
    }

    ExprPtr binary(std::string op, ExprPtr left, ExprPtr right)
    {
        auto node = makeNode(Expr::Kind::Binary, std::move(op));
        node->args.push_back(std::move(left));
        node->args.push_back(std::move(right));
        return node;
    }

    ExprPtr expression() { return orExpr(); }

    ExprPtr orExpr()
    {
        ExprPtr left = andExpr();
        while (acceptWord("OR"))
            left = binary("OR", std::move(left), andExpr());
        return left;
    }

    ExprPtr andExpr()
    {
        ExprPtr left = notExpr();
        while (acceptWord("AND"))
            left = binary("AND", std::move(left), notExpr());
        return left;
    }

    ExprPtr notExpr()
    {
        if (acceptWord("NOT")) {
            auto node = makeNode(Expr::Kind::Not);
            node->args.push_back(notExpr());
            return node;
        }
        return comparison();
    }

    ExprPtr comparison()
    {
        ExprPtr left = additive();
        static const char* const operators[] = {"=", "<>", "!=", "^=", "<=", ">=", "<", ">"};
        for (const char* op : operators) {
            if (acceptSymbol(op)) {
                std::string name = op;
                if (name == "!=" || name == "^=")
                    name = "<>";
                return binary(name, std::move(left), additive());
            }
        }
        if (acceptWord("IS")) {
            const bool negated = acceptWord("NOT");
            auto node = makeNode(acceptWord("JSON") ? Expr::Kind::IsJson : Expr::Kind::IsNull);
            node->negated = negated;
            if (node->kind == Expr::Kind::IsNull)
                expectWord("NULL", 908, "missing NULL keyword");
            node->args.push_back(std::move(left));
            return node;
        }
        const bool negated = peek().isWord("NOT") &&
                             (peek(1).isWord("IN") || peek(1).isWord("BETWEEN") || peek(1).isWord("LIKE"));
        if (negated)
            next();
        if (acceptWord("LIKE")) {
            ExprPtr like = binary("LIKE", std::move(left), additive());
            if (!negated)
                return like;
            auto node = makeNode(Expr::Kind::Not);
            node->args.push_back(std::move(like));
            return node;
        }
        if (acceptWord("IN")) {
            auto node = makeNode(Expr::Kind::InList);
            node->negated = negated;
            node->args.push_back(std::move(left));
            expectLeftParen();
            if (peek().isWord("SELECT")) {
                node->kind = Expr::Kind::InQuery;
                node->subquery = subquery();
                return node;
            }
            do {
                node->args.push_back(additive());
            } while (acceptSymbol(","));
            expectRightParen();
            return node;
        }
        if (acceptWord("BETWEEN")) {
            auto node = makeNode(Expr::Kind::Between);
            node->negated = negated;
            node->args.push_back(std::move(left));
            node->args.push_back(additive());
            expectWord("AND", 905, "missing keyword");
            node->args.push_back(additive());
            return node;
        }
        return left;
    }

    ExprPtr additive()
    {
        ExprPtr left = multiplicative();
        for (;;) {
            if (acceptSymbol("||"))
                left = binary("||", std::move(left), multiplicative());
            else if (peek().isSymbol("+") || peek().isSymbol("-")) {
                std::string op = next().text;
                left = binary(std::move(op), std::move(left), multiplicative());
            } else {
                return left;
            }
        }
    }

    ExprPtr multiplicative()
    {
        ExprPtr left = unary();
        while (peek().isSymbol("*") || peek().isSymbol("/")) {
            std::string op = next().text;
            left = binary(std::move(op), std::move(left), unary());
        }
        return left;
    }

    ExprPtr unary()
    {
        if (acceptSymbol("-")) {
            auto node = makeNode(Expr::Kind::Negate);
            node->args.push_back(unary());
            return node;
        }
        acceptSymbol("+");
        return primary();
    }

    ExprPtr primary()
    {
        const Token token = peek();
        switch (token.kind) {
        case Token::Kind::String:
            next();
            return token.text.empty() ? makeNode(Expr::Kind::Null) : makeNode(Expr::Kind::String, token.text);
        case Token::Kind::Number:
            next();
            return makeNode(Expr::Kind::Number, token.text);
        case Token::Kind::Bind: {
            next();
            auto node = makeNode(Expr::Kind::Bind, token.text);
            node->bindIndex = static_cast<int>(placeholders_.size());
            placeholders_.push_back(token.text);
            return node;
        }
        case Token::Kind::QuotedName:
            return columnReference();
        case Token::Kind::Symbol:
            if (token.isSymbol("(") && peek(1).isWord("SELECT")) {
                next();
                auto node = makeNode(Expr::Kind::ScalarQuery);
                node->subquery = subquery();
                return node;
            }
            if (acceptSymbol("(")) {
                ExprPtr inner = expression();
                expectRightParen();
                return inner;
            }
            throw OraError(936, "missing expression");
        case Token::Kind::Word:
            if (acceptWord("NULL"))
                return makeNode(Expr::Kind::Null);
            if (acceptWord("DEFAULT"))
                return makeNode(Expr::Kind::Default);
            if (token.isWord("EXISTS") && peek(1).isSymbol("(") && peek(2).isWord("SELECT")) {
                next();
                next();
                auto node = makeNode(Expr::Kind::Exists);
                node->subquery = subquery();
                return node;
            }
            if (token.isWord("SYSDATE") || token.isWord("SYSTIMESTAMP") || token.isWord("CURRENT_TIMESTAMP") ||
                token.isWord("CURRENT_DATE") || token.isWord("USER")) {
                next();
                return makeNode(Expr::Kind::Function, token.text);
            }
            if (token.isWord("ROWNUM") || token.isWord("ROWID") || token.isWord("LEVEL") || token.isWord("PRIOR"))
                throw OraError(3001, "unimplemented feature");
            if (isReservedWord(token.text))
                throw OraError(936, "missing expression");
            if (peek(1).isSymbol("("))
                return functionCall();
            return columnReference();
        case Token::Kind::End:
            break;
        }
        throw OraError(936, "missing expression");
    }

    ExprPtr columnReference()
    {
        std::string first = columnName();
        if (acceptSymbol(".")) {
            auto node = makeNode(Expr::Kind::Column, columnName());
            node->qualifier = std::move(first);
            return node;
        }
        return makeNode(Expr::Kind::Column, std::move(first));
    }

    ExprPtr functionCall()
    {
        const std::string function = next().text;
        next();  // (
        if (function == "COUNT" && acceptSymbol("*")) {
            expectRightParen();
            return makeNode(Expr::Kind::CountStar, "COUNT");
        }
        auto node = makeNode(Expr::Kind::Function, function);
        if (!peek().isSymbol(")")) {
            node->distinct = acceptWord("DISTINCT");
            if (!node->distinct)
                acceptWord("ALL");
            do {
                node->args.push_back(expression());
            } while (acceptSymbol(","));
        }
        expectRightParen();
        return node;
    }
};

}  // namespace

ParsedStatement parseStatement(std::string_view sql)
{
    return Parser(sql).parse();
}

ExprPtr parseExpression(std::string_view sql)
{
    return Parser(sql).parseExpressionOnly();
}

bool returnsIntoBinds(std::string_view sql)
{
    const int type = statementTypeOf(sql);
    if (type < 2 || type > 4)
        return false;
    const std::vector<Token> tokens = tokenize(sql);
    for (const Token& token : tokens)
        if (token.isWord("RETURNING") || token.isWord("RETURN"))
            return true;
    return false;
}

int statementTypeOf(std::string_view sql)
{
    std::vector<Token> tokens;
    try {
        tokens = tokenize(sql);
    } catch (const OraError&) {
        return 0;
    }
    const Token& first = tokens.front();
    if (first.isWord("SELECT"))
        return 1;
    if (first.isWord("UPDATE"))
        return 2;
    if (first.isWord("DELETE"))
        return 3;
    if (first.isWord("INSERT"))
        return 4;
    if (first.isWord("CREATE"))
        return 5;
    if (first.isWord("DROP"))
        return 6;
    if (first.isWord("ALTER"))
        return 7;
    return 0;
}

}  // namespace oraemu
