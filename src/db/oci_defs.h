#pragma once

// Our own declarations of the part of Oracle's OCI C API that Dovrelle uses, written from
// Oracle's public OCI documentation (types, constants, attribute numbers, function signatures).
// No Oracle header is needed: the client library is loaded at run time, and the stand-in
// target (oraemu) implements these same functions, declared from the function types below
// so that both sides are checked against one definition by the compiler.

#include <cstddef>
#include <cstdint>

extern "C" {

typedef unsigned char ub1;
typedef signed char sb1;
typedef unsigned short ub2;
typedef signed short sb2;
typedef unsigned int ub4;
typedef signed int sb4;
typedef std::uint64_t oraub8;
typedef std::int64_t orasb8;
typedef signed int sword;
typedef unsigned char OraText;

// Opaque handle and descriptor types.
struct OCIEnv;
struct OCIError;
struct OCIServer;
struct OCISvcCtx;
struct OCISession;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCIParam;
struct OCISnapshot;
struct OCILobLocator;

// The external date type SQLT_ODT.
struct OCITime {
    ub1 OCITimeHH;
    ub1 OCITimeMI;
    ub1 OCITimeSS;
};
struct OCIDate {
    sb2 OCIDateYYYY;
    ub1 OCIDateMM;
    ub1 OCIDateDD;
    OCITime OCIDateTime;
};

}  // extern "C"

namespace oci {

// Return codes.
constexpr sword SUCCESS = 0;
constexpr sword SUCCESS_WITH_INFO = 1;
constexpr sword NEED_DATA = 99;
constexpr sword NO_DATA = 100;
constexpr sword ERROR = -1;
constexpr sword INVALID_HANDLE = -2;
constexpr sword STILL_EXECUTING = -3123;

// Modes.
constexpr ub4 DEFAULT = 0x00000000;
constexpr ub4 THREADED = 0x00000001;
constexpr ub4 OBJECT = 0x00000002;
constexpr ub4 DESCRIBE_ONLY = 0x00000010;     // OCIStmtExecute
constexpr ub4 COMMIT_ON_SUCCESS = 0x00000020; // OCIStmtExecute
constexpr ub4 BATCH_ERRORS = 0x00000080;      // OCIStmtExecute
constexpr ub4 STRLS_CACHE_DELETE = 0x00000010; // OCIStmtRelease
constexpr ub4 NTV_SYNTAX = 1;                 // language of OCIStmtPrepare2
constexpr ub2 FETCH_NEXT = 0x0002;
constexpr ub1 ONE_PIECE = 0;                 // OCILobRead2: the whole amount in one call
constexpr ub4 CRED_RDBMS = 1;
constexpr ub4 CRED_EXT = 2;

// Handle types.
constexpr ub4 HTYPE_ENV = 1;
constexpr ub4 HTYPE_ERROR = 2;
constexpr ub4 HTYPE_SVCCTX = 3;
constexpr ub4 HTYPE_STMT = 4;
constexpr ub4 HTYPE_BIND = 5;
constexpr ub4 HTYPE_DEFINE = 6;
constexpr ub4 HTYPE_DESCRIBE = 7;
constexpr ub4 HTYPE_SERVER = 8;
constexpr ub4 HTYPE_SESSION = 9;

// Descriptor types.
constexpr ub4 DTYPE_LOB = 50;
constexpr ub4 DTYPE_PARAM = 53;

// Attributes (the number is read in the context of the handle type it is used with).
constexpr ub4 ATTR_DATA_SIZE = 1;      // param: ub2, maximum size in bytes
constexpr ub4 ATTR_DATA_TYPE = 2;      // param: ub2, SQLT_* code
constexpr ub4 ATTR_NAME = 4;           // param: OraText*, with its length in bytes
constexpr ub4 ATTR_PRECISION = 5;      // param: sb2 for a select-list column
constexpr ub4 ATTR_SCALE = 6;          // param: sb1
constexpr ub4 ATTR_IS_NULL = 7;        // param: ub1, column may be NULL
constexpr ub4 ATTR_SERVER = 6;         // svcctx: OCIServer*
constexpr ub4 ATTR_SESSION = 7;        // svcctx: OCISession*
constexpr ub4 ATTR_ROW_COUNT = 9;      // stmt: ub4, rows processed so far
constexpr ub4 ATTR_PREFETCH_ROWS = 11; // stmt: ub4
constexpr ub4 ATTR_PARAM_COUNT = 18;   // stmt: ub4, select-list columns
constexpr ub4 ATTR_USERNAME = 22;      // session: OraText*
constexpr ub4 ATTR_PASSWORD = 23;      // session: OraText*
constexpr ub4 ATTR_STMT_TYPE = 24;     // stmt: ub2, STMT_*
constexpr ub4 ATTR_CHARSET_ID = 31;    // param: ub2
constexpr ub4 ATTR_CHARSET_FORM = 32;  // param: ub1, SQLCS_*
constexpr ub4 ATTR_DML_ROW_OFFSET = 74; // error: ub4, offset of the failing row of an array DML
constexpr ub4 ATTR_PARSE_ERROR_OFFSET = 129; // error: ub2
constexpr ub4 ATTR_ROWS_FETCHED = 197; // stmt: ub4, rows fetched by the last fetch
constexpr ub4 ATTR_CHAR_USED = 285;    // param: ub1, 1 when the length is in characters
constexpr ub4 ATTR_CHAR_SIZE = 286;    // param: ub2, length in characters
constexpr ub4 ATTR_MAX_IDENTIFIER_LEN = 500; // svcctx: ub1, longest identifier in bytes (12.2 on)

// Statement types.
constexpr ub2 STMT_SELECT = 1;
constexpr ub2 STMT_UPDATE = 2;
constexpr ub2 STMT_DELETE = 3;
constexpr ub2 STMT_INSERT = 4;
constexpr ub2 STMT_CREATE = 5;
constexpr ub2 STMT_DROP = 6;
constexpr ub2 STMT_ALTER = 7;

// Character set form.
constexpr ub1 SQLCS_IMPLICIT = 1;
constexpr ub1 SQLCS_NCHAR = 2;

// Character set ids.
constexpr ub2 CHARSET_AL32UTF8 = 873;
constexpr ub2 CHARSET_AL16UTF16 = 2000;

// External and internal data types (SQLT_*).
constexpr ub2 SQLT_CHR = 1;    // VARCHAR2 (also the describe code of VARCHAR2/NVARCHAR2)
constexpr ub2 SQLT_NUM = 2;    // NUMBER (describe code of NUMBER and FLOAT)
constexpr ub2 SQLT_INT = 3;    // signed integer of value_sz bytes
constexpr ub2 SQLT_FLT = 4;    // binary float/double of value_sz bytes
constexpr ub2 SQLT_STR = 5;    // NUL-terminated text
constexpr ub2 SQLT_VNU = 6;    // OCINumber: NUMBER in Oracle's own form, 22 bytes
constexpr ub2 SQLT_LNG = 8;    // LONG: long text, used to bind CLOB values directly
constexpr ub2 SQLT_DAT = 12;   // DATE (describe code)
constexpr ub2 SQLT_BFLOAT = 21;  // native float (4 bytes), bound to BINARY_FLOAT with the same bits
constexpr ub2 SQLT_BDOUBLE = 22; // native double (8 bytes), bound to BINARY_DOUBLE with the same bits
constexpr ub2 SQLT_BIN = 23;   // RAW
constexpr ub2 SQLT_LBI = 24;   // LONG RAW: long bytes, used to bind BLOB values directly
constexpr ub2 SQLT_UIN = 68;   // unsigned integer
constexpr ub2 SQLT_AFC = 96;   // CHAR (describe code)
constexpr ub2 SQLT_CLOB = 112; // describe code of CLOB
constexpr ub2 SQLT_BLOB = 113; // describe code of BLOB
constexpr ub2 SQLT_ODT = 156;  // OCIDate
constexpr ub2 SQLT_TIMESTAMP = 187; // describe code of TIMESTAMP
constexpr ub2 SQLT_TIMESTAMP_TZ = 188;  // describe code of TIMESTAMP WITH TIME ZONE
constexpr ub2 SQLT_TIMESTAMP_LTZ = 232; // describe code of TIMESTAMP WITH LOCAL TIME ZONE
constexpr ub2 SQLT_IBFLOAT = 100;     // describe code of BINARY_FLOAT
constexpr ub2 SQLT_IBDOUBLE = 101;    // describe code of BINARY_DOUBLE
constexpr ub2 SQLT_INTERVAL_DS_INTERNAL = 183;  // describe code of INTERVAL DAY TO SECOND
constexpr ub2 SQLT_INTERVAL_DS = 190; // INTERVAL DAY TO SECOND descriptor

}  // namespace oci

extern "C" {

// Function types. The loader keeps one pointer of each; oraemu declares its exports from them.
typedef sword(OCIEnvNlsCreate_fn)(OCIEnv** envhpp, ub4 mode, void* ctxp,
                                   void* (*malocfp)(void* ctxp, size_t size),
                                   void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                                   void (*mfreefp)(void* ctxp, void* memptr), size_t xtramem_sz,
                                   void** usrmempp, ub2 charset, ub2 ncharset);
typedef sword(OCIHandleAlloc_fn)(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,
                                  void** usrmempp);
typedef sword(OCIHandleFree_fn)(void* hndlp, ub4 type);
typedef sword(OCIDescriptorAlloc_fn)(const void* parenth, void** descpp, ub4 type,
                                      size_t xtramem_sz, void** usrmempp);
typedef sword(OCIDescriptorFree_fn)(void* descp, ub4 type);
typedef sword(OCIAttrGet_fn)(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                              ub4 attrtype, OCIError* errhp);
typedef sword(OCIAttrSet_fn)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                              ub4 attrtype, OCIError* errhp);
typedef sword(OCIErrorGet_fn)(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                               OraText* bufp, ub4 bufsiz, ub4 type);
typedef sword(OCIServerAttach_fn)(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                                   sb4 dblink_len, ub4 mode);
typedef sword(OCIServerDetach_fn)(OCIServer* srvhp, OCIError* errhp, ub4 mode);
typedef sword(OCISessionBegin_fn)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                                   ub4 mode);
typedef sword(OCISessionEnd_fn)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
typedef sword(OCIStmtPrepare2_fn)(OCISvcCtx* svchp, OCIStmt** stmthp, OCIError* errhp,
                                   const OraText* stmttext, ub4 stmt_len, const OraText* key,
                                   ub4 keylen, ub4 language, ub4 mode);
typedef sword(OCIStmtRelease_fn)(OCIStmt* stmthp, OCIError* errhp, const OraText* key, ub4 keylen,
                                  ub4 mode);
typedef sword(OCIStmtExecute_fn)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters,
                                  ub4 rowoff, const OCISnapshot* snap_in, OCISnapshot* snap_out,
                                  ub4 mode);
typedef sword(OCIStmtFetch2_fn)(OCIStmt* stmthp, OCIError* errhp, ub4 nrows, ub2 orientation,
                                 sb4 fetchOffset, ub4 mode);
typedef sword(OCIParamGet_fn)(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp,
                               ub4 pos);
typedef sword(OCIBindByPos_fn)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, ub4 position,
                                void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp,
                                ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
typedef sword(OCIBindByPos2_fn)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, ub4 position,
                                 void* valuep, orasb8 value_sz, ub2 dty, void* indp, ub4* alenp,
                                 ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
typedef sword(OCIBindByName_fn)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp,
                                 const OraText* placeholder, sb4 placeh_len, void* valuep,
                                 sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
                                 ub4 maxarr_len, ub4* curelep, ub4 mode);
typedef sword(OCIBindByName2_fn)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp,
                                  const OraText* placeholder, sb4 placeh_len, void* valuep,
                                  orasb8 value_sz, ub2 dty, void* indp, ub4* alenp, ub2* rcodep,
                                  ub4 maxarr_len, ub4* curelep, ub4 mode);
typedef sword(OCIDefineByPos_fn)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp,
                                  ub4 position, void* valuep, sb4 value_sz, ub2 dty, void* indp,
                                  ub2* rlenp, ub2* rcodep, ub4 mode);
typedef sword(OCIDefineByPos2_fn)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp,
                                   ub4 position, void* valuep, orasb8 value_sz, ub2 dty,
                                   void* indp, ub4* rlenp, ub2* rcodep, ub4 mode);
typedef sword(OCITransCommit_fn)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
typedef sword(OCITransRollback_fn)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
typedef sword(OCILobGetLength2_fn)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                                    oraub8* lenp);
typedef sword(OCILobRead2_fn)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                               oraub8* byte_amtp, oraub8* char_amtp, oraub8 offset, void* bufp,
                               oraub8 bufl, ub1 piece, void* ctxp,
                               sb4 (*cbfp)(void* ctxp, const void* bufp, oraub8 lenp, ub1 piecep,
                                           void** changed_bufpp, oraub8* changed_lenp),
                               ub2 csid, ub1 csfrm);
typedef void(OCIClientVersion_fn)(sword* major_version, sword* minor_version, sword* update_num,
                                   sword* patch_num, sword* port_update_num);

}  // extern "C"
