#pragma once
// The waiting window: a modeless window asking the user to wait while a long operation runs,
// with three lines the caller fills in and a bar that follows a download. The presenter holds
// every text and state; a view only draws it.

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

class TFormAttenteDictee;

// What a toolkit draws of the waiting window.
class FormAttenteDicteeView {
 public:
  virtual ~FormAttenteDicteeView() = default;
  // Draws the presenter's current state (shown or not, texts, bar).
  virtual void Render(const TFormAttenteDictee& form) = 0;
  // Processes the window messages waiting in the queue until it is empty.
  virtual void ProcessMessages() = 0;
};

// The port that makes the views of waiting windows.
class WaitingWindows {
 public:
  virtual ~WaitingWindows() = default;
  virtual std::unique_ptr<FormAttenteDicteeView> CreateView(const TFormAttenteDictee& form) = 0;
};

class TFormAttenteDictee {
 public:
  static constexpr const char* kCaption = "Processus en cours...";
  static constexpr const char* kTitle = "Un instant s.v.p.";
  static constexpr const char* kNoTitle = "Non disponible";
  static constexpr const char* kStopCaption = "&Arrêter";
  static constexpr const char* kStopHint = "Permet d'arrêter l'opération courante";

  // Created without an owner (FormCreate): the title box shows "Un instant s.v.p.".
  TFormAttenteDictee();
  ~TFormAttenteDictee();
  TFormAttenteDictee(const TFormAttenteDictee&) = delete;
  TFormAttenteDictee& operator=(const TFormAttenteDictee&) = delete;

  void ShowWaiting(bool showStopPanel);
  void SetTexts(const std::string& title, const std::string& line1, const std::string& line2);
  void StartProgress(const void* sender);
  // The cancel flag is left alone: a download is never cancelled from here.
  void DownloadProgress(const void* sender, uint32_t progress, uint32_t progressMax, uint32_t statusCode,
                        const std::string& statusText, bool& cancel);
  void EndProgress(const void* sender);
  // FormClose: the bar is hidden and the window is finished for good.
  void Close();

  bool Visible() const { return visible_; }
  bool Closed() const { return closed_; }
  const std::string& TitleText() const { return title_; }
  const std::string& LabelApplication() const { return labelApplication_; }
  const std::string& LabelCpt1() const { return labelCpt1_; }
  const std::string& LabelCpt2() const { return labelCpt2_; }
  bool StopPanelVisible() const { return stopPanelVisible_; }
  // Nothing in this system shows the stop button.
  bool StopButtonVisible() const { return false; }
  bool ProgressVisible() const { return progressVisible_; }
  uint32_t ProgressPosition() const { return progressPosition_; }
  uint32_t ProgressMax() const { return progressMax_; }
  // A download whose size is not known yet: the bar shows activity, not a share.
  bool ProgressIndeterminate() const { return progressVisible_ && progressMax_ == 0; }
  // The bar's filled share, 0 to 1.
  double ProgressFraction() const;
  // The toolkit's view, none where no window can be drawn.
  FormAttenteDicteeView* View() const { return view_.get(); }

 private:
  void Render();

  std::unique_ptr<FormAttenteDicteeView> view_;
  bool visible_ = false;
  bool closed_ = false;
  std::string title_;
  std::string labelApplication_, labelCpt1_, labelCpt2_;
  bool stopPanelVisible_ = true;
  bool progressVisible_ = false;
  uint32_t progressPosition_ = 0;
  uint32_t progressMax_ = 0;
};

}  // namespace orvane
