#include "fib/pFIBTransaction.h"

#include <array>
#include <utility>

#include "fib/pFIBDatabase.h"
#include "fib/pFIBError.h"
#include "fib/pFIBQuery.h"

namespace orvane {
namespace {

constexpr char isc_tpb_version3 = 3;

constexpr std::array<std::pair<const char*, char>, 18> kWords{{
    {"consistency", 1}, {"concurrency", 2}, {"shared", 3}, {"protected", 4}, {"exclusive", 5},
    {"wait", 6}, {"nowait", 7}, {"read", 8}, {"write", 9}, {"verb_time", 12},
    {"commit_time", 13}, {"ignore_limbo", 14}, {"read_committed", 15}, {"autocommit", 16},
    {"rec_version", 17}, {"no_rec_version", 18}, {"restart_requests", 19}, {"no_auto_undo", 20},
}};

}  // namespace

TpFIBTransaction::~TpFIBTransaction() {
  DestroyComponents();
  if (Active()) {
    try {
      Rollback();
    } catch (...) {
      Forget();
    }
  }
  for (TpFIBQuery* q : std::set(queries_)) q->SetTransaction(nullptr);
  SetDefaultDatabase(nullptr);
}

void TpFIBTransaction::SetDefaultDatabase(TpFIBDatabase* database) {
  if (database == database_) return;
  if (Active()) throw EFIBError("TpFIBTransaction : la transaction est active");
  if (database_) database_->RemoveTransaction(this);
  database_ = database;
  if (database_) database_->AddTransaction(this);
}

std::string TpFIBTransaction::ParameterBlock() const {
  std::string block(1, isc_tpb_version3);
  for (std::string word : TRParams) {
    if (word.rfind("isc_tpb_", 0) == 0) word.erase(0, 8);
    bool found = false;
    for (const auto& [name, code] : kWords) {
      if (word == name) {
        block += code;
        found = true;
        break;
      }
    }
    if (!found) throw EFIBError("TpFIBTransaction : paramètre de transaction inconnu \"" + word + "\"");
  }
  return block;
}

void TpFIBTransaction::StartTransaction() {
  if (Active()) throw EFIBError("TpFIBTransaction.StartTransaction : la transaction est déjà active");
  if (!database_) throw EFIBError("TpFIBTransaction.StartTransaction : aucune base de données");
  if (!database_->Connected()) {
    throw EFIBError("TpFIBTransaction.StartTransaction : la base de données n'est pas connectée");
  }
  const std::string tpb = ParameterBlock();
  fib::TransactionBlock block{database_->Handle(), static_cast<int32_t>(tpb.size()), tpb.data()};
  fib::StatusVector status{};
  fib::Handle handle = 0;
  database_->Api().start_multiple(status, &handle, 1, &block);
  fib::Check(database_->Api(), status, "TpFIBTransaction.StartTransaction");
  handle_ = handle;
}

void TpFIBTransaction::Commit() {
  if (!Active()) throw EFIBError("TpFIBTransaction.Commit : la transaction n'est pas active");
  fib::StatusVector status{};
  database_->Api().commit_transaction(status, &handle_);
  fib::Check(database_->Api(), status, "TpFIBTransaction.Commit");
  Ended();
}

void TpFIBTransaction::Rollback() {
  if (!Active()) throw EFIBError("TpFIBTransaction.Rollback : la transaction n'est pas active");
  fib::StatusVector status{};
  database_->Api().rollback_transaction(status, &handle_);
  fib::Check(database_->Api(), status, "TpFIBTransaction.Rollback");
  Ended();
}

void TpFIBTransaction::Forget() { Ended(); }

void TpFIBTransaction::Ended() {
  handle_ = 0;
  // Ending a transaction closes the cursors that ran in it.
  for (TpFIBQuery* q : queries_) q->CursorEnded();
}

}  // namespace orvane
