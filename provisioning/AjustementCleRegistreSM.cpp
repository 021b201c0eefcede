#include "provisioning/AjustementCleRegistreSM.h"

#include <string>

#include "platform/Clock.h"
#include "common/DateTimeFormat.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "provisioning/registry/RegistryAccessor.h"

namespace orvane {

namespace {

const char kBaseKey[] = "\\Control Panel\\Philips Speech";

void Log(const std::string& message, uint8_t level) { AppLogger().Log(message, level, 0); }

void Stamp(TRegistryAccessor& registry) {
  registry.WriteInteger("SequenceEnabled", 0);
  registry.WriteString("KALDInstallation", FormatDateTime("c", Port<Clock>().Now()));
}

void AdjustModels(TRegistryAccessor& registry) {
  registry.SetRootKey(TRootKey::CurrentUser);
  for (const char* model : kModelesSpeechMike) {
    // Opening a model key moves the accessor there, so the base key is opened anew each time.
    if (!registry.OpenKey(kBaseKey, false)) continue;
    const std::string modelKey = std::string(model) + "\\Default";
    if (registry.OpenKey(modelKey, false)) {
      bool readable = true;
      int32_t sequenceEnabled = 0;
      try {
        sequenceEnabled = registry.ReadInteger("SequenceEnabled");
      } catch (...) {
        readable = false;
      }
      if (!readable) {
        Stamp(registry);
      } else if (sequenceEnabled != 0) {
        try {
          Stamp(registry);
        } catch (...) {
          Stamp(registry);
        }
      }
    } else if (registry.OpenKey(modelKey, true)) {
      Stamp(registry);
    }
  }
}

}  // namespace

void AjustementCleRegistreSM() {
  Log("AjustementCleRegistreSM - IN", 250);
  {
    TRegistryAccessor registry;
    try {
      AdjustModels(registry);
      registry.Flush();
    } catch (...) {
      registry.CloseKey();
      Log("AjustementCleRegistreSM - OUT", 250);
      throw;
    }
  }
  Log("AjustementCleRegistreSM - OUT", 250);
}

}  // namespace orvane
