// Downloads over HTTPS from the loopback server, whose certificate the test authority issued: a
// redirect may lead to another HTTPS address, never out of HTTPS, whatever the letter case, on
// every platform (Windows' URL moniker library under Wine reports no redirect at all).

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/Downloader.h"
#include "provisioning/TelechargerURL.h"
#include "tests/support/LoopbackHttpsServer.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestAuthority.h"

namespace orvane {
namespace {

using testing::LoopbackHttpServer;
using testing::LoopbackHttpsServer;
using testing::RerunUnderTestAuthority;
using testing::ScratchFolder;

const char kPackagePath[] = "/tad/util/SpMikeCtrl.msi";

LoopbackHttpServer::Route Redirect(const std::string& location) {
  LoopbackHttpServer::Route route{302, ""};
  route.location = location;
  return route;
}

void Download(const std::string& url, const std::string& target) {
  TelechargerURL(url, target, nullptr, nullptr, nullptr);
}

TEST(HttpsDownload, ARedirectToAnotherHttpsAddressIsFollowed) {
  if (RerunUnderTestAuthority()) return;
  LoopbackHttpsServer server;
  const std::string package = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  server.Serve(kPackagePath, {200, package});
  server.Serve("/moved", Redirect(server.SecureUrl(kPackagePath)));
  ScratchFolder folder;

  Download(server.SecureUrl("/moved"), folder / "SpMikeCtrl.msi");

  EXPECT_EQ(ScratchFolder::Read(folder / "SpMikeCtrl.msi"), package);
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/moved", kPackagePath}));
}

TEST(HttpsDownload, ARedirectOutOfHttpsIsRefusedWhateverTheLetterCase) {
  if (RerunUnderTestAuthority()) return;
  LoopbackHttpsServer server;
  server.Serve(kPackagePath, {200, ScratchFolder::Read(ORVANE_TEST_PACKAGE)});
  const std::string plain = server.Url(kPackagePath);
  ScratchFolder folder;
  const std::string target = folder / "SpMikeCtrl.msi";
  for (const std::string scheme : {"http", "hTTp", "HTTP"}) {
    const std::string path = "/moved-to-" + scheme;
    server.Serve(path, Redirect(scheme + plain.substr(4)));

    EXPECT_THROW(Download(server.SecureUrl(path), target), EDownloadError) << scheme;

    // The redirect came over HTTPS: it is the redirect that is refused, not the connection.
    ASSERT_FALSE(server.Requests().empty()) << scheme;
    EXPECT_EQ(server.Requests().front(), path) << scheme;
    EXPECT_FALSE(std::filesystem::exists(target)) << scheme;
    EXPECT_FALSE(std::filesystem::exists(PartialDownloadName(target))) << scheme;
    server.ClearRequests();
  }
}

}  // namespace
}  // namespace orvane
