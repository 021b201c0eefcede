#include "fib/pFIBDatabase.h"

#include <vector>

#include "fib/pFIBQuery.h"
#include "fib/pFIBTransaction.h"

namespace orvane {
namespace {

constexpr char isc_dpb_version1 = 1, isc_dpb_user_name = 28, isc_dpb_password = 29,
               isc_dpb_lc_ctype = 48, isc_dpb_sql_dialect = 63;

void AddItem(std::string& block, char item, const std::string& value) {
  if (value.size() > 255) throw EFIBError("TpFIBDatabase : paramètre de connexion trop long");
  block += item;
  block += static_cast<char>(value.size());
  block += value;
}

// A text literal of SQL: quotes doubled.
std::string Quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    result += c;
    if (c == '\'') result += '\'';
  }
  return result + "'";
}

// The character set goes into the statement that creates a database: a name, nothing more.
void RequireName(const std::string& name) {
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) throw EFIBError("TpFIBDatabase : jeu de caractères invalide \"" + name + "\"");
  }
}

void RequireLength(const std::string& text, const char* what) {
  if (text.size() > 32767) throw EFIBError(std::string("TpFIBDatabase : ") + what + " trop long");
}

}  // namespace

TpFIBDatabase::~TpFIBDatabase() {
  DestroyComponents();
  try {
    Close();
  } catch (...) {
    // The handle is released either way; a destructor reports nothing.
  }
  for (TpFIBTransaction* t : std::set(transactions_)) t->SetDefaultDatabase(nullptr);
  for (TpFIBQuery* q : std::set(queries_)) q->SetDatabase(nullptr);
}

void TpFIBDatabase::LoadApi() {
  if (!apiLoaded_) {
    api_ = fib::LoadClientApi();
    apiLoaded_ = true;
  }
}

void TpFIBDatabase::Open() {
  if (Connected()) return;
  RequireLength(DatabaseName, "nom de base de données");
  LoadApi();
  std::string dpb(1, isc_dpb_version1);
  if (!UserName.empty()) AddItem(dpb, isc_dpb_user_name, UserName);
  if (!Password.empty()) AddItem(dpb, isc_dpb_password, Password);
  if (!CharSet.empty()) AddItem(dpb, isc_dpb_lc_ctype, CharSet);
  AddItem(dpb, isc_dpb_sql_dialect, std::string(1, static_cast<char>(SQLDialect)));
  fib::StatusVector status{};
  fib::Handle handle = 0;
  api_.attach_database(status, static_cast<short>(DatabaseName.size()), DatabaseName.c_str(),
                       &handle, static_cast<short>(dpb.size()), dpb.data());
  fib::Check(api_, status, "TpFIBDatabase.Open(" + DatabaseName + ")");
  handle_ = handle;
}

void TpFIBDatabase::CreateDatabase() {
  if (Connected()) throw EFIBError("TpFIBDatabase.CreateDatabase : déjà connectée");
  RequireName(CharSet);
  RequireLength(DatabaseName, "nom de base de données");
  LoadApi();
  std::string sql = "CREATE DATABASE " + Quoted(DatabaseName);
  if (!UserName.empty()) sql += " USER " + Quoted(UserName);
  if (!Password.empty()) sql += " PASSWORD " + Quoted(Password);
  if (!CharSet.empty()) sql += " DEFAULT CHARACTER SET " + CharSet;
  fib::StatusVector status{};
  fib::Handle handle = 0, transaction = 0;
  api_.dsql_execute_immediate(status, &handle, &transaction, static_cast<unsigned short>(sql.size()),
                              sql.c_str(), static_cast<unsigned short>(SQLDialect), nullptr);
  fib::Check(api_, status, "TpFIBDatabase.CreateDatabase(" + DatabaseName + ")");
  handle_ = handle;
}

void TpFIBDatabase::Close() {
  if (!Connected()) return;
  // A statement or transaction left open would keep the detach from succeeding.
  for (TpFIBQuery* q : std::set(queries_)) q->StatementGone();
  for (TpFIBTransaction* t : std::set(transactions_)) {
    if (!t->Active()) continue;
    try {
      t->Rollback();
    } catch (const EFIBError&) {
      t->Forget();
    }
  }
  fib::StatusVector status{};
  api_.detach_database(status, &handle_);
  // A broken connection cannot be detached cleanly; the client has released it all the same.
  handle_ = 0;
  fib::Check(api_, status, "TpFIBDatabase.Close");
}

}  // namespace orvane
