// The driver provisioning against Wine's real registry, Windows Installer and URL moniker
// library: the test package is downloaded from a loopback server and installed silently.

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "common/Global_File.h"
#include "provisioning/registry/RegistryAccessor.h"
#include "provisioning/VerificationPilotesSM.h"
#include "tests/support/FakeCommandLine.h"
#include "tests/support/FakeUi.h"
#include "tests/support/LogCapture.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ScratchFolder;

const char kProductCode[] = "{D2C4D777-BBD1-4025-8A56-A5C0FB812D76}";
const char kFeatureKey[] = "Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267";
const char kModelKey[] = "Control Panel\\Philips Speech\\3000\\Default";

// Ends the process when the installer or Wine hangs, so that the run never waits forever.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "watchdog: the installation did not end in time\n");
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

std::string RegQuery(ScratchFolder& scratch, const std::string& arguments) {
  const std::string output = scratch / "reg.txt";
  RunProcess("cmd.exe", "/c reg.exe query " + arguments + " > \"" + output + "\" 2>&1", 0, true);
  return ScratchFolder::Read(output);
}

// A workstation in a scratch folder whose driver package comes from the loopback server, on a
// prefix where the package is not installed; it is removed again at the end.
class WineInstallation : public ::testing::Test {
 protected:
  static constexpr const char* kPath = "/tad/util/SpMikeCtrl.msi";

  WineInstallation() : watchdog_(std::chrono::seconds(240)), commandLine_({"DriverPackageUrl=" + server.Url(kPath)}) {
    Uninstall();
    server.Serve(kPath, {200, package});
    std::filesystem::create_directories(scratch.Path() / "poste" / "app");
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Path() / "poste" / "app");
  }
  ~WineInstallation() override {
    std::filesystem::current_path(previousFolder_);
    Uninstall();
    Port<Registry>().DeleteKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech");
  }

  static void Uninstall() { RunProcess("msiexec.exe", std::string("/x ") + kProductCode + " /qn", 0, true); }
  std::filesystem::path PackageOnDisk() const {
    return scratch.Path() / "poste" / "drivers" / "SpeechMike" / "SpMikeCtrl.msi";
  }
  static bool DriversRegistered() {
    TRegValue feature;
    return Port<Registry>().ReadValue(TRootKey::ClassesRoot, kFeatureKey, "SpMikeCtrl", feature);
  }

  Watchdog watchdog_;
  testing::LoopbackHttpServer server;
  const std::string package = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  ScratchFolder scratch;
  testing::ScopedFakeUi ui;
  testing::LogCapture capture;

 private:
  testing::ScopedFakeCommandLine commandLine_;
  std::filesystem::path previousFolder_;
};

TEST_F(WineInstallation, DownloadsInstallsThenFindsTheDriversAndAdjusts) {
  Registry& registry = Port<Registry>();
  ASSERT_FALSE(DriversRegistered());
  registry.DeleteKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech");
  ASSERT_TRUE(registry.CreateKey(TRootKey::CurrentUser, kModelKey));
  TRegValue on;
  on.type = kRegDword;
  on.dword = 1;
  ASSERT_TRUE(registry.WriteValue(TRootKey::CurrentUser, kModelKey, "SequenceEnabled", on));

  const bool first = VerificationPilotesSM(false, nullptr, -1);
  const auto firstLog = capture.Records();
  const bool second = VerificationPilotesSM(false, nullptr, -1);

  std::printf("Log of the installation:\n");
  for (const auto& record : firstLog) std::printf("  [%3d] %s\n", record.level, record.message.c_str());
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].kind, "warning");
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kPath});
  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), package);
  EXPECT_TRUE(DriversRegistered());
  // The probe landed under the readability key, the feature key being absent, and is gone.
  EXPECT_NE(RegQuery(scratch, "\"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\""), "");
  EXPECT_EQ(RegQuery(scratch, "\"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\"").find("KALD_TEST"),
            std::string::npos);

  const std::string model = RegQuery(scratch, "\"HKCU\\Control Panel\\Philips Speech\\3000\\Default\"");
  EXPECT_NE(model.find("SequenceEnabled    REG_DWORD    0x0"), std::string::npos) << model;
  EXPECT_NE(model.find("KALDInstallation    REG_SZ"), std::string::npos) << model;
  const std::string last = RegQuery(scratch, "\"HKCU\\Control Panel\\Philips Speech\\7276\\Default\" /v SequenceEnabled");
  EXPECT_NE(last.find("0x0"), std::string::npos) << last;

  // The second verification found the drivers: it logged nothing but its start and the adjustment.
  const auto all = capture.Records();
  std::vector<std::string> secondLog;
  for (size_t i = firstLog.size(); i < all.size(); ++i) secondLog.push_back(all[i].message);
  EXPECT_EQ(secondLog, (std::vector<std::string>{"Vérification de l'installation des pilotes SM sur le poste",
                                                 "AjustementCleRegistreSM - IN", "AjustementCleRegistreSM - OUT"}));
}

// A package kept from an earlier download that was cut short on a sector's end: Windows Installer
// cannot open it, so it goes, and the next start fetches and installs it.
TEST_F(WineInstallation, AKeptPackageTheInstallerCannotOpenIsFetchedAgainAtTheNextStart) {
  std::filesystem::create_directories(PackageOnDisk().parent_path());
  ScratchFolder::Write(PackageOnDisk(), package.substr(0, 512 + (package.size() - 512) / 1024 * 512));

  const bool first = VerificationPilotesSM(false, nullptr, -1);
  const bool keptAfterFirst = std::filesystem::exists(PackageOnDisk());
  const bool second = VerificationPilotesSM(false, nullptr, -1);

  EXPECT_FALSE(first);
  EXPECT_FALSE(keptAfterFirst);
  bool told = false;
  for (const auto& record : capture.Records()) {
    told = told || record.message.rfind("InstallationPilotesSM - L'installateur ne peut ouvrir SpMikeCtrl.msi", 0) == 0;
  }
  EXPECT_TRUE(told);
  EXPECT_TRUE(second);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kPath});
  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), package);
  EXPECT_TRUE(DriversRegistered());
}

TEST(WineRegistry, CreatesReadsAndDeletesTreesInTheRealRegistry) {
  Registry& registry = Port<Registry>();
  const std::string key = "Software\\OrvaneTest\\Sous clé\\Default";
  ASSERT_TRUE(registry.CreateKey(TRootKey::CurrentUser, key));
  TRegValue text;
  text.type = kRegSz;
  text.text = "09/12/2026 10:15:30 é";
  ASSERT_TRUE(registry.WriteValue(TRootKey::CurrentUser, key, "KALDInstallation", text));
  TRegValue read;
  ASSERT_TRUE(registry.ReadValue(TRootKey::CurrentUser, key, "KALDInstallation", read));
  EXPECT_EQ(read, text);

  TRegistryAccessor accessor;
  ASSERT_TRUE(accessor.OpenKey("\\Software\\OrvaneTest", false));
  EXPECT_THROW(accessor.ReadInteger("Missing"), ERegistryException);
  ASSERT_TRUE(accessor.DeleteKey("Sous clé"));
  EXPECT_FALSE(registry.OpenKey(TRootKey::CurrentUser, key, false));
  EXPECT_TRUE(accessor.DeleteKey("\\Software\\OrvaneTest"));
}

}  // namespace
}  // namespace orvane
