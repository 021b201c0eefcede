#include "app/qt/FormOrvaneQt.h"

#include <QCloseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <vector>

namespace orvane {
namespace {

QFont WindowFont() {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"});
  font.setPointSize(8);
  return font;
}

QFont ListFont() {
  QFont font;
  font.setFamilies({"Times New Roman", "Liberation Serif", "Times"});
  font.setPointSize(8);
  return font;
}

QRect ToQRect(const TControlRect& r) { return QRect(r.left, r.top, r.width, r.height); }

QString Caption(const char* text) { return QString::fromUtf8(text); }

// Where a group box holds its contents, as its style computes it.
TControlRect ContentsOf(const QGroupBox* box) {
  const QRect r = box->contentsRect();
  return TControlRect{r.left(), r.top(), r.width(), r.height()};
}

// The sound group's level bar, drawn from the group's model: the last window's peak in the
// colour of the level, and the hold mark.
class TSoundBarQt : public QWidget {
 public:
  TSoundBarQt(const TSoundGroup& group, QWidget* parent) : QWidget(parent), group_(group) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int border = group_.Border(kSoundBar);
    painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    const QRect inside = rect().adjusted(border, border, -border, -border);
    painter.fillRect(inside, Qt::white);
    const int level = static_cast<int>(inside.width() * group_.LevelFraction() + 0.5);
    painter.fillRect(QRect(inside.left(), inside.top(), level, inside.height()),
                     QColor(QRgb(group_.Colour(kSoundBar).value_or(0))));
    if (group_.HoldFraction() > 0) {
      const int hold = inside.left() + static_cast<int>((inside.width() - 2) * group_.HoldFraction() + 0.5);
      painter.fillRect(QRect(hold, inside.top(), 2, inside.height()), Qt::black);
    }
  }

 private:
  const TSoundGroup& group_;
};

}  // namespace

template <class Control>
Control* TFormOrvaneQt::Place(Control* control, TFormOrvaneControl id) {
  const TControlRect& r = kFormOrvaneLayout[id].rect;
  // A label keeps the size of its text.
  if (r.width > 0) control->setGeometry(ToQRect(r));
  else control->move(r.left, r.top);
  controls_[id] = control;
  places_[id] = r;
  return control;
}

template <class Control>
Control* TFormOrvaneQt::Make(TFormOrvaneControl id) {
  return Place(new Control(Caption(kFormOrvaneLayout[id].caption), this), id);
}

QGroupBox* TFormOrvaneQt::Group(TFormOrvaneControl id) {
  auto* box = Make<QGroupBox>(id);
  // Qt puts the title above the frame, where Win32 draws it on the frame: the box grows upwards
  // by the difference, so that what it holds stands where the design puts it.
  places_[id] = GroupBoxWithContentsAt(places_[id], box->contentsRect().top());
  box->setGeometry(ToQRect(places_[id]));
  return box;
}

QGroupBox* TFormOrvaneQt::RadioGroup(TFormOrvaneControl id, QButtonGroup*& buttons) {
  const TControlLayout& layout = kFormOrvaneLayout[id];
  auto* box = Group(id);
  buttons = new QButtonGroup(box);
  for (size_t i = 0; i < layout.items.size(); ++i) {
    auto* radio = new QRadioButton(Caption(layout.items[i]), box);
    radio->setFocusPolicy(Qt::TabFocus);
    radio->setGeometry(ToQRect(RadioGroupItemRect(layout, static_cast<int>(i), ContentsOf(box))));
    buttons->addButton(radio, static_cast<int>(i));
  }
  return box;
}

TFormOrvaneQt::TFormOrvaneQt(QWidget* parent) : QWidget(parent), presenter_(this) {
  setWindowTitle(Caption(kFormOrvaneCaption));
  setFont(WindowFont());
  resize(kFormOrvaneClientWidth, kFormOrvaneClientHeight);
  // Never smaller than designed, or the groups that follow the right and bottom sides would cover
  // the others.
  setMinimumSize(kFormOrvaneClientWidth, kFormOrvaneClientHeight);

  buttonActiver_ = Make<QPushButton>(kButtonActiver);
  buttonDesactiver_ = Make<QPushButton>(kButtonDesactiver);
  radioGroupLumiere_ = RadioGroup(kRadioGroupLumiere, lumiereButtons_);
  buttonVideMemo_ = Make<QPushButton>(kButtonVideMemo);
  rgDisplay_ = RadioGroup(kRgDisplay, displayButtons_);
  buttonExport_ = Make<QPushButton>(kButtonExport);

  listBoxCmd_ = Place(new QListWidget(this), kListBoxCmd);
  listBoxCmd_->setFont(ListFont());
  // Newspaper columns: top to bottom, then on into the next column.
  listBoxCmd_->setFlow(QListView::TopToBottom);
  listBoxCmd_->setWrapping(true);
  listBoxCmd_->setResizeMode(QListView::Adjust);
  listBoxCmd_->setUniformItemSizes(true);
  listBoxCmd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  listBoxCmd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  button1_ = Make<QPushButton>(kButton1);

  label1_ = Make<QLabel>(kLabel1);
  label1_->adjustSize();

  const int textHeight = fontMetrics().height();
  buttonCheckGroup_ = Group(kButtonCheckGroup);
  std::vector<int> captionWidths;
  for (const TSpeechMikeButton& button : kSpeechMikeButtons)
    captionWidths.push_back(fontMetrics().horizontalAdvance(Caption(button.caption)));
  const TControlRect checkInside = ContentsOf(buttonCheckGroup_);
  const auto cells = ButtonCheckCellRects(checkInside, textHeight, captionWidths);
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i) {
    auto* cell = new QLabel(buttonCheckGroup_);
    // The window's font, which a style sheet would otherwise replace with the application's.
    cell->setFont(font());
    cell->setAlignment(Qt::AlignCenter);
    cell->setGeometry(ToQRect(cells[i]));
    buttonCheckCells_[i] = cell;
  }
  buttonCheckProgress_ = new QLabel(buttonCheckGroup_);
  buttonCheckProgress_->setAlignment(Qt::AlignCenter);
  buttonCheckProgress_->setGeometry(ToQRect(ButtonCheckProgressRect(checkInside, textHeight)));

  deviceStatusGroup_ = Group(kDeviceStatusGroup);
  deviceStatusText_ = new QLabel(deviceStatusGroup_);
  deviceStatusText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Long lines wrap at word ends rather than being cut.
  deviceStatusText_->setWordWrap(true);
  deviceStatusText_->setGeometry(ToQRect(ContentsOf(deviceStatusGroup_)));

  MakeSoundGroup();

  // Tab order of the window, the sound group's buttons last.
  QWidget* previous = nullptr;
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (!kFormOrvaneLayout[i].tabStop) continue;
    if (previous) QWidget::setTabOrder(previous, controls_[i]);
    previous = controls_[i];
  }
  for (TSoundPart button : {kSoundRecord, kSoundReplay}) {
    QWidget::setTabOrder(previous, soundParts_[button]);
    previous = soundParts_[button];
  }

  auto& p = presenter_;
  connect(buttonActiver_, &QPushButton::clicked, this, [&p] { p.Run([&] { p.ButtonActiverClick(); }); });
  connect(buttonDesactiver_, &QPushButton::clicked, this, [&p] { p.Run([&] { p.ButtonDesactiverClick(); }); });
  connect(buttonVideMemo_, &QPushButton::clicked, this, [&p] { p.Run([&] { p.ButtonVideMemoClick(); }); });
  connect(buttonExport_, &QPushButton::clicked, this, [&p] { p.Run([&] { p.ButtonExportClick(); }); });
  connect(button1_, &QPushButton::clicked, this, [&p] { p.Run([&] { p.Button1Click(); }); });
  connect(lumiereButtons_, &QButtonGroup::idClicked, this, [this, &p](int id) {
    p.Run([&] { p.SelectLumiere(id); });
    Changed();
  });
  connect(displayButtons_, &QButtonGroup::idClicked, this, [this, &p](int id) {
    p.Run([&] { p.SelectDisplay(id); });
    Changed();
  });

  connect(&buttonCheckTimer_, &QTimer::timeout, this, [&p] { p.Run([&] { p.ButtonCheckTimer(); }); });
  buttonCheckTimer_.start(TFormOrvane::kButtonCheckPeriod);
  connect(qobject_cast<QPushButton*>(soundParts_[kSoundRecord]), &QPushButton::clicked, this,
          [&p] { p.Run([&] { p.ButtonEnregistrerClick(); }); });
  connect(qobject_cast<QPushButton*>(soundParts_[kSoundReplay]), &QPushButton::clicked, this,
          [&p] { p.Run([&] { p.ButtonReecouterClick(); }); });
  // Its period is the refresh's bound: kept, not stretched as Qt may stretch a coarse timer.
  soundTimer_.setTimerType(Qt::PreciseTimer);
  connect(&soundTimer_, &QTimer::timeout, this, [&p] { p.Run([&] { p.SoundTimer(); }); });
  soundTimer_.start(TFormOrvane::kSoundPeriod);

  presenter_.Run([&] { presenter_.FormCreate(); });
  Changed();

  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

TFormOrvaneQt::~TFormOrvaneQt() { presenter_.SetView(nullptr); }

void TFormOrvaneQt::Changed() {
  buttonActiver_->setEnabled(presenter_.ButtonActiverEnabled());
  buttonDesactiver_->setEnabled(presenter_.ButtonDesactiverEnabled());
  buttonExport_->setEnabled(presenter_.ButtonExportEnabled());

  const auto check = [](QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
      if (!button->isChecked()) button->setChecked(true);
    } else if (QAbstractButton* checked = group->checkedButton()) {
      group->setExclusive(false);
      checked->setChecked(false);
      group->setExclusive(true);
    }
  };
  check(lumiereButtons_, presenter_.LumiereIndex());
  check(displayButtons_, presenter_.DisplayIndex());

  LayOutList();
  SyncButtonCheck();
  const TDeviceStatus& status = presenter_.DeviceStatus();
  deviceStatusText_->setText(QString::fromStdString(status.Text()));
  deviceStatusText_->setAccessibleName(QString::fromStdString(status.Description()));
  SyncSoundGroup();
}

void TFormOrvaneQt::SoundChanged() { SyncSoundGroup(); }

void TFormOrvaneQt::MakeSoundGroup() {
  soundGroup_ = Group(kSoundGroup);
  const QFontMetrics metrics = fontMetrics();
  const auto rects = SoundGroupRects(ContentsOf(soundGroup_), metrics.height(), [&](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  });
  for (size_t i = 0; i < kSoundPartCount; ++i) {
    const auto part = static_cast<TSoundPart>(i);
    QWidget* widget = nullptr;
    if (part == kSoundBar) {
      widget = new TSoundBarQt(presenter_.SoundGroup(), soundGroup_);
    } else if (part == kSoundRecord || part == kSoundReplay) {
      widget = new QPushButton(QString::fromStdString(presenter_.SoundGroup().Text(part)), soundGroup_);
    } else {
      auto* label = new QLabel(soundGroup_);
      // The window's font, which a style sheet would otherwise replace with the application's.
      label->setFont(font());
      label->setTextFormat(Qt::PlainText);
      if (part == kSoundLevel) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (part == kSoundSaturation || part == kSoundSilence) label->setAlignment(Qt::AlignCenter);
      // A fault's words wrap over its two lines.
      if (part == kSoundFault) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      }
      widget = label;
    }
    widget->setGeometry(ToQRect(rects[i]));
    soundParts_[i] = widget;
  }
}

void TFormOrvaneQt::SyncSoundGroup() {
  const TSoundGroup& group = presenter_.SoundGroup();
  for (size_t i = 0; i < kSoundPartCount; ++i) {
    const auto part = static_cast<TSoundPart>(i);
    const SoundPartShown wanted{group.Text(part), group.Shown(part), group.Enabled(part), group.Colour(part),
                                group.Border(part)};
    if (soundShown_[i] == wanted) continue;
    soundShown_[i] = wanted;
    QWidget* widget = soundParts_[i];
    const QString text = QString::fromStdString(wanted.text);
    widget->setVisible(wanted.shown);
    widget->setEnabled(wanted.enabled);
    widget->setAccessibleName(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      // A device's name longer than its line ends in an ellipsis; its tip and screen readers have
      // it whole.
      const QString shown =
          part == kSoundDevice ? label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()) : text;
      label->setText(shown);
      label->setToolTip(shown == text ? QString() : text);
      label->setStyleSheet(wanted.colour ? QString("QLabel { background-color: #%1; color: black; border: %2px solid "
                                                   "#808080; }")
                                               .arg(*wanted.colour, 6, 16, QChar('0'))
                                               .arg(wanted.border)
                                         : QString());
    }
  }
  // The bar moves with every window measured, its words only with its figure.
  soundParts_[kSoundBar]->update();
}

void TFormOrvaneQt::SyncButtonCheck() {
  const TButtonCheck& check = presenter_.ButtonCheck();
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i) {
    QLabel* cell = buttonCheckCells_[i];
    const QString text = QString::fromStdString(check.CellText(i));
    const QString style = QString("QLabel { background-color: #%1; color: black; border: %2px solid #808080; }")
                              .arg(ButtonStateColour(check.State(i)), 6, 16, QChar('0'))
                              .arg(ButtonStateBorder(check.State(i)));
    if (cell->text() != text) cell->setText(text);
    if (cell->styleSheet() != style) cell->setStyleSheet(style);
    cell->setAccessibleName(QString::fromStdString(check.CellDescription(i)));
  }
  buttonCheckProgress_->setText(QString::fromStdString(check.Progress()));
}

void TFormOrvaneQt::LineInsertedAtTop(const std::string& line) { listBoxCmd_->insertItem(0, QString::fromStdString(line)); }

void TFormOrvaneQt::LineAppended(const std::string& line) { listBoxCmd_->addItem(QString::fromStdString(line)); }

void TFormOrvaneQt::ListCleared() { listBoxCmd_->clear(); }

void TFormOrvaneQt::LayOutList() {
  const int columns = std::max(1, presenter_.Columns());
  const int width = listBoxCmd_->viewport()->width() / columns;
  const int height = listBoxCmd_->fontMetrics().height() + 1;
  if (listBoxCmd_->gridSize() != QSize(width, height)) listBoxCmd_->setGridSize(QSize(width, height));
}

void TFormOrvaneQt::Focus(TFormOrvaneControl control) { controls_[control]->setFocus(Qt::OtherFocusReason); }

void TFormOrvaneQt::FocusSound(TSoundPart button) { soundParts_[button]->setFocus(Qt::OtherFocusReason); }

void TFormOrvaneQt::RequestClose() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void TFormOrvaneQt::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  presenter_.Run([&] { presenter_.FormShow(); });
}

void TFormOrvaneQt::closeEvent(QCloseEvent* event) {
  // The window closes even when a deactivation step fails: the user asked to quit, and the
  // controller releases the component with the window anyway.
  if (!closing_) {
    closing_ = true;
    presenter_.Run([&] { presenter_.FormClose(); });
  }
  event->accept();
  emit Closed();
}

void TFormOrvaneQt::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int dx = width() - kFormOrvaneClientWidth;
  const int dy = height() - kFormOrvaneClientHeight;
  // What is tied to the top left corner stays where it was made.
  for (size_t i = 0; i < controls_.size(); ++i) {
    const TControlLayout& layout = kFormOrvaneLayout[i];
    if (layout.anchors & (kAnchorRight | kAnchorBottom))
      controls_[i]->setGeometry(ToQRect(Anchored(places_[i], layout.anchors, dx, dy)));
  }
  LayOutList();
}

}  // namespace orvane
