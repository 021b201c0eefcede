#pragma once
// The tester window drawn with Qt Widgets over the toolkit-free presenter.

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/FormOrvane.h"

namespace orvane {

class TFormOrvaneQt : public QWidget, public TFormOrvaneView {
  Q_OBJECT
 public:
  explicit TFormOrvaneQt(QWidget* parent = nullptr);
  ~TFormOrvaneQt() override;

  // TFormOrvaneView
  void LineInsertedAtTop(const std::string& line) override;
  void LineAppended(const std::string& line) override;
  void ListCleared() override;
  void Changed() override;
  void SoundChanged() override;
  void Focus(TFormOrvaneControl control) override;
  void FocusSound(TSoundPart button) override;
  void RequestClose() override;

  QPushButton* ButtonActiver() const { return buttonActiver_; }
  QPushButton* ButtonDesactiver() const { return buttonDesactiver_; }
  QPushButton* ButtonVideMemo() const { return buttonVideMemo_; }
  QPushButton* ButtonExport() const { return buttonExport_; }
  QPushButton* Button1() const { return button1_; }
  QGroupBox* RadioGroupLumiere() const { return radioGroupLumiere_; }
  QButtonGroup* LumiereButtons() const { return lumiereButtons_; }
  QGroupBox* RgDisplay() const { return rgDisplay_; }
  QButtonGroup* DisplayButtons() const { return displayButtons_; }
  QListWidget* ListBoxCmd() const { return listBoxCmd_; }
  QGroupBox* ButtonCheckGroup() const { return buttonCheckGroup_; }
  QLabel* ButtonCheckCell(size_t button) const { return buttonCheckCells_.at(button); }
  QLabel* ButtonCheckProgress() const { return buttonCheckProgress_; }
  QGroupBox* DeviceStatusGroup() const { return deviceStatusGroup_; }
  QLabel* DeviceStatusText() const { return deviceStatusText_; }
  QGroupBox* SoundGroup() const { return soundGroup_; }
  // A part of the sound group: a label, the bar, or a button.
  QWidget* SoundPart(TSoundPart part) const { return soundParts_.at(part); }

 signals:
  // The window has closed (after FormClose): the program ends.
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A control of the window's design, where the design puts it.
  template <class Control>
  Control* Place(Control* control, TFormOrvaneControl id);
  // The same, made with its caption.
  template <class Control>
  Control* Make(TFormOrvaneControl id);
  // A group box of the design, holding what is made in it inside its contents.
  QGroupBox* Group(TFormOrvaneControl id);
  QGroupBox* RadioGroup(TFormOrvaneControl id, QButtonGroup*& buttons);
  void LayOutList();
  void SyncButtonCheck();
  void MakeSoundGroup();
  void SyncSoundGroup();

  TFormOrvane presenter_;
  QPushButton* buttonActiver_;
  QPushButton* buttonDesactiver_;
  QGroupBox* radioGroupLumiere_;
  QButtonGroup* lumiereButtons_;
  QPushButton* buttonVideMemo_;
  QGroupBox* rgDisplay_;
  QButtonGroup* displayButtons_;
  QPushButton* buttonExport_;
  QListWidget* listBoxCmd_;
  QPushButton* button1_;
  QLabel* label1_;
  QGroupBox* buttonCheckGroup_;
  std::array<QLabel*, kSpeechMikeButtonCount> buttonCheckCells_{};
  QLabel* buttonCheckProgress_;
  QGroupBox* deviceStatusGroup_;
  QLabel* deviceStatusText_;
  QGroupBox* soundGroup_;
  std::array<QWidget*, kSoundPartCount> soundParts_{};
  // What each part of the sound group shows now: a refresh redraws only what changed.
  struct SoundPartShown {
    std::string text;
    bool shown = true;
    bool enabled = true;
    std::optional<uint32_t> colour;
    int border = 0;
    bool operator==(const SoundPartShown&) const = default;
  };
  std::array<std::optional<SoundPartShown>, kSoundPartCount> soundShown_{};
  // The window's controls of the design, as TFormOrvaneControl numbers them.
  std::array<QWidget*, kFormOrvaneControlCount> controls_{};
  // Where each stands at the design size.
  std::array<TControlRect, kFormOrvaneControlCount> places_{};
  QTimer buttonCheckTimer_;
  QTimer soundTimer_;
  bool closing_ = false;
};

}  // namespace orvane
