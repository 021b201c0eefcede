#include "provisioning/AjustementCleRegistreSM.h"

#include <gtest/gtest.h>

#include "tests/support/ProvisioningFixture.h"

namespace orvane {
namespace {

using testing::kBaseKey;
using testing::LoggedRecord;
using testing::ProvisioningTest;

class Adjustment : public ProvisioningTest {
 protected:
  Adjustment() {
    clock.clock.now = EncodeDateTime(2026, 12, 9, 10, 15, 30);
    regional.regional.settings.shortDateFormat = "dd/mm/yyyy";
    regional.regional.settings.dateSeparator = "/";
  }
  static std::string ModelKey(const std::string& model) { return std::string(kBaseKey) + "\\" + model + "\\Default"; }
  std::optional<TRegValue> Value(const std::string& model, const char* name) {
    return registry().Value(TRootKey::CurrentUser, ModelKey(model), name);
  }
};

TEST_F(Adjustment, WithoutTheBaseKeyTheRegistryIsLeftAsItWas) {
  registry().SetDword(TRootKey::CurrentUser, "Control Panel\\Autre", "SequenceEnabled", 1);
  const std::string before = registry().store.Serialize();
  AjustementCleRegistreSM();
  EXPECT_EQ(registry().store.Serialize(), before);
  EXPECT_EQ(capture.Records(), (std::vector<LoggedRecord>{{"AjustementCleRegistreSM - IN", 250},
                                                          {"AjustementCleRegistreSM - OUT", 250}}));
}

TEST_F(Adjustment, EveryModelEndsWithSequenceOffAndOnlyChangedKeysAreStamped) {
  registry().store.CreateKey(TRootKey::CurrentUser, kBaseKey);
  registry().SetDword(TRootKey::CurrentUser, ModelKey("3000"), "SequenceEnabled", 0);
  registry().SetString(TRootKey::CurrentUser, ModelKey("3000"), "KALDInstallation", "earlier");
  registry().SetDword(TRootKey::CurrentUser, ModelKey("3005"), "SequenceEnabled", 1);
  registry().SetString(TRootKey::CurrentUser, ModelKey("3005"), "KALDInstallation", "earlier");
  registry().SetString(TRootKey::CurrentUser, ModelKey("5262"), "SequenceEnabled", "1");
  registry().store.CreateKey(TRootKey::CurrentUser, ModelKey("7276"));

  AjustementCleRegistreSM();

  for (const char* model : kModelesSpeechMike) {
    const std::optional<TRegValue> sequence = Value(model, "SequenceEnabled");
    ASSERT_TRUE(sequence) << model;
    EXPECT_EQ(sequence->type, kRegDword) << model;
    EXPECT_EQ(sequence->dword, 0u) << model;
    const std::optional<TRegValue> stamp = Value(model, "KALDInstallation");
    ASSERT_TRUE(stamp) << model;
    EXPECT_EQ(stamp->text, std::string(model) == "3000" ? "earlier" : "09/12/2026 10:15:30") << model;
  }
  EXPECT_TRUE(registry().store.KeyExists(TRootKey::CurrentUser, std::string(kBaseKey) + "\\6264_52"));
}

TEST_F(Adjustment, AStampAtMidnightHoldsTheDateAlone) {
  registry().store.CreateKey(TRootKey::CurrentUser, kBaseKey);
  clock.clock.now = EncodeDateTime(2026, 12, 9);
  AjustementCleRegistreSM();
  EXPECT_EQ(Value("3000", "KALDInstallation")->text, "09/12/2026");
}

TEST_F(Adjustment, AStampAfterASuccessfulReadIsTriedOnceMore) {
  registry().SetDword(TRootKey::CurrentUser, ModelKey("3000"), "SequenceEnabled", 1);
  registry().refusedWrites = 1;
  AjustementCleRegistreSM();
  EXPECT_EQ(Value("3000", "SequenceEnabled")->dword, 0u);
  EXPECT_EQ(Value("7276", "SequenceEnabled")->dword, 0u);
}

TEST_F(Adjustment, ASecondFailureEndsTheAdjustmentAndSkipsTheOtherModels) {
  registry().SetDword(TRootKey::CurrentUser, ModelKey("3000"), "SequenceEnabled", 1);
  registry().refusedWrites = 2;
  EXPECT_THROW(AjustementCleRegistreSM(), ERegistryException);
  EXPECT_FALSE(registry().store.KeyExists(TRootKey::CurrentUser, ModelKey("3005")));
  EXPECT_EQ(capture.Records().back(), (LoggedRecord{"AjustementCleRegistreSM - OUT", 250}));
}

TEST_F(Adjustment, NoRetryAfterAReadThatFailedNorForACreatedKey) {
  registry().SetString(TRootKey::CurrentUser, ModelKey("3000"), "SequenceEnabled", "1");
  registry().refusedWrites = 1;
  EXPECT_THROW(AjustementCleRegistreSM(), ERegistryException);
  EXPECT_EQ(registry().writeAttempts, 1);

  registry().store = {};
  registry().store.CreateKey(TRootKey::CurrentUser, kBaseKey);
  registry().refusedWrites = 1;
  registry().writeAttempts = 0;
  EXPECT_THROW(AjustementCleRegistreSM(), ERegistryException);
  EXPECT_EQ(registry().writeAttempts, 1);
}

TEST_F(Adjustment, AModelKeyThatCannotBeCreatedIsSkipped) {
  registry().store.CreateKey(TRootKey::CurrentUser, kBaseKey);
  registry().Refuse(registry().refuseCreate, TRootKey::CurrentUser, ModelKey("3000"));
  AjustementCleRegistreSM();
  EXPECT_FALSE(registry().store.KeyExists(TRootKey::CurrentUser, ModelKey("3000")));
  EXPECT_EQ(Value("3005", "SequenceEnabled")->dword, 0u);
}

}  // namespace
}  // namespace orvane
