#include "provisioning/TelechargerURL.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/Downloader.h"
#include "provisioning/InstallerPackage.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::LoopbackHttpServer;
using testing::ScratchFolder;

struct Recorder {
  std::vector<std::string> events;
  uint32_t lastProgress = 0, lastMax = 0;

  void Run(const std::string& url, const std::string& target, const TDownloadSettings& settings = {}) {
    TelechargerURL(
        url, target,
        [this](const void*, uint32_t progress, uint32_t progressMax, uint32_t, const std::string&, bool&) {
          if (events.empty() || events.back() != "progress") events.push_back("progress");
          lastProgress = progress;
          lastMax = progressMax;
        },
        [this](const void*) { events.push_back("start"); }, [this](const void*) { events.push_back("end"); }, nullptr,
        settings);
  }
};

std::string Package() {
  std::string body;
  for (int i = 0; i < 300000; ++i) body.push_back(static_cast<char>('A' + i % 26));
  return body;
}

TEST(TelechargerURL, DownloadsTheWholeFileBetweenStartAndEnd) {
  LoopbackHttpServer server;
  const std::string body = Package();
  server.Serve("/tad/util/SpMikeCtrl.msi", {200, body});
  ScratchFolder folder;
  const std::string target = folder / "SpMikeCtrl.msi";

  Recorder recorder;
  recorder.Run(server.Url("/tad/util/SpMikeCtrl.msi"), target);

  EXPECT_EQ(recorder.events, (std::vector<std::string>{"start", "progress", "end"}));
  EXPECT_EQ(recorder.lastMax, body.size());
  EXPECT_EQ(recorder.lastProgress, body.size());
  EXPECT_EQ(ScratchFolder::Read(target), body);
  EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(target)));
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/tad/util/SpMikeCtrl.msi"}));
}

TEST(TelechargerURL, ATransferBrokenOffHalfWayLeavesNoFileAndStillEnds) {
  LoopbackHttpServer server;
  const std::string body = Package();
  server.Serve("/half", {200, body, body.size() / 2});
  ScratchFolder folder;
  const std::string target = folder / "SpMikeCtrl.msi";

  Recorder recorder;
  EXPECT_THROW(recorder.Run(server.Url("/half"), target), EDownloadError);
  ASSERT_FALSE(recorder.events.empty());
  EXPECT_EQ(recorder.events.front(), "start");
  EXPECT_EQ(recorder.events.back(), "end");
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(target)));
}

TEST(TelechargerURL, AnAnswerOtherThanSuccessIsAFailedDownload) {
  LoopbackHttpServer server;
  server.Serve("/gone", {404, "<html>not here</html>"});
  server.Serve("/error", {500, "<html>broken</html>"});
  ScratchFolder folder;
  for (const std::string path : {"/gone", "/error"}) {
    const std::string target = folder / "SpMikeCtrl.msi";
    Recorder recorder;
    EXPECT_THROW(recorder.Run(server.Url(path), target), EDownloadError) << path;
    EXPECT_EQ(recorder.events.back(), "end");
    EXPECT_FALSE(std::filesystem::exists(target)) << path;
  }
}

TEST(TelechargerURL, AServerThatIsNotThereIsAFailedDownload) {
  uint16_t port = 0;
  {
    LoopbackHttpServer server;
    port = server.Port();
  }
  ScratchFolder folder;
  Recorder recorder;
  EXPECT_THROW(recorder.Run("http://127.0.0.1:" + std::to_string(port) + "/x", folder / "x.msi"), EDownloadError);
  EXPECT_EQ(recorder.events.front(), "start");
  EXPECT_EQ(recorder.events.back(), "end");
  EXPECT_FALSE(std::filesystem::exists(folder / "x.msi"));
}

TEST(TelechargerURL, OnlyWebAddressesAreFetched) {
  ScratchFolder folder;
  const std::string source = folder / "local.msi";
  ScratchFolder::Write(source, "local package");
  for (const std::string& url : std::vector<std::string>{"file://" + source, "ftp://127.0.0.1/x.msi", source, "httpx://127.0.0.1/x"}) {
    Recorder recorder;
    EXPECT_THROW(recorder.Run(url, folder / "SpMikeCtrl.msi"), EDownloadError) << url;
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"start", "end"})) << url;
    EXPECT_FALSE(std::filesystem::exists(folder / "SpMikeCtrl.msi")) << url;
  }
}

TEST(TelechargerURL, ARedirectIsFollowed) {
  LoopbackHttpServer server;
  const std::string body = Package();
  server.Serve("/moved", {302, "", std::numeric_limits<size_t>::max(), true, false, server.Url("/here")});
  server.Serve("/here", {200, body});
  ScratchFolder folder;
  Recorder recorder;
  recorder.Run(server.Url("/moved"), folder / "SpMikeCtrl.msi");
  EXPECT_EQ(ScratchFolder::Read(folder / "SpMikeCtrl.msi"), body);
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/moved", "/here"}));
}

TEST(TelechargerURL, ARedirectToAnythingButTheWebIsRefused) {
  LoopbackHttpServer server;
  const std::string elsewhere = "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/SpMikeCtrl.msi";
  server.Serve("/moved", {302, "", std::numeric_limits<size_t>::max(), true, false, elsewhere});
  ScratchFolder folder;
  Recorder recorder;
  EXPECT_THROW(recorder.Run(server.Url("/moved"), folder / "SpMikeCtrl.msi"), EDownloadError);
  EXPECT_FALSE(std::filesystem::exists(folder / "SpMikeCtrl.msi"));
  EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(folder / "SpMikeCtrl.msi")));
}

// A transfer that a limit of Settings breaks off: a failed download that still ends and leaves
// neither the package nor its partial file.
void ExpectBrokenOffLeavingNothing(const LoopbackHttpServer::Route& route, const TDownloadSettings& settings) {
  LoopbackHttpServer server;
  server.Serve("/package", route);
  ScratchFolder folder;
  Recorder recorder;
  EXPECT_THROW(recorder.Run(server.Url("/package"), folder / "SpMikeCtrl.msi", settings), EDownloadError);
  EXPECT_EQ(recorder.events.back(), "end");
  EXPECT_FALSE(std::filesystem::exists(folder / "SpMikeCtrl.msi"));
  EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(folder / "SpMikeCtrl.msi")));
}

// Suites of their own, so each runs in its own process under Wine: there a download that follows
// an aborted one in the same process does not end.
TEST(DownloadStall, AServerThatFallsSilentIsAFailedDownload) {
  TDownloadSettings settings;
  settings.stallLimit = std::chrono::seconds(1);
  ExpectBrokenOffLeavingNothing({200, Package(), 1000, true, true}, settings);
}

TEST(DownloadTimeLimit, AServerThatDripsItsAnswerIsAFailedDownloadThatLeavesNothing) {
  LoopbackHttpServer::Route drip{200, ScratchFolder::Read(ORVANE_TEST_PACKAGE)};
  drip.bytesPerSecond = 4;
  TDownloadSettings settings;
  settings.timeLimit = std::chrono::seconds(2);
  ExpectBrokenOffLeavingNothing(drip, settings);
}

TEST(DownloadSizeLimit, AnAnswerWithoutEndIsAFailedDownloadThatLeavesNothing) {
  LoopbackHttpServer::Route endless{200, Package(), std::numeric_limits<size_t>::max(), false};
  endless.endless = true;
  TDownloadSettings settings;
  settings.sizeLimit = 4 * 1024 * 1024;
  ExpectBrokenOffLeavingNothing(endless, settings);
}

TEST(TelechargerURL, ADownloadTheCheckRefusesIsAFailedDownloadAndLeavesNothing) {
  LoopbackHttpServer server;
  server.Serve("/page", {200, "<html>maintenance</html>"});
  ScratchFolder folder;
  const std::string target = folder / "SpMikeCtrl.msi";
  std::string checked;
  EXPECT_THROW(TelechargerURL(server.Url("/page"), target, nullptr, nullptr, nullptr,
                              [&](const std::string& file) {
                                checked = ScratchFolder::Read(file);
                                return false;
                              }),
               EDownloadError);
  EXPECT_EQ(checked, "<html>maintenance</html>");
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(target)));
}

// Cut where a sector ends, so that the size alone looks like a package's.
size_t SectorCut(const std::string& package, int percent) {
  const size_t sectors = (package.size() - 512) / 512;
  return 512 + sectors * static_cast<size_t>(percent) / 100 * 512;
}

TEST(TelechargerURL, OnlyAWholePackageAnsweredWith200IsKept) {
  LoopbackHttpServer server;
  const std::string package = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  ScratchFolder folder;
  const std::string target = folder / "SpMikeCtrl.msi";
  std::vector<LoopbackHttpServer::Route> answers;
  // Bodies without a length, cut short: the transfer ends as a whole one would.
  for (int percent : {10, 50, 99}) answers.push_back({200, package, SectorCut(package, percent), false});
  answers.push_back({200, package, 100002, false});
  // Part of the package, or all of it, as an answer to a range that was never asked for.
  answers.push_back({206, package.substr(0, 4096)});
  answers.push_back({206, package});
  for (const auto& answer : answers) {
    server.Serve("/package", answer);
    const std::string what =
        std::to_string(answer.status) + " " + std::to_string(std::min(answer.body.size(), answer.closeAfter));
    EXPECT_THROW(TelechargerURL(server.Url("/package"), target, nullptr, nullptr, nullptr, IsWholeInstallerPackage),
                 EDownloadError) << what;
    EXPECT_FALSE(std::filesystem::exists(target)) << what;
    EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(target))) << what;
  }
  server.Serve("/package", {200, package, std::numeric_limits<size_t>::max(), false});
  TelechargerURL(server.Url("/package"), target, nullptr, nullptr, nullptr, IsWholeInstallerPackage);
  EXPECT_EQ(ScratchFolder::Read(target), package);
}

TEST(RedirectGuard, NeverLeavesHttpsWhateverTheLetterCase) {
  EXPECT_TRUE(IsSecureUrl("HTTPS://host/x"));
  EXPECT_TRUE(IsSecureUrl("hTtPs://host/x"));
  EXPECT_FALSE(IsSecureUrl("http://host/https://"));
  EXPECT_FALSE(RedirectAllowed("HTTPS://host/a", "http://host/b"));
  EXPECT_FALSE(RedirectAllowed("https://host/a", "HTTP://host/b"));
  EXPECT_FALSE(RedirectAllowed("https://host/a", "ftp://host/b"));
  EXPECT_FALSE(RedirectAllowed("http://host/a", "ftp://host/b"));
  EXPECT_FALSE(RedirectAllowed("http://host/a", "file:///etc/passwd"));
  EXPECT_TRUE(RedirectAllowed("HTTPS://host/a", "https://other/b"));
  EXPECT_TRUE(RedirectAllowed("http://host/a", "HTTPS://host/b"));
  EXPECT_TRUE(RedirectAllowed("http://host/a", "http://host/b"));
}

}  // namespace
}  // namespace orvane
