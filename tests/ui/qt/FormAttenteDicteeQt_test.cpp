#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/FormAttenteDictee.h"
#include "ui/qt/FormAttenteDicteeQt.h"

namespace orvane {
namespace {

template <class T>
T* Control(QWidget* window, const char* name) {
  T* control = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

TEST(FormAttenteDicteeQt, DrawsTheLinesAndTheBarThePresenterHolds) {
  TFormAttenteDictee form;
  QWidget* window = FormAttenteDicteeWindow(form.View());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Processus en cours..."));
  EXPECT_FALSE(window->isVisible());

  form.ShowWaiting(false);
  form.SetTexts("", "Pilotes du micro/pédalier Philips SpeechMike", "");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Control<QLabel>(window, "RichEditTitle")->text(), QString::fromUtf8("Un instant s.v.p."));
  EXPECT_EQ(Control<QLabel>(window, "LabelApplication")->text(), QString::fromUtf8("Non disponible"));
  EXPECT_EQ(Control<QLabel>(window, "LabelCpt1")->text(), QString::fromUtf8("Pilotes du micro/pédalier Philips SpeechMike"));
  EXPECT_FALSE(Control<QWidget>(window, "PanelBitBtnArreter")->isVisible());
  EXPECT_FALSE(Control<QPushButton>(window, "BitBtnArreter")->isVisible());
  EXPECT_EQ(Control<QLabel>(window, "LabelCpt2")->geometry(), QRect(8, 192, 377, 16));

  QProgressBar* bar = Control<QProgressBar>(window, "ProgressBarAttente");
  EXPECT_FALSE(bar->isVisible());
  form.StartProgress(nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), 0);  // size not known yet: a busy bar
  bool cancel = false;
  form.DownloadProgress(nullptr, 1024000, 4096000, 5, "", cancel);
  EXPECT_EQ(bar->value() * 4, bar->maximum());

  form.Close();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace orvane
