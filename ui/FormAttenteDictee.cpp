#include "ui/FormAttenteDictee.h"

#include <algorithm>

#include "platform/Port.h"

namespace orvane {

TFormAttenteDictee::TFormAttenteDictee() : title_(kTitle) { view_ = Port<WaitingWindows>().CreateView(*this); }

TFormAttenteDictee::~TFormAttenteDictee() = default;

void TFormAttenteDictee::Render() {
  if (view_) view_->Render(*this);
}

void TFormAttenteDictee::ShowWaiting(bool showStopPanel) {
  stopPanelVisible_ = showStopPanel;
  labelApplication_.clear();
  labelCpt1_.clear();
  labelCpt2_.clear();
  progressVisible_ = false;
  if (!closed_) visible_ = true;
  Render();
  if (view_) view_->ProcessMessages();
}

void TFormAttenteDictee::SetTexts(const std::string& title, const std::string& line1, const std::string& line2) {
  labelApplication_ = title.empty() ? kNoTitle : title;
  labelCpt1_ = line1;
  labelCpt2_ = line2;
  Render();
  if (view_) view_->ProcessMessages();
}

void TFormAttenteDictee::StartProgress(const void*) {
  progressPosition_ = 0;
  progressVisible_ = true;
  Render();
}

void TFormAttenteDictee::DownloadProgress(const void*, uint32_t progress, uint32_t progressMax, uint32_t,
                                          const std::string&, bool&) {
  progressMax_ = progressMax;
  progressPosition_ = progress;
  Render();
}

void TFormAttenteDictee::EndProgress(const void*) {
  progressVisible_ = false;
  progressPosition_ = 0;
  Render();
}

void TFormAttenteDictee::Close() {
  progressVisible_ = false;
  visible_ = false;
  closed_ = true;
  Render();
}

double TFormAttenteDictee::ProgressFraction() const {
  if (progressMax_ == 0) return 0.0;
  return std::min(1.0, static_cast<double>(progressPosition_) / progressMax_);
}

}  // namespace orvane
