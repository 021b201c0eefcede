// The database helpers' parts that need no database: vocabulary, markers, a missing client.

#include "common/Global_FIB.h"

#include <gtest/gtest.h>

#include "fib/FirebirdLibrary.h"
#include "tests/support/ScopedPort.h"

namespace orvane {
namespace {

class CountingLibrary : public FirebirdLibrary {
 public:
  void* Entry(const char*) override {
    ++calls;
    throw EFIBError("absente");
  }
  int calls = 0;
};

TEST(GlobalFIB, TransactionWordsAndTheirParameterBlock) {
  std::unique_ptr<TpFIBTransaction> write(GlobalFIB().CreateTransaction(nullptr, nullptr, false, true));
  EXPECT_EQ(write->TRParams, (std::vector<std::string>{"write", "nowait", "rec_version", "read_committed"}));
  EXPECT_EQ(write->ParameterBlock(), std::string("\x03\x09\x07\x11\x0f"));
  EXPECT_EQ(write->TimeoutAction, TTransactionAction::Commit);
  EXPECT_EQ(write->TimeoutMs, 0u);
  std::unique_ptr<TpFIBTransaction> read(GlobalFIB().CreateTransaction(nullptr, nullptr, true, false));
  EXPECT_EQ(read->ParameterBlock(), std::string("\x03\x08\x06\x12\x0f"));
  EXPECT_FALSE(read->Active());
  read->TRParams.push_back("isc_tpb_lock_timeout_typo");
  EXPECT_THROW(read->ParameterBlock(), EFIBError);
}

TEST(GlobalFIB, SameInstanceUntilReleased) {
  TGlobalFIB* first = &GlobalFIB();
  EXPECT_EQ(&GlobalFIB(), first);
  first->AddPersistentQueriesForTesting(nullptr, true, true);
  ReleaseGlobalFIB();
  EXPECT_EQ(GlobalFIB().PersistentQueriesCountForTesting(), 0u);
}

TEST(FIBQuery, NamedParametersBecomeMarkersOutsideLiteralsQuotedNamesAndComments) {
  const TFIBPositionalSQL positional = ToPositionalSQL(
      "update station s set s.x=':NOT' , \"a:B\"=:V1 -- :C\n where s.id=:ID_STATION /* :D */ and y=:V1||'it''s :E'");
  EXPECT_EQ(positional.sql,
            "update station s set s.x=':NOT' , \"a:B\"=? -- :C\n where s.id=? /* :D */ and y=?||'it''s :E'");
  EXPECT_EQ(positional.names, (std::vector<std::string>{"V1", "ID_STATION", "V1"}));
  EXPECT_EQ(ToPositionalSQL("select 'open").sql, "select 'open");
  EXPECT_TRUE(ToPositionalSQL("select a:b from t").names == std::vector<std::string>{"b"});
}

TEST(ExecSQL, NoDatabaseGivesFalseAndLoadsNothing) {
  CountingLibrary library;
  ScopedPort<FirebirdLibrary> scoped(library);
  EXPECT_FALSE(GlobalFIB().ExecSQL("update station s set s.dictee_copydllsm3='O' where s.id_station =:ID_STATION",
                                   {int64_t{1}}, nullptr));
  EXPECT_EQ(library.calls, 0);
}

TEST(FIBDatabase, MissingClientLibraryIsAClearErrorOfTheConnection) {
  std::unique_ptr<FirebirdLibrary> absent = MakeFirebirdLibrary("orvane-absent-fbclient");
  ScopedPort<FirebirdLibrary> scoped(*absent);
  TpFIBDatabase database;
  database.DatabaseName = "station.fdb";
  try {
    database.Open();
    FAIL() << "connected without a client library";
  } catch (const EFIBError& error) {
    EXPECT_NE(error.Message().find("orvane-absent-fbclient"), std::string::npos) << error.Message();
  }
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(GlobalFIB().ExecSQL("update station set dictee_copydllsm3='N'", {}, &database));
}

}  // namespace
}  // namespace orvane
