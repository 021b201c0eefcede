#pragma once
// Short ways to run one parameterised statement against the dictation database, and the
// fixed vocabulary of the transactions made for it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fib/pFIBDatabase.h"
#include "fib/pFIBQuery.h"
#include "fib/pFIBTransaction.h"

namespace orvane {

// Queries kept across calls that share one transaction, committed when the set goes.
class TPersistentQueries {
 public:
  explicit TPersistentQueries(std::unique_ptr<TpFIBTransaction> transaction)
      : transaction_(std::move(transaction)) {}
  ~TPersistentQueries();
  TPersistentQueries(const TPersistentQueries&) = delete;
  TPersistentQueries& operator=(const TPersistentQueries&) = delete;

  TpFIBTransaction* Transaction() const { return transaction_.get(); }
  // The set refers to its queries; their owners free them.
  std::vector<TpFIBQuery*> Queries;

 private:
  std::unique_ptr<TpFIBTransaction> transaction_;
};

class TGlobalFIB {
 public:
  TGlobalFIB() = default;
  ~TGlobalFIB();
  TGlobalFIB(const TGlobalFIB&) = delete;
  TGlobalFIB& operator=(const TGlobalFIB&) = delete;

  // A transaction that is not started; its parameter words are exactly these: "read" or
  // "write", then "nowait" "rec_version" or "wait" "no_rec_version", then "read_committed".
  // Without an owner the caller frees it.
  TpFIBTransaction* CreateTransaction(TFIBComponent* owner, TpFIBDatabase* database, bool readOnly,
                                      bool noWait) const;
  TpFIBQuery* CreateQuery(TFIBComponent* owner, TpFIBDatabase* database, TpFIBTransaction* transaction,
                          const std::string& sql) const;
  // A query owning a new transaction of its own.
  TpFIBQuery* CreateQueryWithTransaction(TFIBComponent* owner, TpFIBDatabase* database, bool readOnly,
                                         const std::string& sql, bool noWait) const;
  void StartIfInactive(TpFIBTransaction* transaction) const;
  void CommitIfActive(TpFIBTransaction* transaction) const;
  void RollbackIfActive(TpFIBTransaction* transaction) const;

  // Runs Sql with Values bound by position (values beyond the parameters ignored, parameters
  // beyond the values null) in a write, nowait, read-committed transaction of its own and
  // commits. Any failure rolls back and gives false, unreported; only a failing rollback raises.
  // Without a database, false at once.
  bool ExecSQL(const std::string& sql, const std::vector<TFIBValue>& values, TpFIBDatabase* database) const;

  // A set whose transaction is made as CreateTransaction makes it, kept until program end.
  // Nothing in this program keeps one.
  TPersistentQueries& AddPersistentQueriesForTesting(TpFIBDatabase* database, bool readOnly, bool noWait);
  size_t PersistentQueriesCountForTesting() const { return persistentQueries_.size(); }

 private:
  std::vector<std::unique_ptr<TPersistentQueries>> persistentQueries_;
};

// The single instance, created on first use.
TGlobalFIB& GlobalFIB();
// At program end (TOrvaneProgram): the instance is forgotten first, then freed with its
// persistent sets, last first. A later GlobalFIB() creates a new one.
void ReleaseGlobalFIB();

}  // namespace orvane
