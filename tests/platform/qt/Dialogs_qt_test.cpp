#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/Port.h"
#include "platform/Dialogs.h"

namespace orvane {
namespace {

struct SeenBox {
  QString title;
  QString text;
  QStringList buttons;
  bool stillOpenAfterEscape = false;
};

// When the box is up: reads it, presses Escape, then clicks the button with that text.
void AnswerNextBox(SeenBox& seen, const QString& click) {
  QTimer::singleShot(0, [&seen, click] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
    seen.stillOpenAfterEscape = box->isVisible();
    for (QAbstractButton* button : box->buttons())
      if (button->text() == click) button->click();
  });
}

TEST(QtDialogs, YesNoQuestionShowsOuiAndNonAndAnswersOnlyWhatWasClicked) {
  for (const auto& [click, answer] : {std::pair{QString("&Oui"), TModalResult::Yes}, std::pair{QString("&Non"), TModalResult::No}}) {
    SeenBox seen;
    AnswerNextBox(seen, click);
    EXPECT_EQ(PlatformAdapter<Dialogs>().AskWarningYesNo("Réinstaller les pilotes ?"), answer);
    EXPECT_EQ(seen.title.toStdString(), "Avertissement");
    EXPECT_EQ(seen.text.toStdString(), "Réinstaller les pilotes ?");
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains("&Oui"));
    EXPECT_TRUE(seen.buttons.contains("&Non"));
    EXPECT_TRUE(seen.stillOpenAfterEscape) << "Escape answered for the user";
  }
}

// The close box of the window manager asks the box to close, as close() does.
TEST(QtDialogs, YesNoQuestionClosedByItsCloseBoxAnswersNeither) {
  bool closed = false;
  QTimer::singleShot(0, [&closed] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    closed = box->close();
    // A refused close leaves the box up: answer it so that the test ends.
    if (!closed) box->buttons().front()->click();
  });
  EXPECT_EQ(PlatformAdapter<Dialogs>().AskWarningYesNo("Poursuivre ?"), TModalResult::None);
  EXPECT_TRUE(closed) << "the close box was refused";
}

TEST(QtDialogs, MessagesHaveTheirCaptionsAndOneOk) {
  SeenBox warning, error, plain;
  AnswerNextBox(warning, "OK");
  PlatformAdapter<Dialogs>().MessageWarning("Les pilotes sont absents.");
  AnswerNextBox(error, "OK");
  PlatformAdapter<Dialogs>().MessageError("Erreur d'activation: Occupé");
  AnswerNextBox(plain, "OK");
  PlatformAdapter<Dialogs>().ShowMessage(" GetLastError = 0");
  EXPECT_EQ(warning.title.toStdString(), "Avertissement");
  EXPECT_EQ(error.title.toStdString(), "Erreur");
  EXPECT_EQ(error.text.toStdString(), "Erreur d'activation: Occupé");
  EXPECT_EQ(plain.title.toStdString(), "orvane_qt_tests");
  for (const SeenBox* box : {&warning, &error, &plain}) EXPECT_EQ(box->buttons, QStringList{"OK"});
}

}  // namespace
}  // namespace orvane
