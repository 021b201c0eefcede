#include "logging/Logger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Exceptions.h"
#include "support/FakeClock.h"


namespace orvane {
namespace {

class LineRecorder : public TLogger {
 public:
  explicit LineRecorder(uint8_t niveauMax = 255, int32_t logSpecifique = 0, bool insertTime = false,
                        bool insertNiveauLog = false, std::string format = kDefaultLogTimeFormat)
      : TLogger(niveauMax, logSpecifique, nullptr, insertTime, std::move(format), insertNiveauLog) {}
  void DoLog(const std::string& line) override {
    lines.push_back(line);
    levels.push_back(CurrentLevel());
  }
  std::vector<std::string> lines;
  std::vector<int> levels;
};

bool Passes(LineRecorder& logger, uint8_t level, int32_t specific) {
  const size_t before = logger.lines.size();
  logger.Log("m", level, specific);
  return logger.lines.size() > before;
}

TEST(LoggerFilter, LevelUpToNiveauMaxIsWritten) {
  LineRecorder at200(200);
  EXPECT_TRUE(Passes(at200, 200, 0));
  EXPECT_FALSE(Passes(at200, 201, 0));
  LineRecorder all(255);
  EXPECT_TRUE(Passes(all, 255, 0));
  LineRecorder onlyZero(0);
  EXPECT_TRUE(Passes(onlyZero, 0, 0));
  EXPECT_FALSE(Passes(onlyZero, 1, 0));
}

TEST(LoggerFilter, ChannelSelection) {
  LineRecorder general(255, 0);
  EXPECT_TRUE(Passes(general, 5, 0));
  EXPECT_TRUE(Passes(general, 5, 12));
  EXPECT_FALSE(Passes(general, 5, -3));
  LineRecorder seven(255, 7);
  EXPECT_TRUE(Passes(seven, 5, 7));
  EXPECT_FALSE(Passes(seven, 5, 0));
  LineRecorder every(255, -1);
  EXPECT_TRUE(Passes(every, 5, -3));
  EXPECT_TRUE(Passes(every, 5, 1000));
  LineRecorder minusFour(255, -4);
  EXPECT_TRUE(Passes(minusFour, 5, -4));
  EXPECT_FALSE(Passes(minusFour, 5, 0));
  EXPECT_FALSE(Passes(minusFour, 5, -3));
}

TEST(LoggerFilter, RefusedMessageKeepsCurrentLevel) {
  LineRecorder logger(200);
  EXPECT_EQ(logger.CurrentLevel(), 0);
  logger.Log("a", 100, 0);
  logger.Log("b", 250, 0);
  EXPECT_EQ(logger.CurrentLevel(), 100);
  EXPECT_EQ(logger.levels, (std::vector<int>{100}));
}

TEST(LoggerLayout, LevelPrefixIsThreeDigitsAndABlank) {
  LineRecorder logger(255, 0, false, true);
  logger.Log("zero", 0, 0);
  logger.Log("error", 5, 0);
  logger.Log("start", 100, 0);
  EXPECT_EQ(logger.lines, (std::vector<std::string>{"[000] zero", "[005] error", "[100] start"}));
}

TEST(LoggerLayout, NoPrefixPassesTheMessageUnchanged) {
  LineRecorder logger(255, 0, false, false);
  logger.Log("", 5, 0);
  logger.Log(" TDataPhilips - IN ", 250, 0);
  EXPECT_EQ(logger.lines, (std::vector<std::string>{"", " TDataPhilips - IN "}));
}

TEST(LoggerLayout, TimeStampThenLevelThenMessage) {
  testing::ScopedFakeClock clock;
  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 9, 42);
  LineRecorder both(255, 0, true, true);
  both.Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250, 0);
  LineRecorder timeOnly(255, 0, true, false, "yyyymmdd");
  timeOnly.Log("x", 5, 0);
  EXPECT_EQ(both.lines.at(0), "2024-03-05 14:07:09.042: [250] TDataPhilips.OpenPHILIPSDictCtrl - IN");
  EXPECT_EQ(timeOnly.lines.at(0), "20240305: x");
}

TEST(LoggerLayout, EveryLineCarriesTheTimeItWasLoggedAt) {
  testing::ScopedFakeClock clock;
  LineRecorder logger(255, 0, true, false, "hh:nn:ss.zzz");
  for (const int millisecond : {42, 42, 43, 42, 999}) {
    clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 9, millisecond);
    logger.Log("x", 5, 0);
  }
  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 10);
  logger.Log("x", 5, 0);
  EXPECT_EQ(logger.lines, (std::vector<std::string>{"14:07:09.042: x", "14:07:09.042: x", "14:07:09.043: x",
                                                    "14:07:09.042: x", "14:07:09.999: x", "14:07:10.000: x"}));
}

TEST(LoggerParams, SplitAtTheFirstEqualSign) {
  const TLoggerParam withEquals = SplitLoggerParam("FileName=a=b.txt");
  EXPECT_EQ(withEquals.name, "FileName");
  EXPECT_EQ(withEquals.value, "a=b.txt");
  const TLoggerParam without = SplitLoggerParam("FileName");
  EXPECT_EQ(without.name, "");
  EXPECT_EQ(without.value, "");
}

TEST(LoggerParams, IntegersAsTheConfigurationWritesThem) {
  int32_t value = 0;
  EXPECT_TRUE(TryParseInteger("  -12", value));
  EXPECT_EQ(value, -12);
  EXPECT_TRUE(TryParseInteger("$FF", value));
  EXPECT_EQ(value, 255);
  EXPECT_TRUE(TryParseInteger("2147483647", value));
  EXPECT_FALSE(TryParseInteger("2147483648", value));
  EXPECT_FALSE(TryParseInteger("12 ", value));
  EXPECT_FALSE(TryParseInteger("", value));
  EXPECT_FALSE(TryParseInteger("-", value));
  EXPECT_FALSE(TryParseInteger("1e3", value));
  try {
    ParseInteger("douze");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "'douze' n'est pas une valeur entière correcte");
  }
}

}  // namespace
}  // namespace orvane
