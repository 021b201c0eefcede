// The driver provisioning on Linux with its real parts: the registry store, libcurl against a
// loopback server, a stand-in installer named msiexec.exe on the PATH, and the station flag in
// an embedded Firebird database.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "provisioning/registry/store/RegistryFile.h"
#include "provisioning/VerificationPilotesSM.h"
#include "tests/support/FakeCommandLine.h"
#include "tests/support/FakeUi.h"
#include "tests/support/FakeWaitingWindow.h"
#include "tests/support/LogCapture.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StationDatabase.h"

namespace orvane {
namespace {

using testing::ScratchFolder;

// The embedded Firebird engine hangs inside its own locks under ThreadSanitizer.
#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() { had_ ? (void)::setenv(name_, previous_.c_str(), 1) : (void)::unsetenv(name_); }

 private:
  const char* name_;
  std::string previous_;
  bool had_ = false;
};

class LinuxInstallation : public ::testing::Test {
 protected:
  LinuxInstallation()
      : store_("ORVANE_REGISTRY", scratch / "registry.reg"),
        path_("PATH", (scratch.Path() / "bin").string() + ":" + std::getenv("PATH")),
        commandLine_({"DriverPackageUrl=" + server.Url("/tad/util/SpMikeCtrl.msi")}) {
    testing::UseEmbeddedFirebird();
    std::filesystem::create_directories(scratch.Path() / "poste" / "app");
    std::filesystem::create_directories(scratch.Path() / "bin");
    // The installer stand-in checks that it was handed the package, then ends with the chosen code.
    const auto installer = scratch.Path() / "bin" / "msiexec.exe";
    ScratchFolder::Write(installer,
                         "#!/bin/sh\n"
                         "printf '%s\\n' \"$@\" > \"$0.args\"\n"
                         "[ \"$1\" = /I ] && [ \"$3\" = /qn ] && cmp -s \"$2\" \"$MSIEXEC_PACKAGE\" || exit 97\n"
                         "exit \"${MSIEXEC_EXIT:-0}\"\n");
    std::filesystem::permissions(installer, std::filesystem::perms::owner_all);
    ::setenv("MSIEXEC_PACKAGE", (scratch.Path() / "package.msi").c_str(), 1);
    ScratchFolder::Write(scratch.Path() / "package.msi", Package());

    TRegistryFile registry;
    registry.CreateKey(TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    registry.CreateKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech");
    ScratchFolder::Write(scratch / "registry.reg", registry.Serialize());

    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Path() / "poste" / "app");
  }
  ~LinuxInstallation() override {
    std::filesystem::current_path(previousFolder_);
    ::unsetenv("MSIEXEC_EXIT");
    ::unsetenv("MSIEXEC_PACKAGE");
  }

  // The test driver package.
  static std::string Package() { return ScratchFolder::Read(ORVANE_TEST_PACKAGE); }
  std::filesystem::path PackageOnDisk() const { return scratch.Path() / "poste" / "drivers" / "SpeechMike" / "SpMikeCtrl.msi"; }
  TRegistryFile Store() const { return TRegistryFile::Parse(ScratchFolder::Read(scratch / "registry.reg")); }

  ScratchFolder scratch;
  testing::LoopbackHttpServer server;
  testing::ScopedFakeUi ui;
  testing::ScopedFakeWaitingWindows windows;
  testing::LogCapture capture;

 private:
  ScopedEnvironment store_, path_;
  testing::ScopedFakeCommandLine commandLine_;
  std::filesystem::path previousFolder_;
};

TEST_F(LinuxInstallation, InstallsClearsTheStationFlagAndAdjustsTheStore) {
  if (kThreadSanitizer) GTEST_SKIP() << "no embedded Firebird under ThreadSanitizer";
  server.Serve("/tad/util/SpMikeCtrl.msi", {200, Package()});
  testing::StationDatabase station({{7, "O"}, {8, "O"}});

  EXPECT_TRUE(VerificationPilotesSM(true, station.Database(), 7));

  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), Package());
  EXPECT_EQ(station.Flag(7), "N");
  EXPECT_EQ(station.Flag(8), "O");
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  const TRegistryFile store = Store();
  EXPECT_FALSE(store.KeyExists(TRootKey::ClassesRoot, "KALD_TEST"));
  for (const char* model : {"3000", "6264_52", "7276"}) {
    const auto value =
        store.FindValue(TRootKey::CurrentUser, std::string("Control Panel\\Philips Speech\\") + model + "\\Default",
                        "SequenceEnabled");
    ASSERT_TRUE(value) << model;
    EXPECT_EQ(value->type, kRegDword);
    EXPECT_EQ(value->dword, 0u);
  }
}

TEST_F(LinuxInstallation, ExitCodesOtherThanZeroFailButTheFlagIsClearedAllTheSame) {
  if (kThreadSanitizer) GTEST_SKIP() << "no embedded Firebird under ThreadSanitizer";
  server.Serve("/tad/util/SpMikeCtrl.msi", {200, Package()});
  for (const char* code : {"1603", "3010"}) {
    testing::StationDatabase station({{7, "O"}});
    ::setenv("MSIEXEC_EXIT", code, 1);
    ui.dialogs.shown.clear();
    EXPECT_FALSE(VerificationPilotesSM(true, station.Database(), 7)) << code;
    EXPECT_EQ(station.Flag(7), "N") << code;
    ASSERT_EQ(ui.dialogs.shown.size(), 2u);
    EXPECT_EQ(ui.dialogs.shown[1].text, "L'installation des pilotes SpeechMike est impossible.");
    // No adjustment after a failed installation.
    EXPECT_FALSE(Store().KeyExists(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\3000"));
  }
  // The package stays for the next start, which installs without downloading again.
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(LinuxInstallation, AServerThatClosesHalfWayLeavesNoPackageAndStops) {
  const std::string package = Package();
  server.Serve("/tad/util/SpMikeCtrl.msi", {200, package, package.size() / 2});

  EXPECT_FALSE(VerificationPilotesSM(false, nullptr, -1));

  ASSERT_EQ(ui.dialogs.shown.size(), 2u);
  EXPECT_EQ(ui.dialogs.shown[1].text.substr(0, 50), "Vous ne semblez pas avoir les droits \"Administrate");
  EXPECT_FALSE(std::filesystem::exists(PackageOnDisk()));
  EXPECT_TRUE(std::filesystem::is_empty(PackageOnDisk().parent_path()));
  EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "bin" / "msiexec.exe.args"));
  EXPECT_EQ(windows.windows.created, windows.windows.destroyed);
}

TEST_F(LinuxInstallation, ADriverFolderThatCannotBeMadeFallsBackToTheTemporaryFolder) {
  server.Serve("/tad/util/SpMikeCtrl.msi", {200, Package()});
  // A file where the drivers' folder should be.
  ScratchFolder::Write(scratch.Path() / "poste" / "drivers", "");
  std::filesystem::create_directories(scratch.Path() / "tmp");
  ScopedEnvironment temp("Temp", (scratch.Path() / "tmp").string());

  EXPECT_TRUE(VerificationPilotesSM(true, nullptr, -1));
  EXPECT_EQ(ScratchFolder::Read(scratch.Path() / "tmp" / "SpMikeCtrl.msi"), Package());
  EXPECT_EQ(ScratchFolder::Read(scratch.Path() / "bin" / "msiexec.exe.args"),
            "/I\n" + (scratch.Path() / "tmp" / "SpMikeCtrl.msi").string() + "\n/qn\n");
}

TEST_F(LinuxInstallation, ADownloadThatIsNoInstallerPackageFailsAndLeavesNothing) {
  const std::string package = Package();
  const std::vector<testing::LoopbackHttpServer::Route> answers = {
      {200, ""},
      {204, ""},
      {200, "<html><body>Maintenance</body></html>"},
      {200, package.substr(0, 8)},
      {200, package, 6, false},
  };
  for (const auto& answer : answers) {
    server.Serve("/tad/util/SpMikeCtrl.msi", answer);
    ui.dialogs.shown.clear();
    EXPECT_FALSE(VerificationPilotesSM(true, nullptr, -1)) << answer.body.size();
    ASSERT_EQ(ui.dialogs.shown.size(), 2u);
    EXPECT_EQ(ui.dialogs.shown[1].text.substr(0, 50), "Vous ne semblez pas avoir les droits \"Administrate");
    EXPECT_TRUE(std::filesystem::is_empty(PackageOnDisk().parent_path()));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "bin" / "msiexec.exe.args"));
  }
}

TEST_F(LinuxInstallation, AFreshAccountGoesOnWithoutAQuestion) {
  std::filesystem::remove(scratch / "registry.reg");

  EXPECT_TRUE(VerificationPilotesSM(false, nullptr, -1));

  EXPECT_TRUE(ui.dialogs.shown.empty());
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(Store().KeyExists(TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
}

TEST_F(LinuxInstallation, AnEmptyStoreIsUsedAsItIs) {
  ScratchFolder::Write(scratch / "registry.reg", "Windows Registry Editor Version 5.00\r\n");
  ui.dialogs.answers.push_back(TModalResult::No);

  EXPECT_FALSE(VerificationPilotesSM(false, nullptr, -1));

  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].text.substr(0, 40), "Impossible de vérifier la configuration");
}

}  // namespace
}  // namespace orvane
