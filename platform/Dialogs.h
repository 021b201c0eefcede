#pragma once
// The dialogs port: modal message dialogs with French captions and buttons.

#include <string>

namespace orvane {

enum class TModalResult { None, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The text and an OK button, titled with the application title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The standard message dialog with the warning icon, caption "Avertissement", one "OK".
  virtual void MessageWarning(const std::string& text) = 0;
  // The standard message dialog with the error icon, caption "Erreur", one "OK".
  virtual void MessageError(const std::string& text) = 0;
  // Warning icon, caption "Avertissement", buttons "&Oui" and "&Non"; closing it otherwise
  // answers None.
  virtual TModalResult AskWarningYesNo(const std::string& text) = 0;
};

}  // namespace orvane
