#include "fib/pFIBQuery.h"

#include <cmath>
#include <cstring>

#include "fib/pFIBDatabase.h"
#include "fib/pFIBError.h"
#include "fib/pFIBTransaction.h"

namespace orvane {
namespace {

constexpr int kCharsetUnicodeFss = 3, kCharsetUtf8 = 4;

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Descriptor areas of n variables, sized as the client expects them.
class Sqlda {
 public:
  explicit Sqlda(int n = 1) { Resize(n); }
  void Resize(int n) {
    if (n < 1) n = 1;
    const size_t bytes = sizeof(fib::XSQLDA) + static_cast<size_t>(n - 1) * sizeof(fib::XSQLVAR);
    storage_.assign((bytes + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    Get()->version = fib::kSqldaVersion1;
    Get()->sqln = static_cast<int16_t>(n);
  }
  fib::XSQLDA* Get() { return reinterpret_cast<fib::XSQLDA*>(storage_.data()); }
  int Count() { return Get()->sqld; }
  fib::XSQLVAR& Var(int i) { return Get()->sqlvar[i]; }

 private:
  std::vector<uint64_t> storage_;
};

// Described variables with room for their data.
struct Area {
  Sqlda sqlda;
  std::vector<std::vector<char>> data;
  std::vector<int16_t> indicators;
};

void Describe(const fib::ClientApi& api, fib::Handle* statement, Sqlda& sqlda, bool bind) {
  auto describe = bind ? api.dsql_describe_bind : api.dsql_describe;
  fib::StatusVector status{};
  describe(status, statement, fib::kSqldaVersion1, sqlda.Get());
  fib::Check(api, status, bind ? "TpFIBQuery.Prepare (paramètres)" : "TpFIBQuery.Prepare (champs)");
  if (sqlda.Count() > sqlda.Get()->sqln) {
    sqlda.Resize(sqlda.Count());
    describe(status, statement, fib::kSqldaVersion1, sqlda.Get());
    fib::Check(api, status, "TpFIBQuery.Prepare");
  }
}

int32_t StatementType(const fib::ClientApi& api, fib::Handle* statement) {
  const char items[] = {fib::isc_info_sql_stmt_type, fib::isc_info_end};
  char buffer[16] = {};
  fib::StatusVector status{};
  api.dsql_sql_info(status, statement, sizeof items, items, sizeof buffer, buffer);
  fib::Check(api, status, "TpFIBQuery.Prepare (type)");
  if (buffer[0] != fib::isc_info_sql_stmt_type) return 0;
  const int length = static_cast<unsigned char>(buffer[1]) | (static_cast<unsigned char>(buffer[2]) << 8);
  int32_t value = 0;
  for (int i = 0; i < length && i < 4; ++i) value |= static_cast<int32_t>(static_cast<unsigned char>(buffer[3 + i])) << (8 * i);
  return value;
}

// Room for a field's value; types without a value form of ours come back as text.
void PrepareField(fib::XSQLVAR& var, std::vector<char>& data, int16_t& indicator) {
  switch (var.sqltype & ~1) {
    case fib::SQL_TEXT:
    case fib::SQL_SHORT:
    case fib::SQL_LONG:
    case fib::SQL_INT64:
    case fib::SQL_FLOAT:
    case fib::SQL_DOUBLE:
    case fib::SQL_BOOLEAN:
      break;
    case fib::SQL_VARYING:
      var.sqllen = static_cast<int16_t>(var.sqllen);
      break;
    case fib::SQL_BLOB:
      var.sqltype = fib::SQL_VARYING;
      var.sqlsubtype = 0;
      var.sqllen = 32000;
      break;
    default:
      var.sqltype = fib::SQL_VARYING;
      var.sqlsubtype = 0;
      var.sqllen = 64;
      break;
  }
  const size_t extra = (var.sqltype & ~1) == fib::SQL_VARYING ? 2 : 0;
  data.assign(static_cast<size_t>(var.sqllen) + extra + 8, 0);
  var.sqltype |= 1;  // always ask for the null indicator
  var.sqldata = data.data();
  var.sqlind = &indicator;
}

// A CHAR field of a multi-byte character set comes padded to its length in bytes; it keeps
// only the padding of its declared length in characters.
std::string FixedText(const fib::XSQLVAR& var) {
  std::string text(var.sqldata, static_cast<size_t>(var.sqllen));
  const int charset = var.sqlsubtype & 0xFF;
  const size_t bytesPerChar = charset == kCharsetUtf8 ? 4 : charset == kCharsetUnicodeFss ? 3 : 1;
  if (bytesPerChar == 1) return text;
  const size_t declared = text.size() / bytesPerChar;
  size_t characters = 0;
  for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  while (characters > declared && !text.empty() && text.back() == ' ') {
    text.pop_back();
    --characters;
  }
  return text;
}

TFIBValue ReadField(const fib::XSQLVAR& var) {
  if (*var.sqlind < 0) return std::monostate{};
  const char* p = var.sqldata;
  const auto scaled = [&](int64_t raw) -> TFIBValue {
    if (var.sqlscale >= 0) return raw;
    return static_cast<double>(raw) / std::pow(10.0, -var.sqlscale);
  };
  switch (var.sqltype & ~1) {
    case fib::SQL_SHORT: { int16_t v; std::memcpy(&v, p, sizeof v); return scaled(v); }
    case fib::SQL_LONG: { int32_t v; std::memcpy(&v, p, sizeof v); return scaled(v); }
    case fib::SQL_INT64: { int64_t v; std::memcpy(&v, p, sizeof v); return scaled(v); }
    case fib::SQL_FLOAT: { float v; std::memcpy(&v, p, sizeof v); return static_cast<double>(v); }
    case fib::SQL_DOUBLE: { double v; std::memcpy(&v, p, sizeof v); return v; }
    case fib::SQL_BOOLEAN: return static_cast<int64_t>(p[0] != 0);
    case fib::SQL_TEXT: return FixedText(var);
    case fib::SQL_VARYING: {
      int16_t length;
      std::memcpy(&length, p, sizeof length);
      if (length < 0 || length > var.sqllen) length = var.sqllen;
      return std::string(p + 2, static_cast<size_t>(length));
    }
    default: return std::monostate{};
  }
}

// Sends the value in its own type; the server converts it to the parameter's type, or fails.
void BindParam(fib::XSQLVAR& var, const TFIBValue& value, std::vector<char>& data, int16_t& indicator) {
  indicator = 0;
  if (std::holds_alternative<std::monostate>(value)) {
    indicator = -1;
    data.assign(static_cast<size_t>(std::max<int16_t>(var.sqllen, 8)) + 2, 0);
  } else if (const auto* i = std::get_if<int64_t>(&value)) {
    var.sqltype = fib::SQL_INT64;
    var.sqlscale = 0;
    var.sqlsubtype = 0;
    var.sqllen = sizeof(int64_t);
    data.assign(sizeof(int64_t), 0);
    std::memcpy(data.data(), i, sizeof *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    var.sqltype = fib::SQL_DOUBLE;
    var.sqlscale = 0;
    var.sqlsubtype = 0;
    var.sqllen = sizeof(double);
    data.assign(sizeof(double), 0);
    std::memcpy(data.data(), d, sizeof *d);
  } else {
    const std::string& s = std::get<std::string>(value);
    if (s.size() > 32767) throw EFIBError("TpFIBQuery.ExecQuery : valeur de paramètre trop longue");
    const bool described_text = (var.sqltype & ~1) == fib::SQL_TEXT || (var.sqltype & ~1) == fib::SQL_VARYING;
    var.sqltype = fib::SQL_TEXT;
    var.sqlscale = 0;
    if (!described_text) var.sqlsubtype = 0;  // otherwise keeps the parameter's character set
    var.sqllen = static_cast<int16_t>(s.size());
    data.assign(s.begin(), s.end());
    data.push_back('\0');
  }
  var.sqltype |= 1;
  var.sqldata = data.data();
  var.sqlind = &indicator;
}

}  // namespace

struct TpFIBQuery::Buffers {
  Area in;
  Area out;
};

TFIBPositionalSQL ToPositionalSQL(const std::string& sql) {
  TFIBPositionalSQL result;
  std::string& out = result.sql;
  out.reserve(sql.size());
  size_t i = 0;
  const size_t n = sql.size();
  while (i < n) {
    const char c = sql[i];
    if (c == '\'' || c == '"') {
      // A literal or a quoted name, its quote doubled inside.
      size_t j = i + 1;
      while (j < n) {
        if (sql[j] == c) {
          if (j + 1 < n && sql[j + 1] == c) { j += 2; continue; }
          break;
        }
        ++j;
      }
      const size_t end = j < n ? j + 1 : n;
      out.append(sql, i, end - i);
      i = end;
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      const size_t end = sql.find('\n', i);
      const size_t stop = end == std::string::npos ? n : end;
      out.append(sql, i, stop - i);
      i = stop;
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      const size_t end = sql.find("*/", i + 2);
      const size_t stop = end == std::string::npos ? n : end + 2;
      out.append(sql, i, stop - i);
      i = stop;
    } else if (c == ':' && i + 1 < n && IsNameChar(sql[i + 1])) {
      size_t j = i + 1;
      while (j < n && IsNameChar(sql[j])) ++j;
      result.names.push_back(sql.substr(i + 1, j - i - 1));
      out += '?';
      i = j;
    } else {
      out += c;
      ++i;
    }
  }
  return result;
}

TpFIBQuery::TpFIBQuery(TFIBComponent* owner) : TFIBComponent(owner) {}

TpFIBQuery::~TpFIBQuery() {
  DestroyComponents();
  try {
    FreeHandle();
  } catch (...) {
    statement_ = 0;
  }
  SetTransaction(nullptr);
  SetDatabase(nullptr);
}

void TpFIBQuery::SetDatabase(TpFIBDatabase* database) {
  if (database == database_) return;
  if (Prepared()) {
    try {
      FreeHandle();
    } catch (...) {
      statement_ = 0;
    }
  }
  if (database_) database_->RemoveQuery(this);
  database_ = database;
  if (database_) database_->AddQuery(this);
}

void TpFIBQuery::SetTransaction(TpFIBTransaction* transaction) {
  if (transaction == transaction_) return;
  try {
    Close();
  } catch (const EFIBError&) {
    // The cursor belongs to the transaction left behind; it ends with it.
  }
  if (transaction_) transaction_->RemoveQuery(this);
  transaction_ = transaction;
  if (transaction_) transaction_->AddQuery(this);
}

void TpFIBQuery::SetSQL(const std::string& sql) {
  if (sql == sql_) return;
  FreeHandle();
  sql_ = sql;
}

void TpFIBQuery::RequireConnection(const char* operation) const {
  const std::string prefix = std::string("TpFIBQuery.") + operation + " : ";
  if (!database_) throw EFIBError(prefix + "aucune base de données");
  if (!database_->Connected()) throw EFIBError(prefix + "la base de données n'est pas connectée");
  if (!transaction_) throw EFIBError(prefix + "aucune transaction");
  if (!transaction_->Active()) throw EFIBError(prefix + "la transaction n'est pas active");
}

void TpFIBQuery::Prepare() {
  RequireConnection("Prepare");
  // The client would run the text only up to the NUL.
  if (sql_.find('\0') != std::string::npos) throw EFIBError("TpFIBQuery.Prepare : caractère nul dans le texte SQL");
  FreeHandle();
  const fib::ClientApi& api = database_->Api();
  const TFIBPositionalSQL positional = ToPositionalSQL(sql_);
  fib::StatusVector status{};
  api.dsql_alloc_statement2(status, database_->Handle(), &statement_);
  fib::Check(api, status, "TpFIBQuery.Prepare");
  try {
    const size_t length = positional.sql.size() <= 65535 ? positional.sql.size() : 0;
    api.dsql_prepare(status, transaction_->Handle(), &statement_, static_cast<unsigned short>(length),
                     positional.sql.c_str(),
                     static_cast<unsigned short>(database_->SQLDialect), nullptr);
    fib::Check(api, status, "TpFIBQuery.Prepare");
    statementType_ = StatementType(api, &statement_);
    auto buffers = std::make_unique<Buffers>();
    Describe(api, &statement_, buffers->in.sqlda, true);
    Describe(api, &statement_, buffers->out.sqlda, false);

    const int inputs = buffers->in.sqlda.Count();
    paramNames_.assign(static_cast<size_t>(inputs), std::string());
    for (int i = 0; i < inputs && static_cast<size_t>(i) < positional.names.size(); ++i) {
      paramNames_[static_cast<size_t>(i)] = positional.names[static_cast<size_t>(i)];
    }
    params_.assign(static_cast<size_t>(inputs), std::monostate{});
    buffers->in.data.resize(static_cast<size_t>(inputs));
    buffers->in.indicators.assign(static_cast<size_t>(inputs), 0);

    Area& out = buffers->out;
    const int outputs = out.sqlda.Count();
    out.data.resize(static_cast<size_t>(outputs));
    out.indicators.assign(static_cast<size_t>(outputs), 0);
    fieldNames_.clear();
    for (int i = 0; i < outputs; ++i) {
      fib::XSQLVAR& var = out.sqlda.Var(i);
      fieldNames_.emplace_back(var.aliasname, static_cast<size_t>(std::clamp<int16_t>(var.aliasname_length, 0, 31)));
      PrepareField(var, out.data[static_cast<size_t>(i)], out.indicators[static_cast<size_t>(i)]);
    }
    fields_.assign(static_cast<size_t>(outputs), std::monostate{});
    buffers_ = std::move(buffers);
  } catch (...) {
    fib::StatusVector ignored{};
    api.dsql_free_statement(ignored, &statement_, fib::DSQL_drop);
    statement_ = 0;
    paramNames_.clear();
    params_.clear();
    fieldNames_.clear();
    fields_.clear();
    throw;
  }
}

bool TpFIBQuery::SetParamByName(const std::string& name, const TFIBValue& value) {
  bool found = false;
  for (size_t i = 0; i < paramNames_.size(); ++i) {
    if (SameName(paramNames_[i], name)) {
      params_[i] = value;
      found = true;
    }
  }
  return found;
}

void TpFIBQuery::ExecQuery() {
  if (!Prepared()) Prepare();
  RequireConnection("ExecQuery");
  if (cursorOpen_) Close();
  const fib::ClientApi& api = database_->Api();

  // Bind into a copy of the described area, so that the next run sees the parameters' own types.
  Area& in = buffers_->in;
  Sqlda bound(in.sqlda.Count());
  std::memcpy(bound.Get(), in.sqlda.Get(),
              sizeof(fib::XSQLDA) + static_cast<size_t>(std::max(in.sqlda.Count(), 1) - 1) * sizeof(fib::XSQLVAR));
  bound.Get()->sqln = static_cast<int16_t>(std::max(in.sqlda.Count(), 1));
  for (int i = 0; i < in.sqlda.Count(); ++i) {
    const size_t k = static_cast<size_t>(i);
    BindParam(bound.Var(i), params_[k], in.data[k], in.indicators[k]);
  }
  const fib::XSQLDA* input = in.sqlda.Count() > 0 ? bound.Get() : nullptr;

  fib::StatusVector status{};
  fields_.assign(fields_.size(), std::monostate{});
  const bool select = statementType_ == fib::isc_info_sql_stmt_select ||
                      statementType_ == fib::isc_info_sql_stmt_select_for_upd;
  if (select) {
    api.dsql_execute(status, transaction_->Handle(), &statement_, fib::kSqldaVersion1, input);
    fib::Check(api, status, "TpFIBQuery.ExecQuery");
    cursorOpen_ = true;
    eof_ = false;
    Next();
  } else if (buffers_->out.sqlda.Count() > 0) {
    api.dsql_execute2(status, transaction_->Handle(), &statement_, fib::kSqldaVersion1, input,
                      buffers_->out.sqlda.Get());
    fib::Check(api, status, "TpFIBQuery.ExecQuery");
    ReadRow();
    eof_ = false;
  } else {
    api.dsql_execute(status, transaction_->Handle(), &statement_, fib::kSqldaVersion1, input);
    fib::Check(api, status, "TpFIBQuery.ExecQuery");
    eof_ = true;
  }
}

bool TpFIBQuery::Next() {
  if (!cursorOpen_ || !database_ || !database_->Connected()) {
    eof_ = true;
    return false;
  }
  const fib::ClientApi& api = database_->Api();
  fib::StatusVector status{};
  const fib::ISC_STATUS result = api.dsql_fetch(status, &statement_, fib::kSqldaVersion1, buffers_->out.sqlda.Get());
  if (result == 100) {
    eof_ = true;
    fields_.assign(fields_.size(), std::monostate{});
    return false;
  }
  fib::Check(api, status, "TpFIBQuery.Next");
  ReadRow();
  eof_ = false;
  return true;
}

void TpFIBQuery::ReadRow() {
  Sqlda& out = buffers_->out.sqlda;
  for (int i = 0; i < out.Count(); ++i) fields_[static_cast<size_t>(i)] = ReadField(out.Var(i));
}

const TFIBValue& TpFIBQuery::FieldByName(const std::string& name) const {
  for (size_t i = 0; i < fieldNames_.size(); ++i) {
    if (SameName(fieldNames_[i], name)) return fields_[i];
  }
  throw EFIBError("TpFIBQuery.FieldByName : champ inconnu \"" + name + "\"");
}

void TpFIBQuery::Close() {
  if (!cursorOpen_) return;
  cursorOpen_ = false;
  eof_ = true;
  if (!database_ || !database_->Connected()) return;
  fib::StatusVector status{};
  database_->Api().dsql_free_statement(status, &statement_, fib::DSQL_close);
  fib::Check(database_->Api(), status, "TpFIBQuery.Close");
}

void TpFIBQuery::FreeHandle() {
  cursorOpen_ = false;
  eof_ = true;
  paramNames_.clear();
  params_.clear();
  fieldNames_.clear();
  fields_.clear();
  buffers_.reset();
  if (!statement_) return;
  if (!database_ || !database_->Connected()) {
    statement_ = 0;
    return;
  }
  fib::StatusVector status{};
  database_->Api().dsql_free_statement(status, &statement_, fib::DSQL_drop);
  statement_ = 0;
  fib::Check(database_->Api(), status, "TpFIBQuery.FreeHandle");
}

void TpFIBQuery::StatementGone() {
  try {
    FreeHandle();
  } catch (const EFIBError&) {
    statement_ = 0;
  }
}

}  // namespace orvane
