#pragma once
// A connection to a Firebird database through the client library.

#include <cstdint>
#include <set>
#include <string>

#include "fib/FIBClient.h"
#include "fib/FIBComponent.h"
#include "fib/pFIBError.h"

namespace orvane {

class TpFIBTransaction;
class TpFIBQuery;

class TpFIBDatabase : public TFIBComponent {
 public:
  explicit TpFIBDatabase(TFIBComponent* owner = nullptr) : TFIBComponent(owner) {}
  ~TpFIBDatabase() override;

  // A file path, or "host:path" for a server.
  std::string DatabaseName;
  std::string UserName;
  std::string Password;
  // The connection's character set; empty leaves the server's default (NONE).
  std::string CharSet;
  int SQLDialect = 3;

  // Connects; raises EFIBError, also when the client library cannot be loaded.
  void Open();
  // Creates the database file DatabaseName and stays connected to it.
  void CreateDatabase();
  // Ends the transactions and statements still on this connection, then disconnects.
  void Close();
  bool Connected() const { return handle_ != 0; }

  // For the layer's transactions and queries.
  fib::Handle* Handle() { return &handle_; }
  const fib::ClientApi& Api() const { return api_; }
  void AddTransaction(TpFIBTransaction* t) { transactions_.insert(t); }
  void RemoveTransaction(TpFIBTransaction* t) { transactions_.erase(t); }
  void AddQuery(TpFIBQuery* q) { queries_.insert(q); }
  void RemoveQuery(TpFIBQuery* q) { queries_.erase(q); }

 private:
  void LoadApi();

  fib::ClientApi api_{};
  bool apiLoaded_ = false;
  fib::Handle handle_ = 0;
  std::set<TpFIBTransaction*> transactions_;
  std::set<TpFIBQuery*> queries_;
};

}  // namespace orvane
