#pragma once
// The tester window drawn with Win32 controls over the toolkit-free presenter.

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "app/FormOrvane.h"

namespace orvane {

class TFormOrvaneWin32 : public TFormOrvaneView {
 public:
  TFormOrvaneWin32();
  ~TFormOrvaneWin32() override;
  TFormOrvaneWin32(const TFormOrvaneWin32&) = delete;
  TFormOrvaneWin32& operator=(const TFormOrvaneWin32&) = delete;

  // Creates the window and its controls (FormCreate runs here), hidden.
  HWND Create(HINSTANCE instance);
  // Shows the window: FormShow runs first, as for the first show of a form.
  void Show(int showCommand);
  HWND Handle() const { return window_; }

  // TFormOrvaneView
  void LineInsertedAtTop(const std::string& line) override;
  void LineAppended(const std::string& line) override;
  void ListCleared() override;
  void Changed() override;
  void SoundChanged() override;
  void Focus(TFormOrvaneControl control) override;
  void FocusSound(TSoundPart button) override;
  void RequestClose() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(int id, int notification);
  void Anchor();
  void SetColumnWidth();
  // Puts a line into the list at index At, -1 for the end.
  void InsertLine(const std::string& line, int at);
  void SyncButtonCheck();
  // The width of a text in the window's font, in design pixels.
  int TextWidth(const std::string& text) const;
  // The width of each button's caption in the window's font, in design pixels.
  std::vector<int> CaptionWidths() const;
  void DrawCell(const DRAWITEMSTRUCT& item);
  void SyncSoundGroup();
  void DrawSoundPart(const DRAWITEMSTRUCT& item);

  TFormOrvane presenter_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HFONT listFont_ = nullptr;
  HWND buttonActiver_ = nullptr;
  HWND buttonDesactiver_ = nullptr;
  HWND radioGroupLumiere_ = nullptr;
  HWND lumiere_[kLumiereItemCount] = {};
  HWND buttonVideMemo_ = nullptr;
  HWND rgDisplay_ = nullptr;
  HWND display_[kDisplayItemCount] = {};
  HWND buttonExport_ = nullptr;
  HWND listBoxCmd_ = nullptr;
  HWND button1_ = nullptr;
  HWND label1_ = nullptr;
  HWND buttonCheckGroup_ = nullptr;
  std::array<HWND, kSpeechMikeButtonCount> buttonCheckCells_{};
  HWND buttonCheckProgress_ = nullptr;
  HWND deviceStatusGroup_ = nullptr;
  HWND deviceStatusText_ = nullptr;
  HWND soundGroup_ = nullptr;
  std::array<HWND, kSoundPartCount> soundParts_{};
  // The controls of the design, as TFormOrvaneControl numbers them.
  std::array<HWND, kFormOrvaneControlCount> controls_{};
  // Every control with its design place (client coordinates at 96 DPI) and the window's sides it
  // follows.
  struct Placed {
    HWND control;
    TControlRect design;
    unsigned anchors;
  };
  std::vector<Placed> placed_;
  SIZE designClient_{};
  bool closing_ = false;
};

}  // namespace orvane
