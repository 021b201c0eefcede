#include "app/SoundGroup.h"

namespace orvane {

void TSoundGroup::Start() {
  meter_.Start();
  started_ = true;
  running_ = true;
}

bool TSoundGroup::Stop() {
  meter_.Stop();
  const bool wasRunning = running_;
  running_ = false;
  return wasRunning;
}

// While measuring, the meter's state text is the recording or the replay in progress.
bool TSoundGroup::Busy() const {
  return running_ && meter_.Fault() == TSoundFault::None && !meter_.StateText().empty();
}

std::string TSoundGroup::Text(TSoundPart part) const {
  switch (part) {
    case kSoundDevice: return started_ ? meter_.DeviceText() : "—";
    case kSoundDefault: return meter_.DefaultText();
    case kSoundActivity:
      if (meter_.Fault() != TSoundFault::None) return "";
      if (!started_) return "Mesure dès l'activation";
      if (!running_) return "Mesure arrêtée";
      return meter_.StateText();
    case kSoundBar:
      return "Niveau : " + (meter_.LevelText().empty() ? std::string("aucune mesure") : meter_.LevelText());
    case kSoundLevel: return meter_.LevelText();
    case kSoundSaturation: return meter_.SaturationText();
    case kSoundSilence: return meter_.SilenceText();
    case kSoundFault: return SoundFaultText(meter_.Fault());
    case kSoundRecord: return kSoundRecordCaption;
    case kSoundReplay: return kSoundReplayCaption;
    case kSoundPartCount: break;
  }
  return "";
}

bool TSoundGroup::Shown(TSoundPart part) const {
  const bool fault = meter_.Fault() != TSoundFault::None;
  switch (part) {
    case kSoundBar:
    case kSoundLevel:
    case kSoundSaturation:
    case kSoundSilence: return !fault;
    case kSoundFault: return fault;
    default: return true;
  }
}

bool TSoundGroup::Enabled(TSoundPart part) const {
  if (part == kSoundRecord) return meter_.RecordEnabled();
  if (part == kSoundReplay) return meter_.ReplayEnabled();
  return true;
}

bool TSoundGroup::Alert(TSoundPart part) const {
  if (!Shown(part)) return false;
  if (part == kSoundSaturation) return meter_.Saturated();
  if (part == kSoundSilence) return meter_.Silent();
  return false;
}

std::optional<uint32_t> TSoundGroup::Colour(TSoundPart part) const {
  // The alerts' pale colours under black text, as the button check's cells.
  if (part == kSoundSaturation && Alert(part)) return 0xF4A6A6;
  if (part == kSoundSilence && Alert(part)) return 0xFFE08A;
  if (part == kSoundBar) return meter_.Saturated() ? 0xD83A3A : meter_.Silent() ? 0x9E9E9E : 0x3DA443;
  return std::nullopt;
}

int TSoundGroup::Border(TSoundPart part) const {
  if (Alert(part)) return kSoundAlertBorder;
  return part == kSoundBar ? 1 : 0;
}

}  // namespace orvane
