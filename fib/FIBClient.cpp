#include "fib/FIBClient.h"

#include "fib/FirebirdLibrary.h"
#include "platform/Port.h"
#include "fib/pFIBError.h"

namespace orvane::fib {
namespace {

template <class F>
void Bind(F& target, const char* name) {
  target = reinterpret_cast<F>(Port<FirebirdLibrary>().Entry(name));
}

}  // namespace

ClientApi LoadClientApi() {
  ClientApi api{};
  Bind(api.attach_database, "isc_attach_database");
  Bind(api.detach_database, "isc_detach_database");
  Bind(api.start_multiple, "isc_start_multiple");
  Bind(api.commit_transaction, "isc_commit_transaction");
  Bind(api.rollback_transaction, "isc_rollback_transaction");
  Bind(api.dsql_alloc_statement2, "isc_dsql_alloc_statement2");
  Bind(api.dsql_prepare, "isc_dsql_prepare");
  Bind(api.dsql_describe, "isc_dsql_describe");
  Bind(api.dsql_describe_bind, "isc_dsql_describe_bind");
  Bind(api.dsql_sql_info, "isc_dsql_sql_info");
  Bind(api.dsql_execute, "isc_dsql_execute");
  Bind(api.dsql_execute2, "isc_dsql_execute2");
  Bind(api.dsql_execute_immediate, "isc_dsql_execute_immediate");
  Bind(api.dsql_fetch, "isc_dsql_fetch");
  Bind(api.dsql_free_statement, "isc_dsql_free_statement");
  Bind(api.fb_interpret, "fb_interpret");
  Bind(api.sqlcode, "isc_sqlcode");
  return api;
}

void Check(const ClientApi& api, const ISC_STATUS* status, const std::string& context) {
  if (status[0] != 1 || status[1] == 0) return;
  std::string message = context;
  const ISC_STATUS* cursor = status;
  char line[1024];
  bool first = true;
  // fb_interpret bounds each line, unlike the older isc_interprete.
  while (api.fb_interpret(line, sizeof line, &cursor) > 0) {
    message += first ? " : " : "\n";
    message += line;
    first = false;
  }
  throw EFIBError(message, api.sqlcode(status), status[1]);
}

}  // namespace orvane::fib
