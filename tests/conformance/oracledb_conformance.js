'use strict';
// Oracle's own driver (node-oracledb in thick mode, which calls OCI through ODPI-C) against
// oraemu: a second OCI caller that we did not write. Run by CTest as
//   node oracledb_conformance.js CLIENT_DIR ORAEMU_TOOL SCRATCH_DIR
// where CLIENT_DIR holds libclntsh.so, a link to liboraemu.so. Prints "N passed, N failed".

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const oracledb = require('oracledb');
const { check, runChecks } = require('./check_runner');

const [clientDir, oraemuTool, scratchDir] = process.argv.slice(2);
if (!clientDir || !oraemuTool || !scratchDir) {
  console.error('usage: node oracledb_conformance.js CLIENT_DIR ORAEMU_TOOL SCRATCH_DIR');
  process.exit(2);
}

fs.mkdirSync(scratchDir, { recursive: true });
const database = path.join(scratchDir, 'conformance.db');
fs.rmSync(database, { force: true });
for (const suffix of ['-wal', '-shm']) fs.rmSync(database + suffix, { force: true });
execFileSync(oraemuTool, ['create', database]);
execFileSync(oraemuTool, ['user', database, 'SCOTT', 'tiger']);

oracledb.initOracleClient({ libDir: clientDir });
oracledb.fetchAsString = [oracledb.CLOB];
oracledb.fetchAsBuffer = [oracledb.BLOB];

const login = { user: 'SCOTT', password: 'tiger', connectString: database };
const rowCount = 10000;

function clobText(i) {
  // Up to 32 KB of multi-byte text, different for every row.
  const piece = `row ${i} äöü €; `;
  return piece.repeat(1 + ((i * 37) % 1900)).slice(0, 1 + ((i * 131) % 16000));
}

function rowValues(i) {
  return {
    id: i,
    name: `name ${i} ${'é'.repeat(i % 7)}`,
    born: new Date(2000 + (i % 20), i % 12, 1 + (i % 28), i % 24, i % 60, i % 60),
    code: Buffer.from([i & 0xff, (i >> 8) & 0xff, 0, 255, i % 3]),
    notes: clobText(i),
  };
}

const insertSql = 'insert into T (ID, NAME, BORN, CODE, NOTES) values (:id, :name, :born, :code, :notes)';
const bindDefs = {
  id: { type: oracledb.NUMBER },
  name: { type: oracledb.STRING, maxSize: 100 },
  born: { type: oracledb.DB_TYPE_DATE },
  code: { type: oracledb.BUFFER, maxSize: 16 },
  notes: { type: oracledb.STRING, maxSize: 32768 },
};

async function expectOracleError(promise, code) {
  await assert.rejects(promise, (error) => {
    assert.equal(error.errorNum, code, error.message);
    assert.match(error.message, new RegExp(`^ORA-${String(code).padStart(5, '0')}: `));
    return true;
  });
}

async function count(connection, where = '1=1') {
  const result = await connection.execute(`select count(*) from T where ${where}`);
  return Number(result.rows[0][0]);
}


check('a wrong password gives ORA-01017', async () => {
  await expectOracleError(oracledb.getConnection({ ...login, password: 'wrong' }), 1017);
});

check('an unknown service gives ORA-12154', async () => {
  await expectOracleError(
    oracledb.getConnection({ ...login, connectString: path.join(scratchDir, 'missing.db') }), 12154);
});

check('CREATE TABLE, CREATE INDEX and ADD CONSTRAINT', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute(`create table T (ID number(10) not null, NAME varchar2(100 char),
                              BORN date, CODE raw(16), NOTES clob)`);
    await connection.execute('create index T_NAME on T (NAME)');
    await connection.execute('alter table T add constraint T_PK primary key (ID)');
    await expectOracleError(connection.execute('create index T_NAME on T (BORN)'), 955);
  } finally {
    await connection.close();
  }
});

check('executeMany of 10,000 rows reads back exactly', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    const rows = Array.from({ length: rowCount }, (_, i) => rowValues(i + 1));
    const result = await connection.executeMany(insertSql, rows, { bindDefs });
    assert.equal(result.rowsAffected, rowCount);
    await connection.commit();

    const read = await connection.execute(
      'select ID, NAME, BORN, CODE, NOTES from T order by ID', [], { outFormat: oracledb.OUT_FORMAT_OBJECT });
    assert.equal(read.rows.length, rowCount);
    read.rows.forEach((row, index) => {
      const expected = rowValues(index + 1);
      assert.equal(row.ID, expected.id);
      assert.equal(row.NAME, expected.name);
      assert.equal(row.BORN.getTime(), expected.born.getTime(), `BORN of row ${expected.id}`);
      assert.deepEqual(row.CODE, expected.code);
      assert.equal(row.NOTES, expected.notes, `NOTES of row ${expected.id}`);
    });
  } finally {
    await connection.close();
  }
});

check('a row rejected at row 150 gives its offset; rollback removes the rows before it', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    const rows = Array.from({ length: 300 }, (_, i) => rowValues(rowCount + 1 + i));
    rows[149].id = 1;  // repeats the primary key of the first row
    await assert.rejects(connection.executeMany(insertSql, rows, { bindDefs }), (error) => {
      assert.equal(error.errorNum, 1, error.message);
      assert.match(error.message, /^ORA-00001: unique constraint \(SCOTT\.T_PK\) violated/);
      assert.equal(error.offset, 149);
      return true;
    });
    assert.equal(await count(connection, `ID > ${rowCount}`), 149);
    await connection.rollback();
    assert.equal(await count(connection, `ID > ${rowCount}`), 0);
    assert.equal(await count(connection), rowCount);
  } finally {
    await connection.close();
  }
});

// NUMBER binds and fetches go through OCINumber (SQLT_VNU) and the OCINumber functions.
check('NUMBER values are bound and fetched as numbers', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute('create table NUMS (K number(3), V number, W number(12,2))');
    const values = [0, 1, -1, 123.45, -0.001, 1e125, -9.87654321e-100, 2 ** 53, 0.1 + 0.2, 12345678.9];
    const rows = values.map((v, k) => ({ k, v, w: Math.round(v * 100) / 100 || 0 }));  // no -0 in NUMBER
    rows.forEach((row) => { if (Math.abs(row.w) >= 1e10) row.w = null; });
    await connection.executeMany('insert into NUMS values (:k, :v, :w)', rows, {
      bindDefs: { k: { type: oracledb.NUMBER }, v: { type: oracledb.NUMBER }, w: { type: oracledb.NUMBER } },
    });
    const read = await connection.execute('select K, V, W from NUMS order by K');
    assert.deepEqual(read.rows, rows.map((row) => [row.k, row.v, row.w]));
    const exact = await connection.execute('select to_char(V) from NUMS where K = 3');
    assert.deepEqual(exact.rows, [['123.45']]);
    const sum = await connection.execute('select sum(K), count(*) from NUMS where V > :low', { low: 0.5 });
    assert.deepEqual(sum.rows, [[1 + 3 + 5 + 7 + 9, 5]]);
    await connection.rollback();
  } finally {
    await connection.close();
  }
});

check('executeMany with batchErrors keeps the good rows and reports the others', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute('create table BATCH (K number primary key, V varchar2(3))');
    const rows = [{ k: 1, v: 'a' }, { k: 1, v: 'b' }, { k: 2, v: 'toolong' }, { k: 3, v: 'c' }];
    const result = await connection.executeMany('insert into BATCH values (:k, :v)', rows, {
      batchErrors: true,
      bindDefs: { k: { type: oracledb.NUMBER }, v: { type: oracledb.STRING, maxSize: 10 } },
    });
    assert.equal(result.rowsAffected, 2);
    assert.deepEqual(result.batchErrors.map((e) => [e.offset, e.errorNum]), [[1, 1], [2, 12899]]);
    assert.match(result.batchErrors[1].message, /^ORA-12899: value too large for column "SCOTT"\."BATCH"\."V"/);
    const kept = await connection.execute('select K, V from BATCH order by K');
    assert.deepEqual(kept.rows, [[1, 'a'], [3, 'c']]);
    await connection.rollback();
  } finally {
    await connection.close();
  }
});

check('uncommitted rows are invisible to a second connection and gone after close', async () => {
  const writer = await oracledb.getConnection(login);
  const reader = await oracledb.getConnection(login);
  try {
    const rows = Array.from({ length: 5 }, (_, i) => rowValues(2 * rowCount + i));
    await writer.executeMany(insertSql, rows, { bindDefs });
    assert.equal(await count(writer, `ID >= ${2 * rowCount}`), 5);
    assert.equal(await count(reader, `ID >= ${2 * rowCount}`), 0);
    await writer.close();
    assert.equal(await count(reader, `ID >= ${2 * rowCount}`), 0);
  } finally {
    await reader.close();
  }
});

// What an application does row by row: execute() with autoCommit off and on, rollback, the ROWID
// of the inserted row, and what a second connection sees.
check('single-row INSERT, UPDATE and DELETE through execute(), with and without autoCommit', async () => {
  const connection = await oracledb.getConnection(login);
  const other = await oracledb.getConnection(login);
  try {
    await connection.execute('create table CRUD (ID number(10) primary key, NAME varchar2(30))');
    const inserted = await connection.execute('insert into CRUD (ID, NAME) values (:id, :name)', { id: 1, name: 'one' });
    assert.equal(inserted.rowsAffected, 1);
    assert.match(inserted.lastRowid, /^[A-Za-z0-9+/]{18}$/);
    assert.deepEqual((await other.execute('select count(*) from CRUD')).rows, [[0]]);
    await connection.rollback();
    assert.deepEqual((await connection.execute('select count(*) from CRUD')).rows, [[0]]);

    await connection.execute('insert into CRUD (ID, NAME) values (:1, :2)', [1, 'one'], { autoCommit: true });
    await connection.execute('insert into CRUD (ID, NAME) values (:1, :2)', [2, 'two'], { autoCommit: true });
    assert.deepEqual((await other.execute('select ID, NAME from CRUD order by ID')).rows, [[1, 'one'], [2, 'two']]);

    const updated = await connection.execute('update CRUD set NAME = :name where ID = :id', { name: 'uno', id: 1 });
    assert.equal(updated.rowsAffected, 1);
    const deleted = await connection.execute('delete from CRUD where ID = :id', { id: 2 });
    assert.equal(deleted.rowsAffected, 1);
    assert.deepEqual((await other.execute('select ID, NAME from CRUD order by ID')).rows, [[1, 'one'], [2, 'two']]);
    await connection.commit();
    assert.deepEqual((await other.execute('select ID, NAME from CRUD order by ID')).rows, [[1, 'uno']]);
    const none = await connection.execute('update CRUD set NAME = :name where ID = :id', { name: 'x', id: 99 });
    assert.equal(none.rowsAffected, 0);
    await expectOracleError(connection.execute('insert into CRUD (ID, NAME) values (1, :name)', ['again']), 1);
  } finally {
    await other.close();
    await connection.close();
  }
});

// Each of the types a conversion creates, bound and fetched in its own form.
check('TIMESTAMP(n), WITH TIME ZONE, WITH LOCAL TIME ZONE and INTERVAL DAY TO SECOND are bound and fetched', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute(`create table TIMES (K number(3), TS timestamp(6), TS0 timestamp(0),
                              TZ timestamp(3) with time zone, LTZ timestamp with local time zone,
                              IV interval day(3) to second(6))`);
    const moments = [new Date(2020, 1, 29, 23, 59, 58, 123), new Date(1969, 11, 31, 0, 0, 0, 1), new Date(2038, 0, 19, 3, 14, 7, 999)];
    const intervals = [
      new oracledb.IntervalDS({ days: 1, hours: 2, minutes: 3, seconds: 4, fseconds: 500000000 }),
      new oracledb.IntervalDS({ days: -2, hours: -3, minutes: 0, seconds: -1, fseconds: -250000000 }),
      new oracledb.IntervalDS({ days: 999, hours: 23, minutes: 59, seconds: 59, fseconds: 999999000 }),
    ];
    for (const [k, moment] of moments.entries()) {
      await connection.execute('insert into TIMES values (:k, :ts, :ts0, :tz, :ltz, :iv)', {
        k, ts: moment, ts0: moment, tz: moment, ltz: moment,
        iv: { type: oracledb.DB_TYPE_INTERVAL_DS, val: intervals[k] },
      });
    }
    const read = await connection.execute('select K, TS, TS0, TZ, LTZ, IV from TIMES order by K');
    read.rows.forEach(([k, ts, ts0, tz, ltz, iv]) => {
      const moment = moments[k];
      assert.equal(ts.getTime(), moment.getTime(), `TS of ${k}`);
      assert.equal(ts0.getTime(), Math.round(moment.getTime() / 1000) * 1000, `TS0 of ${k} is rounded to seconds`);
      assert.equal(tz.getTime(), moment.getTime(), `TZ of ${k}`);
      assert.equal(ltz.getTime(), moment.getTime(), `LTZ of ${k}`);
      assert.deepEqual({ ...iv }, { ...intervals[k] }, `IV of ${k}`);
    });
    assert.deepEqual(read.metaData.map((column) => column.dbTypeName),
      ['NUMBER', 'TIMESTAMP', 'TIMESTAMP', 'TIMESTAMP WITH TIME ZONE', 'TIMESTAMP WITH LOCAL TIME ZONE', 'INTERVAL DAY TO SECOND']);
    const equal = await connection.execute('select K from TIMES where IV = :iv',
      { iv: { type: oracledb.DB_TYPE_INTERVAL_DS, val: intervals[1] } });
    assert.deepEqual(equal.rows, [[1]]);
    const past = await connection.execute('select K from TIMES where TS < :moment order by K', { moment: moments[0] });
    assert.deepEqual(past.rows, [[1]]);
    await connection.rollback();
  } finally {
    await connection.close();
  }
});

check('CLOB and BLOB are written and read as streams', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute('create table LOBS (K number(3), C clob, B blob, R raw(8))');
    const text = 'Grüße, €uro; '.repeat(9000);  // many chunks, multi-byte characters across their borders
    const bytes = Buffer.from(Array.from({ length: 70000 }, (_, i) => (i * 7) & 0xff));
    const clob = await connection.createLob(oracledb.CLOB);
    const blob = await connection.createLob(oracledb.BLOB);
    for (const [lob, value, piece] of [[clob, text, 1000], [blob, bytes, 3000]]) {
      await new Promise((resolve, reject) => {
        lob.on('finish', resolve);
        lob.on('error', reject);
        for (let at = 0; at < value.length; at += piece)
          lob.write(value.slice(at, at + piece));
        lob.end();
      });
    }
    await connection.execute('insert into LOBS values (1, :c, :b, :r)',
      { c: clob, b: blob, r: Buffer.from([0, 1, 254, 255]) });
    await clob.close();
    await blob.close();

    const read = await connection.execute('select C, B, R from LOBS where K = 1', [], {
      fetchInfo: { C: { type: oracledb.DEFAULT }, B: { type: oracledb.DEFAULT } },
    });
    const [storedClob, storedBlob, raw] = read.rows[0];
    assert.ok(storedClob.chunkSize > 0);
    const readStream = (lob) => new Promise((resolve, reject) => {
      const pieces = [];
      lob.on('data', (piece) => pieces.push(piece));
      lob.on('end', () => resolve(pieces));
      lob.on('error', reject);
    });
    if (storedClob.type === oracledb.CLOB) storedClob.setEncoding('utf8');
    const clobPieces = await readStream(storedClob);
    assert.ok(clobPieces.length > 1, 'the CLOB arrives in more than one piece');
    assert.equal(clobPieces.join(''), text);
    const blobPieces = await readStream(storedBlob);
    assert.deepEqual(Buffer.concat(blobPieces), bytes);
    assert.deepEqual(raw, Buffer.from([0, 1, 254, 255]));
    await connection.rollback();
  } finally {
    await connection.close();
  }
});

// Another process (the oraemu tool) against the same file while this one holds uncommitted rows:
// its DDL on the table fails with ORA-00054 instead of waiting; after the commit both write.
check('a second process writing at once: DDL meets ORA-00054, then both processes write', async () => {
  const connection = await oracledb.getConnection(login);
  const otherProcess = (sql) => {
    try {
      return { ok: true, output: execFileSync(oraemuTool, ['sql', database, 'SCOTT', 'tiger', sql], { encoding: 'utf8', stdio: 'pipe' }) };
    } catch (error) {
      return { ok: false, output: String(error.stdout) + String(error.stderr) };
    }
  };
  try {
    await connection.execute('create table SHARED (K number(5) primary key, WHO varchar2(10))');
    await connection.execute("insert into SHARED values (1, 'node')");
    const refused = otherProcess('drop table SHARED');
    assert.equal(refused.ok, false);
    assert.match(refused.output, /ORA-00054: resource busy/);
    await connection.commit();
    assert.equal(otherProcess("insert into SHARED values (2, 'tool')").ok, true);
    await connection.execute("insert into SHARED values (3, 'node')", [], { autoCommit: true });
    const rows = await connection.execute('select K, WHO from SHARED order by K');
    assert.deepEqual(rows.rows, [[1, 'node'], [2, 'tool'], [3, 'node']]);
  } finally {
    await connection.close();
  }
});

check('the catalog views describe what was created', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    const tables = await connection.execute("select TABLE_NAME from USER_TABLES where TABLE_NAME = 'T'");
    assert.deepEqual(tables.rows, [['T']]);
    const columns = await connection.execute(
      "select COLUMN_NAME, DATA_TYPE, DATA_LENGTH, CHAR_USED from USER_TAB_COLUMNS where TABLE_NAME = 'T' order by COLUMN_ID");
    assert.deepEqual(columns.rows, [
      ['ID', 'NUMBER', 22, null],
      ['NAME', 'VARCHAR2', 400, 'C'],
      ['BORN', 'DATE', 7, null],
      ['CODE', 'RAW', 16, null],
      ['NOTES', 'CLOB', 4000, null],
    ]);
    const indexes = await connection.execute(
      "select INDEX_NAME, UNIQUENESS from USER_INDEXES where TABLE_NAME = 'T' order by INDEX_NAME");
    assert.deepEqual(indexes.rows, [['T_NAME', 'NONUNIQUE'], ['T_PK', 'UNIQUE']]);
    const constraints = await connection.execute(
      "select CONSTRAINT_NAME, CONSTRAINT_TYPE from USER_CONSTRAINTS where TABLE_NAME = 'T' and CONSTRAINT_TYPE = 'P'");
    assert.deepEqual(constraints.rows, [['T_PK', 'P']]);
  } finally {
    await connection.close();
  }
});

check('VALUES (DEFAULT) takes the identity and the column default', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute(`create table TICKET (ID number(10) generated always as identity,
                              STATE varchar2(10) default 'open', NOTE varchar2(20))`);
    await connection.execute('insert into TICKET values (DEFAULT, DEFAULT, :1)', ['first'], { autoCommit: true });
    await connection.execute('insert into TICKET (ID, STATE, NOTE) values (default, :s, default)', { s: 'closed' },
      { autoCommit: true });
    const rows = await connection.execute('select ID, STATE, NOTE from TICKET order by ID');
    assert.deepEqual(rows.rows, [[1, 'open', 'first'], [2, 'closed', null]]);
  } finally {
    await connection.close();
  }
});

check('RETURNING ... INTO hands back what INSERT, UPDATE and DELETE did', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute(`create table ACCOUNTS (ID number(10) generated by default as identity primary key,
                              OWNER varchar2(30 char), BALANCE number(12,2), OPENED timestamp(3))`);
    const opened = new Date(Date.UTC(2024, 2, 31, 23, 59, 58, 125));
    const inserted = await connection.execute(
      `insert into ACCOUNTS (OWNER, BALANCE, OPENED) values (:owner, :balance, :opened)
       returning ID, OWNER, BALANCE, OPENED into :id, :ownerOut, :balanceOut, :openedOut`,
      {
        owner: 'Zoë', balance: 1234.5, opened,
        id: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER },
        ownerOut: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 120 },
        balanceOut: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER },
        openedOut: { dir: oracledb.BIND_OUT, type: oracledb.DB_TYPE_TIMESTAMP },
      });
    assert.equal(inserted.rowsAffected, 1);
    assert.deepEqual(inserted.outBinds.id, [1]);
    assert.deepEqual(inserted.outBinds.ownerOut, ['Zoë']);
    assert.deepEqual(inserted.outBinds.balanceOut, [1234.5]);
    assert.equal(inserted.outBinds.openedOut[0].getTime(), opened.getTime());
    await connection.execute("insert into ACCOUNTS (OWNER, BALANCE) values ('Ann', 10)");
    const updated = await connection.execute(
      'update ACCOUNTS set BALANCE = :b returning ID, BALANCE into :ids, :balances',
      { b: 0.25, ids: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER },
        balances: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER } });
    assert.equal(updated.rowsAffected, 2);
    assert.deepEqual([...updated.outBinds.ids].sort(), [1, 2]);
    assert.deepEqual(updated.outBinds.balances, [0.25, 0.25]);
    const computed = await connection.execute(
      'update ACCOUNTS set BALANCE = BALANCE * :factor + 1, OWNER = upper(OWNER) where ID = 1 returning OWNER, BALANCE into :o, :b',
      { factor: 4, o: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 120 },
        b: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER } });
    assert.equal(computed.rowsAffected, 1);
    assert.deepEqual(computed.outBinds.o, ['ZOË']);
    assert.deepEqual(computed.outBinds.b, [2]);
    const deleted = await connection.execute(
      'delete from ACCOUNTS where ID = :id returning OWNER into :owner',
      { id: 2, owner: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 120 } }, { autoCommit: true });
    assert.deepEqual(deleted.outBinds.owner, ['Ann']);
    const none = await connection.execute(
      'delete from ACCOUNTS where ID = 99 returning OWNER into :owner',
      { owner: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 120 } });
    assert.deepEqual(none.outBinds.owner, []);
    const left = await connection.execute('select ID, OWNER, BALANCE from ACCOUNTS');
    assert.deepEqual(left.rows, [[1, 'ZOË', 2]]);
    const locked = await connection.execute('select OWNER from ACCOUNTS where ID = :id for update nowait', { id: 1 });
    assert.deepEqual(locked.rows, [['ZOË']]);
    await connection.commit();
  } finally {
    await connection.close();
  }
});

check('a join of the catalog views lists a key with its columns', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute(`create table ORDERS (SHOP number(5), NO number(9), PLACED date,
                              constraint ORDERS_PK primary key (SHOP, NO))`);
    await connection.execute(`create table ORDER_LINES (SHOP number(5), NO number(9), LINE number(3),
                              constraint LINES_ORDER_FK foreign key (SHOP, NO) references ORDERS)`);
    const keys = await connection.execute(
      `select c.constraint_name, cc.column_name from user_constraints c
         join user_cons_columns cc on cc.constraint_name = c.constraint_name
        where c.table_name = :1 order by cc.position`, ['ORDERS']);
    assert.deepEqual(keys.rows, [['ORDERS_PK', 'SHOP'], ['ORDERS_PK', 'NO']]);
    const references = await connection.execute(
      `select c.constraint_name, p.table_name, c.delete_rule
         from user_constraints c, user_constraints p
        where p.constraint_name = c.r_constraint_name and c.constraint_type = 'R' and c.table_name = :t`,
      { t: 'ORDER_LINES' });
    assert.deepEqual(references.rows, [['LINES_ORDER_FK', 'ORDERS', 'NO ACTION']]);
  } finally {
    await connection.close();
  }
});

check('IN and EXISTS sub-queries, and a left join grouped and ordered', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute('create table SHOPS (ID number(5) primary key, CITY varchar2(20))');
    await connection.execute('create table SALES (SHOP number(5) references SHOPS, AMOUNT number(10,2))');
    await connection.executeMany('insert into SHOPS values (:1, :2)', [[1, 'Lyon'], [2, 'Turin'], [3, 'Graz']]);
    await connection.executeMany('insert into SALES values (:1, :2)', [[1, 10.25], [1, 5], [2, 99.5]]);
    await connection.commit();
    const selling = await connection.execute(
      'select CITY from SHOPS where ID in (select SHOP from SALES where AMOUNT > :1) order by CITY', [6]);
    assert.deepEqual(selling.rows, [['Lyon'], ['Turin']]);
    const idle = await connection.execute(
      'select CITY from SHOPS s where not exists (select 1 from SALES where SALES.SHOP = s.ID)');
    assert.deepEqual(idle.rows, [['Graz']]);
    const totals = await connection.execute(
      `select s.CITY, count(x.SHOP), sum(x.AMOUNT) from SHOPS s left join SALES x on x.SHOP = s.ID
        group by s.CITY order by sum(x.AMOUNT) desc nulls last`);
    assert.deepEqual(totals.rows, [['Turin', 1, 99.5], ['Lyon', 2, 15.25], ['Graz', 0, null]]);
  } finally {
    await connection.close();
  }
});

check('BINARY_FLOAT and BINARY_DOUBLE keep their bits, bound and fetched', async () => {
  const connection = await oracledb.getConnection(login);
  try {
    await connection.execute('create table FLOATS (K number(3) primary key, F binary_float, D binary_double)');
    const values = [
      [1, 16777216, 16777216],
      [2, Math.fround(1.0000001), 1.0000001],
      [3, Math.fround(3.4e38), 1e308],
      [4, Math.fround(1.4e-45), 2.2250738585072014e-308],
      [5, -Math.fround(0.1), 0.1],
      [7, -0, -0],  // the sign of a negative zero is kept (deepEqual tells -0 from 0)
    ];
    await connection.executeMany('insert into FLOATS values (:1, :2, :3)', values, {
      bindDefs: [{ type: oracledb.NUMBER }, { type: oracledb.DB_TYPE_BINARY_FLOAT },
        { type: oracledb.DB_TYPE_BINARY_DOUBLE }],
    });
    await connection.execute('insert into FLOATS values (:k, :f, :d)', {
      k: 6,
      f: { val: Math.fround(2.5e-5), type: oracledb.DB_TYPE_BINARY_FLOAT },
      d: { val: 5e-324, type: oracledb.DB_TYPE_BINARY_DOUBLE },
    });
    values.splice(5, 0, [6, Math.fround(2.5e-5), 5e-324]);
    await connection.commit();
    const read = await connection.execute('select K, F, D from FLOATS order by K');
    assert.deepEqual(read.metaData.map((column) => column.dbType),
      [oracledb.DB_TYPE_NUMBER, oracledb.DB_TYPE_BINARY_FLOAT, oracledb.DB_TYPE_BINARY_DOUBLE]);
    assert.deepEqual(read.rows, values);
    const found = await connection.execute('select K from FLOATS where D = :d', {
      d: { val: 2.2250738585072014e-308, type: oracledb.DB_TYPE_BINARY_DOUBLE },
    });
    assert.deepEqual(found.rows, [[4]]);
  } finally {
    await connection.close();
  }
});

runChecks();
