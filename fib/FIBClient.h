#pragma once
// The few types and entry points of the Firebird client library that the data-access layer
// uses, declared here so that every platform's build needs no client headers.

#include <cstdint>
#include <string>

namespace orvane::fib {

using ISC_STATUS = intptr_t;
using Handle = uint32_t;  // handles are 32-bit on 64-bit targets
using StatusVector = ISC_STATUS[20];

struct XSQLVAR {
  int16_t sqltype;
  int16_t sqlscale;
  int16_t sqlsubtype;
  int16_t sqllen;
  char* sqldata;
  int16_t* sqlind;
  int16_t sqlname_length;
  char sqlname[32];
  int16_t relname_length;
  char relname[32];
  int16_t ownname_length;
  char ownname[32];
  int16_t aliasname_length;
  char aliasname[32];
};

struct XSQLDA {
  int16_t version;
  char sqldaid[8];
  int32_t sqldabc;
  int16_t sqln;
  int16_t sqld;
  XSQLVAR sqlvar[1];
};

struct TransactionBlock {
  Handle* database;
  int32_t tpbLength;
  const char* tpb;
};

inline constexpr int16_t kSqldaVersion1 = 1;
inline constexpr int16_t SQL_VARYING = 448, SQL_TEXT = 452, SQL_DOUBLE = 480, SQL_FLOAT = 482,
                         SQL_LONG = 496, SQL_SHORT = 500, SQL_TIMESTAMP = 510, SQL_BLOB = 520,
                         SQL_TYPE_TIME = 560, SQL_TYPE_DATE = 570, SQL_INT64 = 580,
                         SQL_BOOLEAN = 32764, SQL_NULL = 32766;
inline constexpr uint16_t DSQL_close = 1, DSQL_drop = 2;
inline constexpr char isc_info_sql_stmt_type = 21, isc_info_end = 1;
inline constexpr int32_t isc_info_sql_stmt_select = 1, isc_info_sql_stmt_exec_procedure = 8,
                         isc_info_sql_stmt_select_for_upd = 12;

struct ClientApi {
  ISC_STATUS (*attach_database)(ISC_STATUS*, short, const char*, Handle*, short, const char*);
  ISC_STATUS (*detach_database)(ISC_STATUS*, Handle*);
  ISC_STATUS (*start_multiple)(ISC_STATUS*, Handle*, short, void*);
  ISC_STATUS (*commit_transaction)(ISC_STATUS*, Handle*);
  ISC_STATUS (*rollback_transaction)(ISC_STATUS*, Handle*);
  ISC_STATUS (*dsql_alloc_statement2)(ISC_STATUS*, Handle*, Handle*);
  ISC_STATUS (*dsql_prepare)(ISC_STATUS*, Handle*, Handle*, unsigned short, const char*,
                             unsigned short, XSQLDA*);
  ISC_STATUS (*dsql_describe)(ISC_STATUS*, Handle*, unsigned short, XSQLDA*);
  ISC_STATUS (*dsql_describe_bind)(ISC_STATUS*, Handle*, unsigned short, XSQLDA*);
  ISC_STATUS (*dsql_sql_info)(ISC_STATUS*, Handle*, short, const char*, short, char*);
  ISC_STATUS (*dsql_execute)(ISC_STATUS*, Handle*, Handle*, unsigned short, const XSQLDA*);
  ISC_STATUS (*dsql_execute2)(ISC_STATUS*, Handle*, Handle*, unsigned short, const XSQLDA*,
                              const XSQLDA*);
  ISC_STATUS (*dsql_execute_immediate)(ISC_STATUS*, Handle*, Handle*, unsigned short, const char*,
                                       unsigned short, const XSQLDA*);
  ISC_STATUS (*dsql_fetch)(ISC_STATUS*, Handle*, unsigned short, const XSQLDA*);
  ISC_STATUS (*dsql_free_statement)(ISC_STATUS*, Handle*, unsigned short);
  int32_t (*fb_interpret)(char*, unsigned int, const ISC_STATUS**);
  int32_t (*sqlcode)(const ISC_STATUS*);
};

// The entry points of the client library in force (Port<FirebirdLibrary>), loading it.
ClientApi LoadClientApi();

// Raises EFIBError with the status vector's texts, prefixed by Context, when it holds an error.
void Check(const ClientApi& api, const ISC_STATUS* status, const std::string& context);

}  // namespace orvane::fib
