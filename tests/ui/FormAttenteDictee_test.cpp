#include "ui/FormAttenteDictee.h"

#include <gtest/gtest.h>

#include "tests/support/FakeWaitingWindow.h"

namespace orvane {
namespace {

using testing::ScopedFakeWaitingWindows;

TEST(FormAttenteDictee, ShowWaitingEmptiesOldLinesHidesTheBarAndLetsMessagesThrough) {
  ScopedFakeWaitingWindows fake;
  TFormAttenteDictee form;
  EXPECT_EQ(form.TitleText(), "Un instant s.v.p.");
  EXPECT_FALSE(form.Visible());
  form.SetTexts("a", "b", "c");
  form.StartProgress(nullptr);
  const int processedBefore = fake.windows.messagesProcessed;

  form.ShowWaiting(false);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.StopPanelVisible());
  EXPECT_FALSE(form.StopButtonVisible());
  EXPECT_EQ(form.LabelApplication(), "");
  EXPECT_EQ(form.LabelCpt1(), "");
  EXPECT_EQ(form.LabelCpt2(), "");
  EXPECT_FALSE(form.ProgressVisible());
  EXPECT_EQ(fake.windows.messagesProcessed, processedBefore + 1);
  EXPECT_TRUE(fake.windows.frames.back().visible);
}

TEST(FormAttenteDictee, AnEmptyTitleLineReadsNonDisponible) {
  ScopedFakeWaitingWindows fake;
  TFormAttenteDictee form;
  form.ShowWaiting(false);
  form.SetTexts("", "", "");
  EXPECT_EQ(form.LabelApplication(), "Non disponible");
  EXPECT_EQ(form.LabelCpt1(), "");
  form.SetTexts("Installation en cours...", "Pilotes", "");
  EXPECT_EQ(fake.windows.frames.back().application, "Installation en cours...");
  EXPECT_EQ(fake.windows.frames.back().line1, "Pilotes");
  EXPECT_EQ(fake.windows.messagesProcessed, 3);
}

TEST(FormAttenteDictee, TheBarFollowsTheDownloadAndNeverCancelsIt) {
  ScopedFakeWaitingWindows fake;
  TFormAttenteDictee form;
  form.ShowWaiting(false);
  form.StartProgress(nullptr);
  EXPECT_TRUE(form.ProgressVisible());
  EXPECT_TRUE(form.ProgressIndeterminate());
  bool cancel = false;
  form.DownloadProgress(nullptr, 1024000, 4096000, 5, "", cancel);
  EXPECT_FALSE(cancel);
  EXPECT_DOUBLE_EQ(form.ProgressFraction(), 0.25);
  EXPECT_FALSE(form.ProgressIndeterminate());
  const int processed = fake.windows.messagesProcessed;
  form.DownloadProgress(nullptr, 4096000, 4096000, 5, "", cancel);
  // Progress reports do not let messages through: only the bar's own drawing follows.
  EXPECT_EQ(fake.windows.messagesProcessed, processed);
  form.EndProgress(nullptr);
  EXPECT_FALSE(form.ProgressVisible());
  EXPECT_EQ(form.ProgressPosition(), 0u);
}

TEST(FormAttenteDictee, ClosingHidesTheBarBeforeTheWindowGoes) {
  ScopedFakeWaitingWindows fake;
  {
    TFormAttenteDictee form;
    form.ShowWaiting(false);
    form.StartProgress(nullptr);
    form.Close();
    EXPECT_TRUE(form.Closed());
    EXPECT_FALSE(fake.windows.frames.back().visible);
    EXPECT_FALSE(fake.windows.frames.back().progressVisible);
    // A closed window is finished for good.
    form.ShowWaiting(false);
    EXPECT_FALSE(form.Visible());
  }
  EXPECT_EQ(fake.windows.created, 1);
  EXPECT_EQ(fake.windows.destroyed, 1);
}

}  // namespace
}  // namespace orvane
