// ExecSQL and the data-access layer against the real embedded Firebird engine.

#include "common/Global_FIB.h"

#include <gtest/gtest.h>

#include "tests/support/StationDatabase.h"

namespace orvane {
namespace {

using testing::StationDatabase;
using Flags = std::map<int32_t, std::optional<std::string>>;

const std::string kSetFlag = "update station s set s.dictee_copydllsm3='O' where s.id_station =:ID_STATION";
const std::string kClearFlag = "update station s set s.dictee_copydllsm3='N' where s.id_station =:ID_STATION";

// Transactions and prepared statements that the connection still holds open on the server.
std::pair<int64_t, int64_t> OpenOnServer(TpFIBDatabase* database) {
  TpFIBTransaction transaction;
  transaction.SetDefaultDatabase(database);
  transaction.TRParams = {"read", "concurrency"};
  TpFIBQuery query;
  query.SetDatabase(database);
  query.SetTransaction(&transaction);
  query.SetSQL("select (select count(*) from mon$transactions t where t.mon$attachment_id = current_connection), "
               "(select count(*) from mon$statements m where m.mon$attachment_id = current_connection) "
               "from rdb$database");
  transaction.StartTransaction();
  query.ExecQuery();
  // Less this query and its own transaction.
  std::pair<int64_t, int64_t> counts{std::get<int64_t>(query.Fields(0)) - 1, std::get<int64_t>(query.Fields(1)) - 1};
  query.Close();
  transaction.Commit();
  return counts;
}

TEST(ExecSQLOnDatabase, TheSystemsTwoStatementsChangeExactlyTheirStationsRow) {
  StationDatabase db({{1, "N"}, {2, "N"}, {3, "O"}});
  EXPECT_TRUE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{2}}, db.Database()));
  EXPECT_EQ(db.Flags(), (Flags{{1, "N"}, {2, "O"}, {3, "O"}}));
  EXPECT_TRUE(GlobalFIB().ExecSQL(kClearFlag, {int64_t{3}}, db.Database()));
  EXPECT_EQ(db.Flags(), (Flags{{1, "N"}, {2, "O"}, {3, "N"}}));
  EXPECT_EQ(OpenOnServer(db.Database()), (std::pair<int64_t, int64_t>{0, 0}));
}

TEST(ExecSQLOnDatabase, StationWithoutRowCommitsAndChangesNothing) {
  StationDatabase db({{1, "N"}});
  EXPECT_TRUE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{-1}}, db.Database()));
  EXPECT_EQ(db.Flags(), (Flags{{1, "N"}}));
}

TEST(ExecSQLOnDatabase, RowLockedByAnotherConnectionFailsAtOnceAndLeavesTheRow) {
  StationDatabase db({{5, "N"}});
  auto other = db.Attach();
  TpFIBTransaction holder;
  holder.SetDefaultDatabase(other.get());
  holder.TRParams = {"write", "wait", "concurrency"};
  TpFIBQuery update;
  update.SetDatabase(other.get());
  update.SetTransaction(&holder);
  update.SetSQL("update station set dictee_copydllsm3 = 'X' where id_station = 5");
  holder.StartTransaction();
  update.ExecQuery();

  // A waiting transaction would block here for good, since the holder is this thread's.
  EXPECT_FALSE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{5}}, db.Database()));
  EXPECT_EQ(OpenOnServer(db.Database()), (std::pair<int64_t, int64_t>{0, 0}));

  holder.Rollback();
  EXPECT_EQ(db.Flag(5), "N");
  EXPECT_TRUE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{5}}, db.Database()));
  EXPECT_EQ(db.Flag(5), "O");
}

TEST(ExecSQLOnDatabase, StatementsThatDoNotRunRollBackAndTheNextCallStartsAfresh) {
  StationDatabase db({{1, "N"}, {2, "N"}});
  const std::vector<std::pair<std::string, std::vector<TFIBValue>>> failing{
      {"update station s set s.dictee_copydllsm3='O' wher s.id_station =:ID_STATION", {int64_t{1}}},
      {"update station s set s.dictee_copydllsm4='O' where s.id_station =:ID_STATION", {int64_t{1}}},
      {"update stations s set s.dictee_copydllsm3='O' where s.id_station =:ID_STATION", {int64_t{1}}},
      {kSetFlag, {std::string("un")}},
      {"update station s set s.dictee_copydllsm3=:F where s.id_station =:ID_STATION", {std::string("OO"), int64_t{1}}},
      {"update station s set s.id_station = 2 where s.id_station = :ID_STATION", {int64_t{1}}},
      {kSetFlag + std::string(1, '\0') + " or 1=1", {int64_t{1}}},
  };
  for (const auto& [sql, values] : failing) {
    EXPECT_FALSE(GlobalFIB().ExecSQL(sql, values, db.Database())) << sql;
    EXPECT_EQ(OpenOnServer(db.Database()), (std::pair<int64_t, int64_t>{0, 0})) << sql;
  }
  EXPECT_EQ(db.Flags(), (Flags{{1, "N"}, {2, "N"}}));
  EXPECT_TRUE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}}, db.Database()));
  EXPECT_EQ(db.Flags(), (Flags{{1, "O"}, {2, "N"}}));
}

TEST(ExecSQLOnDatabase, ValuesAreBoundByPositionExtraOnesIgnoredMissingOnesNull) {
  StationDatabase db({{1, "N"}, {2, "N"}, {3, "N"}});
  const std::string sql = "update station set dictee_copydllsm3 = :FLAG where id_station = :ID";
  EXPECT_TRUE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}, int64_t{2}}, db.Database()));
  EXPECT_TRUE(GlobalFIB().ExecSQL(sql, {std::string("O"), int64_t{2}, std::string("ignored")}, db.Database()));
  EXPECT_TRUE(GlobalFIB().ExecSQL(sql, {std::monostate{}, 3.0}, db.Database()));
  EXPECT_TRUE(GlobalFIB().ExecSQL(sql, {std::string("X")}, db.Database()));
  EXPECT_EQ(db.Flags(), (Flags{{1, "O"}, {2, "O"}, {3, std::nullopt}}));
}

TEST(ExecSQLOnDatabase, ConnectionThatIsNotOpenGivesFalse) {
  StationDatabase db({{1, "N"}});
  auto closed = db.Attach();
  closed->Close();
  EXPECT_FALSE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}}, closed.get()));
  TpFIBDatabase never;
  EXPECT_FALSE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}}, &never));
  EXPECT_EQ(db.Flag(1), "N");
}

TEST(ExecSQLOnDatabase, ConnectionEndedByTheServerGivesFalseAndClosesCleanly) {
  StationDatabase db({{1, "N"}});
  auto victim = db.Attach();
  int64_t id = 0;
  {
    TpFIBTransaction t;
    t.SetDefaultDatabase(victim.get());
    t.TRParams = {"read", "read_committed"};
    TpFIBQuery q;
    q.SetDatabase(victim.get());
    q.SetTransaction(&t);
    q.SetSQL("select current_connection from rdb$database");
    t.StartTransaction();
    q.ExecQuery();
    id = std::get<int64_t>(q.Fields(0));
    q.Close();
    t.Commit();
  }
  db.Execute("delete from mon$attachments where mon$attachment_id = :ID", {id});
  EXPECT_FALSE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}}, victim.get()));
  EXPECT_FALSE(GlobalFIB().ExecSQL(kSetFlag, {int64_t{1}}, victim.get()));
  try {
    victim->Close();
  } catch (const EFIBError&) {
    // Detaching a connection the server ended may report it; the handle is gone either way.
  }
  EXPECT_FALSE(victim->Connected());
  EXPECT_EQ(db.Flag(1), "N");
}

TEST(FIBQueryOnDatabase, SelectReadsEachValueTypeAndTextRoundTrips) {
  StationDatabase db;
  TpFIBDatabase* database = db.Database();
  TpFIBQuery* query = GlobalFIB().CreateQueryWithTransaction(
      nullptr, database, true,
      "select 7, 2.5e0, cast(12.25 as numeric(9,2)), cast(:TEXT as varchar(20)), null, "
      "cast('ab' as char(4)) as padded, date '2026-12-09' from rdb$database",
      true);
  std::unique_ptr<TpFIBQuery> owned(query);
  GlobalFIB().StartIfInactive(query->Transaction());
  query->Prepare();
  ASSERT_EQ(query->ParamCount(), 1u);
  EXPECT_EQ(query->ParamName(0), "TEXT");
  EXPECT_TRUE(query->SetParamByName("text", std::string("Désactivé")));
  query->ExecQuery();
  ASSERT_FALSE(query->Eof());
  EXPECT_EQ(query->Fields(0), TFIBValue(int64_t{7}));
  EXPECT_EQ(query->Fields(1), TFIBValue(2.5));
  EXPECT_EQ(query->Fields(2), TFIBValue(12.25));
  EXPECT_EQ(query->Fields(3), TFIBValue(std::string("Désactivé")));
  EXPECT_EQ(query->Fields(4), TFIBValue());
  EXPECT_EQ(query->FieldByName("PADDED"), TFIBValue(std::string("ab  ")));
  EXPECT_EQ(query->Fields(6), TFIBValue(std::string("2026-12-09")));
  EXPECT_FALSE(query->Next());
  EXPECT_TRUE(query->Eof());
  query->Close();
  GlobalFIB().CommitIfActive(query->Transaction());
  EXPECT_FALSE(query->Transaction()->Active());
}

TEST(FIBQueryOnDatabase, PreparedStatementRunsAgainWithValuesOfOtherTypesAndReturnsItsRow) {
  StationDatabase db({{1, "N"}, {2, "N"}});
  std::unique_ptr<TpFIBQuery> query(GlobalFIB().CreateQueryWithTransaction(
      nullptr, db.Database(), false,
      "update station set dictee_copydllsm3 = :FLAG where id_station = :ID returning id_station, dictee_copydllsm3",
      true));
  GlobalFIB().StartIfInactive(query->Transaction());
  query->Prepare();
  query->Params(0) = std::string("O");
  query->Params(1) = int64_t{1};
  query->ExecQuery();
  EXPECT_EQ(query->FieldByName("DICTEE_COPYDLLSM3"), TFIBValue(std::string("O")));
  query->Params(0) = std::monostate{};
  query->Params(1) = std::string("2");
  query->ExecQuery();
  EXPECT_EQ(query->Fields(0), TFIBValue(int64_t{2}));
  EXPECT_EQ(query->Fields(1), TFIBValue());
  GlobalFIB().CommitIfActive(query->Transaction());
  EXPECT_EQ(db.Flags(), (Flags{{1, "O"}, {2, std::nullopt}}));
}

TEST(FIBConnectionOnDatabase, ClosingEndsTheTransactionsAndStatementsStillOnIt) {
  StationDatabase db({{1, "N"}});
  auto connection = db.Attach();
  std::unique_ptr<TpFIBQuery> query(GlobalFIB().CreateQueryWithTransaction(
      nullptr, connection.get(), false, "update station set dictee_copydllsm3 = 'O'", false));
  GlobalFIB().StartIfInactive(query->Transaction());
  query->ExecQuery();
  connection->Close();
  EXPECT_FALSE(query->Transaction()->Active());
  EXPECT_FALSE(query->Prepared());
  EXPECT_EQ(db.Flag(1), "N");
  // Freed after its connection: nothing is left to release twice.
  query.reset();
  connection.reset();
}

TEST(GlobalFIBOnDatabase, ProgramEndCommitsPersistentSetsAndForgetsTheInstance) {
  StationDatabase db({{1, "N"}, {2, "N"}});
  TGlobalFIB& before = GlobalFIB();
  for (int32_t id : {1, 2}) {
    TPersistentQueries& set = before.AddPersistentQueriesForTesting(db.Database(), false, true);
    auto* query = GlobalFIB().CreateQuery(set.Transaction(), db.Database(), set.Transaction(),
                                          "update station set dictee_copydllsm3 = 'O' where id_station = :ID");
    set.Queries.push_back(query);
    GlobalFIB().StartIfInactive(set.Transaction());
    query->Prepare();
    query->Params(0) = int64_t{id};
    query->ExecQuery();
  }
  EXPECT_EQ(db.Flags(), (Flags{{1, "N"}, {2, "N"}}));
  ReleaseGlobalFIB();
  EXPECT_EQ(db.Flags(), (Flags{{1, "O"}, {2, "O"}}));
  EXPECT_EQ(GlobalFIB().PersistentQueriesCountForTesting(), 0u);
}

}  // namespace
}  // namespace orvane
