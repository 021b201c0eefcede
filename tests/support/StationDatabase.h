#pragma once
// A real station database for tests (Linux only): an embedded Firebird database file in a
// temporary folder, holding the `station` table, connected through TpFIBDatabase.
//
// The embedded engine runs in the test process with a root of its own (configuration, lock
// and temporary files) in a temporary folder, so tests need no server and change nothing of
// the system's. Call UseEmbeddedFirebird() before anything else loads the client library.
// The tests that use it are built into orvane_database_tests, labelled "database", which the
// ThreadSanitizer build's runs leave out, since the engine is not instrumented.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "fib/pFIBDatabase.h"
#include "fib/pFIBError.h"
#include "fib/pFIBQuery.h"
#include "fib/pFIBTransaction.h"

namespace orvane::testing {

namespace station_detail {

inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw EFIBError("mkdtemp a échoué pour " + pattern);
  return pattern;
}

// Where the packaged engine keeps its message file and character sets.
inline std::filesystem::path FirebirdInstallFolder() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib", error)) {
    const auto candidate = entry.path() / "firebird" / "3.0";
    if (std::filesystem::exists(candidate / "firebird.msg", error)) return candidate;
  }
  return "/usr/lib/firebird/3.0";
}

struct EmbeddedRoot {
  std::filesystem::path folder;
  EmbeddedRoot() {
    folder = MakeTempFolder("orvane-firebird-");
    const auto install = FirebirdInstallFolder();
    std::error_code error;
    for (const char* name : {"firebird.msg", "intl", "plugins"}) {
      std::filesystem::create_symlink(install / name, folder / name, error);
    }
    std::filesystem::create_directory(folder / "lock");
    std::filesystem::create_directory(folder / "tmp");
    std::ofstream(folder / "firebird.conf") << "# The test process's own embedded engine.\n"
                                               "Providers = Engine12\n"
                                               "ServerMode = Super\n";
    setenv("FIREBIRD", folder.c_str(), 1);
    setenv("FIREBIRD_LOCK", (folder / "lock").c_str(), 1);
    setenv("FIREBIRD_TMP", (folder / "tmp").c_str(), 1);
  }
  ~EmbeddedRoot() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
};

}  // namespace station_detail

// Points the client library at this process's own embedded engine; the first call decides.
inline const std::filesystem::path& UseEmbeddedFirebird() {
  static station_detail::EmbeddedRoot root;
  return root.folder;
}

class StationDatabase {
 public:
  // Creates the database with the station rows given as (id_station, dictee_copydllsm3).
  explicit StationDatabase(std::vector<std::pair<int32_t, std::string>> stations = {}) {
    UseEmbeddedFirebird();
    folder_ = station_detail::MakeTempFolder("orvane-station-");
    database_ = std::make_unique<TpFIBDatabase>();
    Configure(*database_);
    database_->CreateDatabase();
    Execute("create table station (id_station integer not null primary key, "
            "dictee_copydllsm3 char(1))");
    for (const auto& [id, flag] : stations) AddStation(id, flag);
  }

  ~StationDatabase() {
    database_.reset();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }

  StationDatabase(const StationDatabase&) = delete;
  StationDatabase& operator=(const StationDatabase&) = delete;

  // The connection a caller hands to ExecSQL.
  TpFIBDatabase* Database() { return database_.get(); }
  std::string Path() const { return (folder_ / "station.fdb").string(); }

  // A second, independent connection to the same database.
  std::unique_ptr<TpFIBDatabase> Attach() const {
    auto database = std::make_unique<TpFIBDatabase>();
    Configure(*database);
    database->Open();
    return database;
  }

  void AddStation(int32_t id, const std::string& flag) {
    Execute("insert into station (id_station, dictee_copydllsm3) values (:ID, :FLAG)",
            {static_cast<int64_t>(id), flag});
  }

  // Runs one statement in a transaction of its own on a fresh connection; raises on failure.
  void Execute(const std::string& sql, std::vector<TFIBValue> values = {}) const {
    auto database = Attach();
    TpFIBTransaction transaction;
    transaction.SetDefaultDatabase(database.get());
    transaction.TRParams = {"write", "wait", "concurrency"};
    TpFIBQuery query;
    query.SetDatabase(database.get());
    query.SetTransaction(&transaction);
    query.SetSQL(sql);
    transaction.StartTransaction();
    query.Prepare();
    for (size_t i = 0; i < values.size() && i < query.ParamCount(); ++i) query.Params(i) = values[i];
    query.ExecQuery();
    query.Close();
    transaction.Commit();
  }

  // Every station's dictee_copydllsm3 as committed, read on a fresh connection; nullopt = null.
  std::map<int32_t, std::optional<std::string>> Flags() const {
    auto database = Attach();
    TpFIBTransaction transaction;
    transaction.SetDefaultDatabase(database.get());
    transaction.TRParams = {"read", "concurrency"};
    TpFIBQuery query;
    query.SetDatabase(database.get());
    query.SetTransaction(&transaction);
    query.SetSQL("select id_station, dictee_copydllsm3 from station");
    transaction.StartTransaction();
    std::map<int32_t, std::optional<std::string>> flags;
    for (query.ExecQuery(); !query.Eof(); query.Next()) {
      const auto id = static_cast<int32_t>(std::get<int64_t>(query.Fields(0)));
      const TFIBValue& flag = query.Fields(1);
      flags[id] = std::holds_alternative<std::string>(flag) ? std::optional(std::get<std::string>(flag))
                                                          : std::nullopt;
    }
    query.Close();
    transaction.Commit();
    return flags;
  }

  // One station's dictee_copydllsm3; nullopt when there is no such row or the flag is null.
  std::optional<std::string> Flag(int32_t id) const {
    const auto flags = Flags();
    const auto found = flags.find(id);
    return found == flags.end() ? std::nullopt : found->second;
  }

 private:
  void Configure(TpFIBDatabase& database) const {
    database.DatabaseName = Path();
    database.UserName = "SYSDBA";
    database.Password = "masterkey";
    database.CharSet = "UTF8";
  }

  std::filesystem::path folder_;
  std::unique_ptr<TpFIBDatabase> database_;
};

}  // namespace orvane::testing
