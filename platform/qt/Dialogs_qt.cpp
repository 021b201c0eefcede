// The dialogs under Qt: message boxes with the French captions and buttons.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "common/ApplicationName.h"
#include "platform/Port.h"
#include "platform/Dialogs.h"

namespace orvane {

namespace {

// A message box whose close box closes it without an answer, also when no button is the escape
// button (QMessageBox then refuses to close).
class TClosableMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void closeEvent(QCloseEvent* event) override { QDialog::closeEvent(event); }
};

QMessageBox::ButtonRole Run(QMessageBox::Icon icon, const QString& caption, const std::string& text, bool yesNo,
                            QAbstractButton** yes, QAbstractButton** no) {
  TClosableMessageBox box(icon, caption, QString::fromStdString(text), QMessageBox::NoButton, QApplication::activeWindow());
  if (yesNo) {
    // Neither is the escape button: Escape answers nothing, and the close box answers neither.
    *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    *no = box.addButton(QStringLiteral("&Non"), QMessageBox::ActionRole);
    box.setDefaultButton(static_cast<QPushButton*>(*yes));
  } else {
    box.setEscapeButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
  }
  box.exec();
  if (!yesNo) return QMessageBox::AcceptRole;
  if (box.clickedButton() == *yes) return QMessageBox::YesRole;
  if (box.clickedButton() == *no) return QMessageBox::NoRole;
  return QMessageBox::InvalidRole;
}

class QtDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { Show(QMessageBox::NoIcon, QString::fromStdString(ApplicationTitle()), text); }
  void MessageWarning(const std::string& text) override { Show(QMessageBox::Warning, QStringLiteral("Avertissement"), text); }
  void MessageError(const std::string& text) override { Show(QMessageBox::Critical, QStringLiteral("Erreur"), text); }
  TModalResult AskWarningYesNo(const std::string& text) override {
    QAbstractButton* yes = nullptr;
    QAbstractButton* no = nullptr;
    switch (Run(QMessageBox::Warning, QStringLiteral("Avertissement"), text, true, &yes, &no)) {
      case QMessageBox::YesRole: return TModalResult::Yes;
      case QMessageBox::NoRole: return TModalResult::No;
      default: return TModalResult::None;
    }
  }

 private:
  static void Show(QMessageBox::Icon icon, const QString& caption, const std::string& text) {
    Run(icon, caption, text, false, nullptr, nullptr);
  }
};

}  // namespace

template <>
Dialogs& PlatformAdapter<Dialogs>() {
  static QtDialogs adapter;
  return adapter;
}

}  // namespace orvane
