#pragma once
// A Firebird transaction whose parameter block is built from words ("write", "nowait", ...).

#include <set>
#include <string>
#include <vector>

#include "fib/FIBClient.h"
#include "fib/FIBComponent.h"

namespace orvane {

class TpFIBDatabase;
class TpFIBQuery;

enum class TTransactionAction { Rollback, Commit, RollbackRetaining, CommitRetaining };

class TpFIBTransaction : public TFIBComponent {
 public:
  explicit TpFIBTransaction(TFIBComponent* owner = nullptr) : TFIBComponent(owner) {}
  ~TpFIBTransaction() override;

  TpFIBDatabase* DefaultDatabase() const { return database_; }
  void SetDefaultDatabase(TpFIBDatabase* database);

  // Parameter words without their "isc_tpb_" prefix, in block order.
  std::vector<std::string> TRParams;
  // What an idle timeout does; no timeout runs while TimeoutMs is 0.
  TTransactionAction TimeoutAction = TTransactionAction::Rollback;
  unsigned TimeoutMs = 0;

  // The parameter block: version 3, then one byte per word. Raises EFIBError on an unknown word.
  std::string ParameterBlock() const;

  void StartTransaction();
  void Commit();
  void Rollback();
  // Started and not yet ended.
  bool Active() const { return handle_ != 0; }

  // For the layer's queries and database.
  fib::Handle* Handle() { return &handle_; }
  void AddQuery(TpFIBQuery* q) { queries_.insert(q); }
  void RemoveQuery(TpFIBQuery* q) { queries_.erase(q); }
  // The connection went away: the server has ended the transaction.
  void Forget();

 private:
  void Ended();

  TpFIBDatabase* database_ = nullptr;
  fib::Handle handle_ = 0;
  std::set<TpFIBQuery*> queries_;
};

}  // namespace orvane
