#pragma once
// One SQL statement with named parameters (":NAME"), run in a transaction.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "fib/FIBClient.h"
#include "fib/FIBComponent.h"

namespace orvane {

class TpFIBDatabase;
class TpFIBTransaction;

// A parameter or field value: null, integer, floating point or text.
using TFIBValue = std::variant<std::monostate, int64_t, double, std::string>;

// SQL with each ":NAME" outside literals, quoted names and comments made a "?" marker.
struct TFIBPositionalSQL {
  std::string sql;
  std::vector<std::string> names;  // in order of appearance, one per marker
};
TFIBPositionalSQL ToPositionalSQL(const std::string& sql);

class TpFIBQuery : public TFIBComponent {
 public:
  explicit TpFIBQuery(TFIBComponent* owner = nullptr);
  ~TpFIBQuery() override;

  TpFIBDatabase* Database() const { return database_; }
  void SetDatabase(TpFIBDatabase* database);
  TpFIBTransaction* Transaction() const { return transaction_; }
  void SetTransaction(TpFIBTransaction* transaction);
  const std::string& SQL() const { return sql_; }
  void SetSQL(const std::string& sql);

  // Prepares the statement in the transaction, which has to be active.
  void Prepare();
  bool Prepared() const { return statement_ != 0; }
  // The statement's parameters, known once prepared; all null after Prepare.
  size_t ParamCount() const { return params_.size(); }
  const std::string& ParamName(size_t index) const { return paramNames_.at(index); }
  TFIBValue& Params(size_t index) { return params_.at(index); }
  // Sets every parameter of that name (compared without regard to case); false when none is.
  bool SetParamByName(const std::string& name, const TFIBValue& value);

  // Runs the statement (preparing it if needed); a select is positioned on its first row.
  void ExecQuery();
  // Moves to the next row of a select; false at the end.
  bool Next();
  bool Eof() const { return eof_; }
  size_t FieldCount() const { return fieldNames_.size(); }
  const std::string& FieldName(size_t index) const { return fieldNames_.at(index); }
  const TFIBValue& Fields(size_t index) const { return fields_.at(index); }
  const TFIBValue& FieldByName(const std::string& name) const;
  // Closes a select's cursor; the statement stays prepared.
  void Close();
  // Releases the statement.
  void FreeHandle();

  // For the transaction and the database: the server has dropped the cursor or the statement.
  void CursorEnded() { cursorOpen_ = false; }
  void StatementGone();

 private:
  struct Buffers;
  void RequireConnection(const char* operation) const;
  void ReadRow();

  TpFIBDatabase* database_ = nullptr;
  TpFIBTransaction* transaction_ = nullptr;
  std::string sql_;
  fib::Handle statement_ = 0;
  int32_t statementType_ = 0;
  bool cursorOpen_ = false;
  bool eof_ = true;
  std::vector<std::string> paramNames_;
  std::vector<TFIBValue> params_;
  std::vector<std::string> fieldNames_;
  std::vector<TFIBValue> fields_;
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace orvane
