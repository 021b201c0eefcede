#include "common/Global_FIB.h"

namespace orvane {
namespace {

TGlobalFIB* instance = nullptr;

}  // namespace

TPersistentQueries::~TPersistentQueries() {
  try {
    if (transaction_ && transaction_->Active()) transaction_->Commit();
  } catch (const EFIBError&) {
    // The transaction's own destructor rolls it back.
  }
}

TGlobalFIB::~TGlobalFIB() {
  while (!persistentQueries_.empty()) persistentQueries_.pop_back();
}

TpFIBTransaction* TGlobalFIB::CreateTransaction(TFIBComponent* owner, TpFIBDatabase* database,
                                                bool readOnly, bool noWait) const {
  auto* transaction = new TpFIBTransaction(owner);
  transaction->SetDefaultDatabase(database);
  // Exactly these words: nothing of the layer's is added when it starts.
  transaction->TRParams.clear();
  transaction->TRParams.push_back(readOnly ? "read" : "write");
  if (noWait) {
    transaction->TRParams.push_back("nowait");
    transaction->TRParams.push_back("rec_version");
  } else {
    transaction->TRParams.push_back("wait");
    transaction->TRParams.push_back("no_rec_version");
  }
  transaction->TRParams.push_back("read_committed");
  transaction->TimeoutAction = TTransactionAction::Commit;
  return transaction;
}

TpFIBQuery* TGlobalFIB::CreateQuery(TFIBComponent* owner, TpFIBDatabase* database,
                                    TpFIBTransaction* transaction, const std::string& sql) const {
  auto* query = new TpFIBQuery(owner);
  query->SetDatabase(database);
  query->SetTransaction(transaction);
  query->SetSQL(sql);
  return query;
}

TpFIBQuery* TGlobalFIB::CreateQueryWithTransaction(TFIBComponent* owner, TpFIBDatabase* database,
                                                   bool readOnly, const std::string& sql,
                                                   bool noWait) const {
  TpFIBQuery* query = CreateQuery(owner, database, nullptr, sql);
  query->SetTransaction(CreateTransaction(query, database, readOnly, noWait));
  return query;
}

void TGlobalFIB::StartIfInactive(TpFIBTransaction* transaction) const {
  if (!transaction->Active()) transaction->StartTransaction();
}

void TGlobalFIB::CommitIfActive(TpFIBTransaction* transaction) const {
  if (transaction->Active()) transaction->Commit();
}

void TGlobalFIB::RollbackIfActive(TpFIBTransaction* transaction) const {
  if (transaction->Active()) transaction->Rollback();
}

bool TGlobalFIB::ExecSQL(const std::string& sql, const std::vector<TFIBValue>& values,
                         TpFIBDatabase* database) const {
  if (!database) return false;
  const std::vector<TFIBValue> copied = values;
  bool result = true;
  std::unique_ptr<TpFIBQuery> query(CreateQueryWithTransaction(nullptr, database, false, sql, true));
  try {
    StartIfInactive(query->Transaction());
    query->Prepare();
    for (size_t i = 0; i < copied.size() && i < query->ParamCount(); ++i) query->Params(i) = copied[i];
    query->ExecQuery();
    query->Close();
    CommitIfActive(query->Transaction());
  } catch (...) {
    result = false;
    // A failing rollback goes to the caller; the query and its transaction are freed first.
    RollbackIfActive(query->Transaction());
  }
  return result;
}

TPersistentQueries& TGlobalFIB::AddPersistentQueriesForTesting(TpFIBDatabase* database, bool readOnly, bool noWait) {
  std::unique_ptr<TpFIBTransaction> transaction(CreateTransaction(nullptr, database, readOnly, noWait));
  persistentQueries_.push_back(std::make_unique<TPersistentQueries>(std::move(transaction)));
  return *persistentQueries_.back();
}

TGlobalFIB& GlobalFIB() {
  if (!instance) instance = new TGlobalFIB();
  return *instance;
}

void ReleaseGlobalFIB() {
  TGlobalFIB* released = instance;
  instance = nullptr;
  delete released;
}

}  // namespace orvane
