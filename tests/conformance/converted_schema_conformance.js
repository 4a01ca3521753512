'use strict';
// An application on a migrated schema: a MySQL database with every column type Dovrelle maps is
// converted by `dovrelle --headless` with "Keep full schema" into a fresh oraemu database, and then
// node-oracledb (thick mode, through liboraemu.so) works on the converted tables as an application
// would. Run by CTest as
//   node converted_schema_conformance.js CLIENT_DIR ORAEMU_TOOL DOVRELLE OCI_LIBRARY SERVER_ENV SCRATCH_DIR
// Prints "N passed, N failed".
process.env.TZ = 'UTC';  // DATE and TIMESTAMP values travel as the client's local time

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const oracledb = require('oracledb');
const { check, runChecks } = require('./check_runner');

const [clientDir, oraemuTool, dovrelle, ociLibrary, serverEnv, scratchDir] = process.argv.slice(2);
if (!scratchDir) {
  console.error('usage: node converted_schema_conformance.js CLIENT_DIR ORAEMU_TOOL DOVRELLE OCI_LIBRARY '
    + 'SERVER_ENV SCRATCH_DIR');
  process.exit(2);
}

const server = Object.fromEntries(fs.readFileSync(serverEnv, 'utf8').split('\n')
  .filter((line) => line.includes('=')).map((line) => [line.slice(0, line.indexOf('=')), line.slice(line.indexOf('=') + 1)]));

// ---- The MySQL side: one table per role, values chosen at the edges of each type ----

const sourceDatabase = 'dovrelle_app';
const longText = 'Ünïcødé ✓ long text; '.repeat(6000);  // ~130 KB of multi-byte characters
const longBytes = Buffer.from(Array.from({ length: 200000 }, (_, i) => (i * 31 + (i >> 8)) & 0xff));
const allBytes = Buffer.from(Array.from({ length: 256 }, (_, i) => i));
const hex = (buffer) => `x'${buffer.toString('hex')}'`;

const fixtureSql = `
DROP DATABASE IF EXISTS ${sourceDatabase};
CREATE DATABASE ${sourceDatabase} CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
USE ${sourceDatabase};
CREATE TABLE customers (
  id INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  email VARCHAR(80) NOT NULL,
  name VARCHAR(60) NOT NULL,
  city VARCHAR(30) DEFAULT 'Zürich',
  tier ENUM('basic','gold','platinum') NOT NULL DEFAULT 'basic',
  tags SET('news','beta','vip'),
  UNIQUE KEY customers_email (email)
) ENGINE=InnoDB;
INSERT INTO customers (id, email, name, city, tier, tags) VALUES
  (1, 'ann@example.com', 'Ann Øster', 'Zürich', 'gold', 'news,vip'),
  (2, 'bo@example.com', 'Bo 李', 'Kraków', 'basic', NULL),
  (7, 'cy@example.com', 'Cy', DEFAULT, DEFAULT, '');
CREATE TABLE orders (
  id BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  customer_id INT UNSIGNED NOT NULL,
  total DECIMAL(12,2) NOT NULL DEFAULT 0.00,
  placed DATETIME(3) NOT NULL,
  CONSTRAINT fk_orders_customer FOREIGN KEY (customer_id) REFERENCES customers (id),
  CONSTRAINT chk_orders_total CHECK (total >= 0)
) ENGINE=InnoDB;
INSERT INTO orders (id, customer_id, total, placed) VALUES
  (10, 1, 99.95, '2024-01-02 03:04:05.678'),
  (11, 1, 0.05, '2024-01-03 00:00:00.000'),
  (12, 2, 1200.00, '2023-12-31 23:59:59.999');
CREATE TABLE all_types (
  k INT NOT NULL PRIMARY KEY,
  ti TINYINT, si SMALLINT, mi MEDIUMINT, i INT, bi BIGINT, bu BIGINT UNSIGNED,
  dc DECIMAL(20,6), f FLOAT, d DOUBLE,
  dt DATE, dtm DATETIME, dt6 DATETIME(6), ts TIMESTAMP(3) NULL DEFAULT NULL, tm TIME, tm3 TIME(3), yr YEAR,
  c CHAR(10), vc VARCHAR(200), tx TEXT, lt LONGTEXT,
  bl BLOB, lb LONGBLOB, bn BINARY(4), vb VARBINARY(16), bt BIT(8)
) ENGINE=InnoDB;
INSERT INTO all_types VALUES
  (1, -128, -32768, -8388608, -2147483648, -9223372036854775808, 18446744073709551615,
   -12345678901234.123456, 1.5, -0.1,
   '1000-01-01', '9999-12-31 23:59:59', '2024-02-29 12:34:56.123456', '2038-01-19 03:14:07.999',
   '-838:59:59', '12:00:00.5', 1901,
   'Grüße', '€ 100 — naïve 日本語', 'short text', '${longText}',
   ${hex(allBytes)}, ${hex(longBytes)}, x'00ff10', x'00', b'10100101'),
  (2, 127, 32767, 8388607, 2147483647, 9223372036854775807, 0,
   0.000001, 0.1, 1e308,
   '2024-02-29', '1970-01-01 00:00:00', '1999-12-31 23:59:59.000001', '1970-01-01 00:00:01.000',
   '838:59:59', '-00:00:01.250', 2155,
   'x', 'plain', 'Zwölf Boxkämpfer', 'a',
   x'', x'ff', x'ffffffff', x'0102030405060708090a0b0c0d0e0f10', b'0'),
  (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
`;

// What each converted column holds afterwards, as node-oracledb hands it over. Big integers and
// exact decimals are fetched as text (a JavaScript number cannot hold them).
const asText = ['BI', 'BU', 'DC'];
const interval = (days, hours, minutes, seconds, fseconds) => ({ days, hours, minutes, seconds, fseconds });
const expectedTypes = {
  K: 'NUMBER', TI: 'NUMBER', SI: 'NUMBER', MI: 'NUMBER', I: 'NUMBER', BI: 'NUMBER', BU: 'NUMBER',
  DC: 'NUMBER', F: 'BINARY_FLOAT', D: 'BINARY_DOUBLE', DT: 'DATE', DTM: 'DATE', DT6: 'TIMESTAMP',
  TS: 'TIMESTAMP', TM: 'INTERVAL DAY TO SECOND', TM3: 'INTERVAL DAY TO SECOND', YR: 'NUMBER',
  C: 'VARCHAR2', VC: 'VARCHAR2', TX: 'CLOB', LT: 'CLOB', BL: 'BLOB', LB: 'BLOB', BN: 'RAW', VB: 'RAW',
  BT: 'NUMBER',
};
const expectedRows = [
  {
    K: 1, TI: -128, SI: -32768, MI: -8388608, I: -2147483648, BI: '-9223372036854775808',
    BU: '18446744073709551615', DC: '-12345678901234.123456', F: 1.5, D: -0.1,
    DT: new Date('1000-01-01T00:00:00Z'), DTM: new Date('9999-12-31T23:59:59Z'),
    DT6: new Date('2024-02-29T12:34:56.123Z'), TS: new Date('2038-01-19T03:14:07.999Z'),
    TM: interval(-34, -22, -59, -59, 0), TM3: interval(0, 12, 0, 0, 500000000), YR: 1901,
    C: 'Grüße', VC: '€ 100 — naïve 日本語', TX: 'short text', LT: longText,
    BL: allBytes, LB: longBytes, BN: Buffer.from([0, 0xff, 0x10, 0]), VB: Buffer.from([0]), BT: 165,
  },
  {
    K: 2, TI: 127, SI: 32767, MI: 8388607, I: 2147483647, BI: '9223372036854775807', BU: '0',
    DC: '0.000001', F: Math.fround(0.1), D: 1e308,
    DT: new Date('2024-02-29T00:00:00Z'), DTM: new Date('1970-01-01T00:00:00Z'),
    DT6: new Date('1999-12-31T23:59:59.000Z'), TS: new Date('1970-01-01T00:00:01.000Z'),
    TM: interval(34, 22, 59, 59, 0), TM3: interval(0, 0, 0, -1, -250000000), YR: 2155,
    C: 'x', VC: 'plain', TX: 'Zwölf Boxkämpfer', LT: 'a',
    BL: null, LB: Buffer.from([0xff]), BN: Buffer.from([0xff, 0xff, 0xff, 0xff]),
    VB: Buffer.from([1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16]), BT: 0,
  },
  Object.fromEntries(Object.keys(expectedTypes).map((name) => [name, name === 'K' ? 3 : null])),
];
// DATETIME(6) keeps microseconds that a JavaScript Date cannot show: they are compared as text.
const microseconds = [['2024-02-29 12:34:56.123456'], ['1999-12-31 23:59:59.000001'], [null]];

// ---- Conversion: the fixture into MySQL, dovrelle --headless with fullschema=1 into oraemu ----

function mysqlClient() {
  for (const name of ['mariadb', 'mysql'])
    for (const folder of ['/usr/bin', '/usr/local/bin', '/usr/sbin'])
      if (fs.existsSync(path.join(folder, name))) return path.join(folder, name);
  throw new Error('no mariadb or mysql client found; run scripts/install-deps');
}

function runMysql(sql) {
  execFileSync(mysqlClient(), ['--no-defaults', `--socket=${server.DOVRELLE_TEST_MYSQL_SOCKET}`, '-uroot',
    '--default-character-set=utf8mb4'], { input: sql, maxBuffer: 1 << 26 });
}

fs.mkdirSync(scratchDir, { recursive: true });
runMysql(fixtureSql);

const database = path.join(scratchDir, 'converted.db');
for (const suffix of ['', '-wal', '-shm']) fs.rmSync(database + suffix, { force: true });
execFileSync(oraemuTool, ['create', database]);
execFileSync(oraemuTool, ['user', database, 'APP', 'secret']);

const settingsFile = path.join(scratchDir, 'fullschema.qelt');
const settings = {
  accessmode: 1, mysqldatabase: sourceDatabase, port: server.DOVRELLE_TEST_MYSQL_PORT,
  mysqlu: server.DOVRELLE_TEST_MYSQL_USER, mysqlp: server.DOVRELLE_TEST_MYSQL_PASSWORD,
  host: server.DOVRELLE_TEST_MYSQL_HOST, oracleh: database, oracleu: 'APP', oraclep: 'secret',
  processtable: 0, character_set: 'Default', tabledefonly: 0, skipindex: 0, nameuppercase: 1, blobtotext: 0,
  fullschema: 1, alltables: 1,
};
fs.writeFileSync(settingsFile, Object.entries(settings).map(([key, value]) => `${key}=${value}\r\n`).join(''));
const logFile = settingsFile.replace(/\.qelt$/, '.log');
fs.rmSync(logFile, { force: true });
try {
  execFileSync(dovrelle, ['--headless', settingsFile], {
    cwd: scratchDir, stdio: 'pipe', env: { ...process.env, DOVRELLE_OCI_LIBRARY: ociLibrary, QT_QPA_PLATFORM: 'offscreen' },
  });
} catch (error) {
  console.log(`FAILED  dovrelle --headless exited with ${error.status}\n${error.stdout}${error.stderr}`);
  if (fs.existsSync(logFile)) console.log(fs.readFileSync(logFile, 'utf8'));
  console.log('0 passed, 1 failed');
  process.exit(1);
}

// ---- The application ----

oracledb.initOracleClient({ libDir: clientDir });
const login = { user: 'APP', password: 'secret', connectString: database };
const columns = Object.keys(expectedTypes);
const fetchInfo = Object.fromEntries(asText.map((name) => [name, { type: oracledb.STRING }]));
const lobsAsValues = { ...fetchInfo, TX: { type: oracledb.STRING }, LT: { type: oracledb.STRING },
  BL: { type: oracledb.BUFFER }, LB: { type: oracledb.BUFFER } };

async function withConnection(body) {
  const connection = await oracledb.getConnection(login);
  try {
    return await body(connection);
  } finally {
    await connection.close();
  }
}

async function expectOracleError(promise, code, pattern) {
  await assert.rejects(promise, (error) => {
    assert.equal(error.errorNum, code, error.message);
    if (pattern) assert.match(error.message, pattern);
    return true;
  });
}

function plain(value) {
  return value instanceof oracledb.IntervalDS ? { ...value } : value;
}

function compareRow(row, expected, label) {
  for (const name of columns)
    assert.deepEqual(plain(row[name]), expected[name], `${label}: column ${name}`);
}

async function readAllTypes(connection, where = '1=1') {
  const result = await connection.execute(`select ${columns.join(', ')} from ALL_TYPES where ${where} order by K`, [],
    { outFormat: oracledb.OUT_FORMAT_OBJECT, fetchInfo: lobsAsValues });
  return result.rows;
}

async function readStream(lob) {
  if (lob.type === oracledb.DB_TYPE_CLOB) lob.setEncoding('utf8');
  return new Promise((resolve, reject) => {
    const pieces = [];
    lob.on('data', (piece) => pieces.push(piece));
    lob.on('end', () => resolve(pieces));
    lob.on('error', reject);
  });
}

async function writeStream(lob, value, pieceSize) {
  await new Promise((resolve, reject) => {
    lob.on('finish', resolve);
    lob.on('error', reject);
    for (let at = 0; at < value.length; at += pieceSize) lob.write(value.slice(at, at + pieceSize));
    lob.end();
  });
}

// The binds of one ALL_TYPES row, each in the type an application would use for its column.
function bindsOf(row) {
  const typed = (type, val) => ({ type, val });
  return {
    K: row.K, TI: row.TI, SI: row.SI, MI: row.MI, I: row.I,
    BI: typed(oracledb.STRING, row.BI), BU: typed(oracledb.STRING, row.BU), DC: typed(oracledb.STRING, row.DC),
    F: typed(oracledb.DB_TYPE_BINARY_FLOAT, row.F), D: typed(oracledb.DB_TYPE_BINARY_DOUBLE, row.D),
    DT: typed(oracledb.DB_TYPE_DATE, row.DT), DTM: typed(oracledb.DB_TYPE_DATE, row.DTM),
    DT6: typed(oracledb.DB_TYPE_TIMESTAMP, row.DT6), TS: typed(oracledb.DB_TYPE_TIMESTAMP, row.TS),
    TM: typed(oracledb.DB_TYPE_INTERVAL_DS, row.TM && new oracledb.IntervalDS(row.TM)),
    TM3: typed(oracledb.DB_TYPE_INTERVAL_DS, row.TM3 && new oracledb.IntervalDS(row.TM3)),
    YR: row.YR, C: typed(oracledb.STRING, row.C), VC: typed(oracledb.STRING, row.VC),
    TX: typed(oracledb.DB_TYPE_CLOB, row.TX), LT: typed(oracledb.DB_TYPE_CLOB, row.LT),
    BL: typed(oracledb.DB_TYPE_BLOB, row.BL), LB: typed(oracledb.DB_TYPE_BLOB, row.LB),
    BN: typed(oracledb.BUFFER, row.BN), VB: typed(oracledb.BUFFER, row.VB), BT: row.BT,
  };
}
const insertAllTypes = `insert into ALL_TYPES (${columns.join(', ')}) values (${columns.map((c) => `:${c}`).join(', ')})`;


check('the run logged every table as converted, with no ORA- error', async () => {
  const log = fs.readFileSync(logFile, 'utf8');
  assert.doesNotMatch(log, /ORA-\d{5}/);
  for (const table of ['ALL_TYPES', 'CUSTOMERS', 'ORDERS'])
    assert.match(log, new RegExp(`${table}`), `the log names ${table}`);
});

check('every column of ALL_TYPES is described with the type the conversion chose', async () => {
  await withConnection(async (connection) => {
    const result = await connection.execute(`select ${columns.join(', ')} from ALL_TYPES where 1 = 0`);
    assert.deepEqual(Object.fromEntries(result.metaData.map((column) => [column.name, column.dbTypeName])),
      expectedTypes);
  });
});

check('every column of every ALL_TYPES row is fetched with its MySQL value', async () => {
  await withConnection(async (connection) => {
    const rows = await readAllTypes(connection);
    assert.equal(rows.length, expectedRows.length);
    rows.forEach((row, index) => compareRow(row, expectedRows[index], `row ${row.K}`));
    const exact = await connection.execute(
      "select to_char(DT6, 'YYYY-MM-DD HH24:MI:SS.FF6') from ALL_TYPES order by K");
    assert.deepEqual(exact.rows, microseconds);
  });
});

check('CUSTOMERS and ORDERS arrive with their values, defaults, enum and set members', async () => {
  await withConnection(async (connection) => {
    const customers = await connection.execute('select ID, EMAIL, NAME, CITY, TIER, TAGS from CUSTOMERS order by ID');
    assert.deepEqual(customers.rows, [
      [1, 'ann@example.com', 'Ann Øster', 'Zürich', 'gold', 'news,vip'],
      [2, 'bo@example.com', 'Bo 李', 'Kraków', 'basic', null],
      [7, 'cy@example.com', 'Cy', 'Zürich', 'basic', null],
    ]);
    const orders = await connection.execute('select ID, CUSTOMER_ID, TOTAL, PLACED from ORDERS order by ID');
    assert.deepEqual(orders.rows, [
      [10, 1, 99.95, new Date('2024-01-02T03:04:05.678Z')],
      [11, 1, 0.05, new Date('2024-01-03T00:00:00.000Z')],
      [12, 2, 1200, new Date('2023-12-31T23:59:59.999Z')],
    ]);
  });
});

const boundRow = {
  K: 10, TI: -5, SI: 300, MI: -70000, I: 123456789, BI: '-1234567890123456789', BU: '18446744073709551614',
  DC: '98765432101234.5', F: Math.fround(-2.75e-3), D: 6.02214076e23,
  DT: new Date('2001-09-09T00:00:00Z'), DTM: new Date('2001-09-09T01:46:40Z'),
  DT6: new Date('2020-02-02T20:20:20.202Z'), TS: new Date('2021-03-14T01:59:26.535Z'),
  TM: interval(-1, -2, -3, -4, 0), TM3: interval(3, 4, 5, 6, 7000000), YR: 2024,
  C: 'Ça va', VC: 'ünïcødé — 𝄞 clef', TX: 'bound text', LT: 'ß'.repeat(50000),
  BL: Buffer.from('bound blob'), LB: Buffer.alloc(70000, 0xab), BN: Buffer.from([9, 8, 7, 6]),
  VB: Buffer.from([0xca, 0xfe]), BT: 255,
};

check('every type is bound in an INSERT: invisible to others until commit, gone after rollback', async () => {
  await withConnection(async (connection) => {
    const other = await oracledb.getConnection(login);
    try {
      const inserted = await connection.execute(insertAllTypes, bindsOf(boundRow));
      assert.equal(inserted.rowsAffected, 1);
      compareRow((await readAllTypes(connection, 'K = 10'))[0], boundRow, 'inserted row');
      assert.deepEqual((await readAllTypes(other, 'K = 10')), []);
      await connection.rollback();
      assert.deepEqual((await readAllTypes(connection, 'K = 10')), []);

      await connection.execute(insertAllTypes, bindsOf(boundRow), { autoCommit: true });
      compareRow((await readAllTypes(other, 'K = 10'))[0], boundRow, 'committed row, read by another connection');
    } finally {
      await other.close();
    }
  });
});

check('every type is bound in an UPDATE, with RETURNING ... INTO', async () => {
  await withConnection(async (connection) => {
    const changed = { ...expectedRows[0], K: 10 };
    const binds = bindsOf(changed);
    const sets = columns.filter((c) => c !== 'K').map((c) => `${c} = :${c}`).join(', ');
    const result = await connection.execute(
      `update ALL_TYPES set ${sets} where K = :K returning BU, D, DT6, TM, VC, VB into :outBu, :outD, :outDt6, :outTm, :outVc, :outVb`,
      {
        ...binds,
        outBu: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 40 },
        outD: { dir: oracledb.BIND_OUT, type: oracledb.DB_TYPE_BINARY_DOUBLE },
        outDt6: { dir: oracledb.BIND_OUT, type: oracledb.DB_TYPE_TIMESTAMP },
        outTm: { dir: oracledb.BIND_OUT, type: oracledb.DB_TYPE_INTERVAL_DS },
        outVc: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 800 },
        outVb: { dir: oracledb.BIND_OUT, type: oracledb.BUFFER, maxSize: 16 },
      });
    assert.equal(result.rowsAffected, 1);
    assert.deepEqual(result.outBinds.outBu, [changed.BU]);
    assert.deepEqual(result.outBinds.outD, [changed.D]);
    assert.equal(result.outBinds.outDt6[0].getTime(), changed.DT6.getTime());
    assert.deepEqual(plain(result.outBinds.outTm[0]), changed.TM);
    assert.deepEqual(result.outBinds.outVc, [changed.VC]);
    assert.deepEqual(result.outBinds.outVb, [changed.VB]);
    compareRow((await readAllTypes(connection, 'K = 10'))[0], changed, 'updated row');
    await connection.rollback();
    compareRow((await readAllTypes(connection, 'K = 10'))[0], boundRow, 'row after rollback');
    const nulls = await connection.execute(`update ALL_TYPES set ${sets} where K = :K`, bindsOf({ ...expectedRows[2], K: 10 }),
      { autoCommit: true });
    assert.equal(nulls.rowsAffected, 1);
    compareRow((await readAllTypes(connection, 'K = 10'))[0], { ...expectedRows[2], K: 10 }, 'row set to NULL');
    const deleted = await connection.execute('delete from ALL_TYPES where K = :k', { k: 10 }, { autoCommit: true });
    assert.equal(deleted.rowsAffected, 1);
  });
});

check('the converted CLOB and BLOB columns are read and written as streams', async () => {
  await withConnection(async (connection) => {
    const read = await connection.execute('select LT, LB from ALL_TYPES where K = 1');
    const [lt, lb] = read.rows[0];
    assert.equal(lt.type, oracledb.DB_TYPE_CLOB);
    assert.ok(lt.chunkSize > 0);
    const textPieces = await readStream(lt);
    assert.ok(textPieces.length > 1, 'the long CLOB arrives in more than one piece');
    assert.equal(textPieces.join(''), longText);
    assert.deepEqual(Buffer.concat(await readStream(lb)), longBytes);

    const text = 'Straße №5 — '.repeat(4000);
    const bytes = Buffer.from(Array.from({ length: 90000 }, (_, i) => (i * 13) & 0xff));
    const clob = await connection.createLob(oracledb.CLOB);
    const blob = await connection.createLob(oracledb.BLOB);
    await writeStream(clob, text, 4001);
    await writeStream(blob, bytes, 8191);
    await connection.execute('insert into ALL_TYPES (K, LT, LB) values (20, :lt, :lb)', { lt: clob, lb: blob });
    await clob.close();
    await blob.close();
    await connection.commit();
    const back = await connection.execute('select LT, LB from ALL_TYPES where K = 20');
    assert.equal((await readStream(back.rows[0][0])).join(''), text);
    assert.deepEqual(Buffer.concat(await readStream(back.rows[0][1])), bytes);

    await connection.execute('delete from ALL_TYPES where K = 20', [], { autoCommit: true });
  });
});

check('identity keys continue after the MySQL rows and are never handed out twice', async () => {
  await withConnection(async (connection) => {
    const identities = await connection.execute(
      'select TABLE_NAME, COLUMN_NAME, GENERATION_TYPE from USER_TAB_IDENTITY_COLS order by TABLE_NAME');
    assert.deepEqual(identities.rows, [['CUSTOMERS', 'ID', 'BY DEFAULT'], ['ORDERS', 'ID', 'BY DEFAULT']]);
    const insert = "insert into CUSTOMERS (EMAIL, NAME) values (:email, :name) returning ID, CITY, TIER into :id, :city, :tier";
    const outs = {
      id: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER },
      city: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 120 },
      tier: { dir: oracledb.BIND_OUT, type: oracledb.STRING, maxSize: 40 },
    };
    const first = await connection.execute(insert, { email: 'dee@example.com', name: 'Dee', ...outs });
    assert.deepEqual(first.outBinds, { id: [8], city: ['Zürich'], tier: ['basic'] });
    await connection.rollback();
    const second = await connection.execute(insert, { email: 'dee@example.com', name: 'Dee', ...outs }, { autoCommit: true });
    assert.deepEqual(second.outBinds.id, [9]);
    const order = await connection.execute(
      'insert into ORDERS (CUSTOMER_ID, PLACED) values (:c, :p) returning ID, TOTAL into :id, :total',
      { c: 9, p: new Date('2025-05-05T05:05:05.005Z'), id: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER },
        total: { dir: oracledb.BIND_OUT, type: oracledb.NUMBER } }, { autoCommit: true });
    assert.deepEqual(order.outBinds, { id: [13], total: [0] });
  });
});

check('the unique index, the foreign key, the check constraint and the enum check hold', async () => {
  await withConnection(async (connection) => {
    await expectOracleError(connection.execute(
      "insert into CUSTOMERS (EMAIL, NAME) values ('ann@example.com', 'again')"), 1, /^ORA-00001: unique constraint/);
    await expectOracleError(connection.execute(
      'insert into ORDERS (CUSTOMER_ID, PLACED) values (:c, sysdate)', { c: 404 }), 2291, /FK_ORDERS_CUSTOMER/);
    await expectOracleError(connection.execute(
      'delete from CUSTOMERS where ID = 2'), 2292, /FK_ORDERS_CUSTOMER/);
    await expectOracleError(connection.execute(
      'update ORDERS set TOTAL = -1 where ID = 10'), 2290, /CHK_ORDERS_TOTAL/);
    await expectOracleError(connection.execute(
      "update CUSTOMERS set TIER = 'silver' where ID = 1"), 2290);
    await expectOracleError(connection.execute(
      'update CUSTOMERS set NAME = null where ID = 1'), 1407);
    assert.deepEqual((await connection.execute("select TIER, NAME from CUSTOMERS where ID = 1")).rows, [['gold', 'Ann Øster']]);
  });
});

check('a join of parent and child tables, grouped, ordered and outer', async () => {
  await withConnection(async (connection) => {
    const totals = await connection.execute(
      `select c.NAME, count(o.ID), sum(o.TOTAL) from CUSTOMERS c left join ORDERS o on o.CUSTOMER_ID = c.ID
        where c.ID < :upTo group by c.NAME order by c.NAME`, { upTo: 8 });
    assert.deepEqual(totals.rows, [['Ann Øster', 2, 100], ['Bo 李', 1, 1200], ['Cy', 0, null]]);
    const latest = await connection.execute(
      `select o.ID, c.EMAIL from ORDERS o, CUSTOMERS c where c.ID = o.CUSTOMER_ID and o.PLACED >= :since
        order by o.PLACED desc`, { since: new Date('2024-01-01T00:00:00Z') });
    assert.deepEqual(latest.rows.slice(-2), [[11, 'ann@example.com'], [10, 'ann@example.com']]);
    const everyone = await connection.execute(
      `select c.ID, o.ID from ORDERS o right join CUSTOMERS c on c.ID = o.CUSTOMER_ID where c.ID < 8 order by c.ID, o.ID`);
    assert.deepEqual(everyone.rows, [[1, 10], [1, 11], [2, 12], [7, null]]);
    const latestOrder = await connection.execute(
      `select c.NAME, (select max(o.PLACED) from ORDERS o where o.CUSTOMER_ID = c.ID) from CUSTOMERS c
        where c.ID < 8 order by c.ID`);
    assert.deepEqual(latestOrder.rows, [['Ann Øster', new Date('2024-01-03T00:00:00.000Z')],
      ['Bo 李', new Date('2023-12-31T23:59:59.999Z')], ['Cy', null]]);
    const buyers = await connection.execute(
      'select NAME from CUSTOMERS where ID in (select CUSTOMER_ID from ORDERS where TOTAL > :t) order by NAME', { t: 50 });
    assert.deepEqual(buyers.rows, [['Ann Øster'], ['Bo 李']]);
  });
});

check('a join over the catalog views describes the converted schema', async () => {
  await withConnection(async (connection) => {
    const tables = await connection.execute(
      `select t.TABLE_NAME, count(c.COLUMN_NAME) from USER_TABLES t join USER_TAB_COLUMNS c on c.TABLE_NAME = t.TABLE_NAME
        group by t.TABLE_NAME order by t.TABLE_NAME`);
    assert.deepEqual(tables.rows, [['ALL_TYPES', 26], ['CUSTOMERS', 6], ['ORDERS', 4]]);
    const keyed = await connection.execute(
      `select t.TABLE_NAME, (select count(*) from USER_CONSTRAINTS k where k.TABLE_NAME = t.TABLE_NAME
         and k.CONSTRAINT_TYPE = 'R') from USER_TABLES t order by t.TABLE_NAME`);
    assert.deepEqual(keyed.rows, [['ALL_TYPES', 0], ['CUSTOMERS', 0], ['ORDERS', 1]]);
    const types = await connection.execute(
      `select COLUMN_NAME, DATA_TYPE, DATA_PRECISION, DATA_SCALE, NULLABLE from USER_TAB_COLUMNS
        where TABLE_NAME = 'ALL_TYPES' and COLUMN_NAME in ('BU', 'DC', 'F', 'TM3', 'DT6', 'BN', 'BT') order by COLUMN_ID`);
    assert.deepEqual(types.rows, [
      ['BU', 'NUMBER', 20, 0, 'Y'], ['DC', 'NUMBER', 20, 6, 'Y'], ['F', 'BINARY_FLOAT', null, null, 'Y'],
      ['DT6', 'TIMESTAMP(6)', null, 6, 'Y'], ['TM3', 'INTERVAL DAY(3) TO SECOND(3)', 3, 3, 'Y'],
      ['BN', 'RAW', null, null, 'Y'], ['BT', 'NUMBER', 3, 0, 'Y'],
    ]);
    const keys = await connection.execute(
      `select c.TABLE_NAME, c.CONSTRAINT_TYPE, i.INDEX_NAME, i.UNIQUENESS, ic.COLUMN_NAME
         from USER_CONSTRAINTS c
         join USER_INDEXES i on i.INDEX_NAME = c.INDEX_NAME
         join USER_IND_COLUMNS ic on ic.INDEX_NAME = i.INDEX_NAME
        where c.CONSTRAINT_TYPE in ('P', 'U')
        order by c.TABLE_NAME, c.CONSTRAINT_TYPE, ic.COLUMN_POSITION`);
    // The unique key is enforced through the index the conversion made before it, as Oracle allows.
    assert.deepEqual(keys.rows.map(([table, type, , uniqueness, column]) => [table, type, uniqueness, column]), [
      ['ALL_TYPES', 'P', 'UNIQUE', 'K'], ['CUSTOMERS', 'P', 'UNIQUE', 'ID'], ['CUSTOMERS', 'U', 'NONUNIQUE', 'EMAIL'],
      ['ORDERS', 'P', 'UNIQUE', 'ID'],
    ]);
    const references = await connection.execute(
      `select c.CONSTRAINT_NAME, cc.COLUMN_NAME, p.TABLE_NAME, pc.COLUMN_NAME
         from USER_CONSTRAINTS c
         join USER_CONS_COLUMNS cc on cc.CONSTRAINT_NAME = c.CONSTRAINT_NAME
         join USER_CONSTRAINTS p on p.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME
         join USER_CONS_COLUMNS pc on pc.CONSTRAINT_NAME = p.CONSTRAINT_NAME and pc.POSITION = cc.POSITION
        where c.CONSTRAINT_TYPE = 'R'`);
    assert.deepEqual(references.rows, [['FK_ORDERS_CUSTOMER', 'CUSTOMER_ID', 'CUSTOMERS', 'ID']]);
    const checks = await connection.execute(
      `select CONSTRAINT_NAME, SEARCH_CONDITION from USER_CONSTRAINTS
        where TABLE_NAME = 'ORDERS' and CONSTRAINT_TYPE = 'C' and CONSTRAINT_NAME not like 'SYS_C%'`);
    assert.deepEqual(checks.rows, [['CHK_ORDERS_TOTAL', '"TOTAL" >= 0']]);
  });
});

runChecks().finally(() => runMysql(`DROP DATABASE ${sourceDatabase};`));
