#include <gtest/gtest.h>

#include "platform/Port.h"
#include "tests/support/DialogRobot_win.h"
#include "platform/Dialogs.h"

namespace orvane::testing {
namespace {

using Buttons = std::vector<std::string>;

TEST(Win32Dialogs, YesNoQuestionShowsOuiAndNonAndAnswersWhatWasClicked) {
  for (const auto& [button, answer] : {std::pair{IDYES, TModalResult::Yes}, std::pair{IDNO, TModalResult::No}}) {
    DialogAnswerer user(L"Avertissement", button);
    EXPECT_EQ(PlatformAdapter<Dialogs>().AskWarningYesNo("Réinstaller les pilotes ?"), answer);
    const SeenDialog& seen = user.Seen();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Réinstaller les pilotes ?");
    EXPECT_EQ(seen.buttons, (Buttons{"&Oui", "&Non"}));
  }
}

TEST(Win32Dialogs, WarningAndErrorHaveTheirFrenchCaptionsAndOneOk) {
  {
    DialogAnswerer user(L"Avertissement", IDOK);
    PlatformAdapter<Dialogs>().MessageWarning("Les pilotes\n\r\rsont absents.");
    EXPECT_EQ(user.Seen().buttons, Buttons{"OK"});
    EXPECT_EQ(user.Seen().text, "Les pilotes\n\r\rsont absents.");
  }
  {
    DialogAnswerer user(L"Erreur", IDOK);
    PlatformAdapter<Dialogs>().MessageError("Erreur d'activation: Occupé");
    EXPECT_TRUE(user.Seen().found);
    EXPECT_EQ(user.Seen().buttons, Buttons{"OK"});
  }
}

TEST(Win32Dialogs, PlainMessageIsTitledWithTheApplicationTitle) {
  DialogAnswerer user(L"orvane_tests", IDOK);
  PlatformAdapter<Dialogs>().ShowMessage(" GetLastError = 0");
  EXPECT_TRUE(user.Seen().found);
  EXPECT_EQ(user.Seen().text, " GetLastError = 0");
}

}  // namespace
}  // namespace orvane::testing
