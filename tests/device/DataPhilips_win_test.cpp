#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Exceptions.h"
#include "device/DataPhilips.h"
#include "tests/support/DialogRobot_win.h"
#include "tests/support/FakeUi.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestSpeechMikeServer_win.h"

namespace orvane::testing {
namespace {

const std::string kBrokenDrivers =
    "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation Classe non enregistrée : Les pilotes ne semblent pas "
    "correctement installés.";
const std::string kNoStation =
    "TDataPhilips.OpenPHILIPSDictCtrl - Erreur: Impossible de forcer la réinstallation des pilotes [ vBDAUtiliser = nil "
    "et vID_Station= -1]";
const std::string kWarning =
    "Les pilotes du micro/pédalier Philips SpeechMike ne sont pas installés correctement.\n\r\r"
    "Nous tenterons de les réinstaller lors du prochain démarrage de l'application.";

struct DataPhilipsCom : ::testing::Test {
  ScopedTestSpeechMikeServer scope;
  ScopedFakeUi ui;
  LogCapture log;
};

TEST_F(DataPhilipsCom, DrivesTheComponentAndReportsItsErrors) {
  TDataPhilips data(nullptr, nullptr, -1);
  std::vector<std::string> executed;
  data.ActionMicSmart3Released->OnExecute = [&](TAction& action) { executed.push_back(action.Name()); };
  EXPECT_THROW(data.LumiereSpeechMikePro(1), EOleError);
  scope.server.Fail("ActivateDevice", "Device busy.");
  EXPECT_FALSE(data.OpenPHILIPSDictCtrl());
  EXPECT_EQ(ui.dialogs.shown,
            (std::vector<ShownDialog>{{"error", "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'activation: Device busy"}}));
  scope.server.Reset();
  EXPECT_TRUE(data.OpenPHILIPSDictCtrl());
  data.LumiereSpeechMikePro(13);
  scope.server.Post(3, 1, 59, VT_I4);
  scope.server.Post(3, 1, 4294967295u, VT_I4);
  TestSpeechMikeServer::RunMessageLoop();
  EXPECT_EQ(executed, std::vector<std::string>{"ActionMicSmart3Released"});
  EXPECT_TRUE(data.ClosePHILIPSDictCtrl());
  EXPECT_EQ(scope.server.Calls(), (std::vector<std::string>{"InitializeDevice(0)", "ActivateDevice()", "SetDisplayState(0,13)",
                                                            "UninitializeDevice()", "DeactivateDevice()"}));
}

TEST_F(DataPhilipsCom, UnregisteredComponentTakesTheReinstallationPath) {
  scope.server.Unregister();
  TDataPhilips data(nullptr, nullptr, -1);
  EXPECT_THROW(data.OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"warning", kWarning}}));
  EXPECT_EQ(ui.application.terminatedWith, std::vector<int>{3});
  EXPECT_EQ(log.Records(), (std::vector<LoggedRecord>{
                               {"TDataPhilips.OpenPHILIPSDictCtrl - IN", 250}, {kBrokenDrivers, 5}, {kNoStation, 5}}));
}

std::wstring BesideTheTests(const std::wstring& name) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// The probe program opens the device with the real dialogs; its warning is read and
// acknowledged like a user would, and the log it wrote before it ended is read back.
struct ProbeRun {
  SeenDialog warning;
  bool ended = false;
  DWORD exitCode = 0;
  std::vector<std::string> log;
};

ProbeRun RunProbe() {
  ProbeRun run;
  const std::wstring logPath = BesideTheTests(L"reinstall_probe.log");
  DeleteFileW(logPath.c_str());
  std::wstring commandLine = L"\"" + BesideTheTests(L"orvane_reinstall_probe.exe") + L"\" \"" + logPath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return run;
  HWND box = WaitForDialog(L"Avertissement", process.dwProcessId);
  run.warning = ReadSettledDialog(box);
  if (box != nullptr) ClickButton(box, IDOK);
  run.ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(kHangLimit.count())) == WAIT_OBJECT_0;
  if (!run.ended) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::ifstream file(std::filesystem::path(logPath), std::ios::binary);
  for (std::string line; std::getline(file, line);) run.log.push_back(line);
  file.close();
  DeleteFileW(logPath.c_str());
  return run;
}

TEST(DataPhilipsReinstallation, ProgramWarnsWritesTheLogAndEndsWithExitCode3) {
  TestSpeechMikeServer::Get().Unregister();
  const ProbeRun run = RunProbe();
  ASSERT_TRUE(run.warning.found) << "no warning shown";
  EXPECT_EQ(run.warning.text, kWarning);
  EXPECT_EQ(run.warning.buttons, std::vector<std::string>{"OK"});
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_EQ(run.log, (std::vector<std::string>{"250\tTDataPhilips.OpenPHILIPSDictCtrl - IN", "5\t" + kBrokenDrivers,
                                               "5\t" + kNoStation}));
}

TEST(DataPhilipsReinstallation, AComponentOfTheOtherBitnessOnlyIsNamedAndNoReinstallationIsAsked) {
  TestSpeechMikeServer& server = TestSpeechMikeServer::Get();
  server.Unregister();
  server.RegisterForOtherBitnessOnly();
  const ProbeRun run = RunProbe();
  server.Unregister();
  ASSERT_TRUE(run.warning.found) << "no warning shown";
  EXPECT_EQ(run.warning.text, DataPhilipsTexts::ComposantAutreArchitecture());
  EXPECT_NE(run.warning.text.find(sizeof(void*) == 8 ? "Utilisez Orvane 32 bits" : "Utilisez Orvane 64 bits"),
            std::string::npos);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 3u);
  // Neither the reinstallation's log lines nor its request: only the bitness.
  EXPECT_EQ(run.log, (std::vector<std::string>{"250\tTDataPhilips.OpenPHILIPSDictCtrl - IN",
                                               "5\t" + DataPhilipsTexts::ComposantAutreArchitectureJournal()}));
}

}  // namespace
}  // namespace orvane::testing
