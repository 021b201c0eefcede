#include "app/qt/FormOrvaneQt.h"

#include <QCloseEvent>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

namespace orvane {
namespace {

// Anchors: the list follows all four sides, the light group the left and bottom ones.
constexpr QRect kListRect{16, 152, 953, 273};
constexpr QRect kLumiereRect{16, 439, 617, 185};

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

QRect ToQRect(const TItemRect& r) { return QRect(r.left, r.top, r.width, r.height); }

QGroupBox* RadioGroup(QWidget* parent, const QString& caption, const QStringList& items, int columns, QRect geometry,
                      QButtonGroup*& buttons) {
  auto* box = new QGroupBox(caption, parent);
  box->setGeometry(geometry);
  buttons = new QButtonGroup(box);
  const int count = static_cast<int>(items.size());
  for (int i = 0; i < count; ++i) {
    auto* radio = new QRadioButton(items[i], box);
    radio->setFocusPolicy(Qt::TabFocus);
    const TItemRect r = RadioGroupItemRect(i, count, columns, geometry.width(), geometry.height(),
                                           box->fontMetrics().height());
    radio->setGeometry(r.left, r.top, r.width, r.height);
    buttons->addButton(radio, i);
  }
  return box;
}

}  // namespace

TFormOrvaneQt::TFormOrvaneQt(QWidget* parent) : QWidget(parent), presenter_(this) {
  setWindowTitle(QString::fromUtf8(kFormOrvaneCaption));
  setFont(WindowFont());
  resize(kClientWidth, kClientHeight);

  buttonActiver_ = new QPushButton("Activer", this);
  buttonActiver_->setGeometry(16, 16, 153, 25);
  buttonDesactiver_ = new QPushButton(QString::fromUtf8("Désactiver"), this);
  buttonDesactiver_->setGeometry(16, 48, 153, 25);

  QStringList lumieres;
  for (const auto& item : kLumiereItems) lumieres << item.text;
  radioGroupLumiere_ =
      RadioGroup(this, QString::fromUtf8("Philips SpeechMike - Lumières"), lumieres, 2, kLumiereRect, lumiereButtons_);

  buttonVideMemo_ = new QPushButton("Vider la liste des commandes", this);
  buttonVideMemo_->setGeometry(16, 80, 153, 25);

  rgDisplay_ = RadioGroup(this, "Affichage ", {kDisplayItems[0], kDisplayItems[1]}, 2, QRect(248, 11, 185, 31),
                          displayButtons_);

  buttonExport_ = new QPushButton("Exporter les logs", this);
  buttonExport_->setGeometry(248, 48, 185, 25);

  listBoxCmd_ = new QListWidget(this);
  listBoxCmd_->setGeometry(kListRect);
  listBoxCmd_->setFont(ListFont());
  // Newspaper columns: top to bottom, then on into the next column.
  listBoxCmd_->setFlow(QListView::TopToBottom);
  listBoxCmd_->setWrapping(true);
  listBoxCmd_->setResizeMode(QListView::Adjust);
  listBoxCmd_->setUniformItemSizes(true);
  listBoxCmd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  listBoxCmd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  button1_ = new QPushButton("ShowMessage de GetTickCount", this);
  button1_->setGeometry(536, 40, 241, 25);

  label1_ = new QLabel("Les commandes :", this);
  label1_->move(16, 128);
  label1_->adjustSize();

  buttonCheckGroup_ = new QGroupBox(QString::fromUtf8(kButtonCheckCaption), this);
  buttonCheckGroup_->setGeometry(ToQRect(kButtonCheckRect));
  const int textHeight = fontMetrics().height();
  // Two lines must fit in a cell's height, whichever font stands in for the window's.
  QFont cellFont = font();
  cellFont.setPointSize(7);
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i) {
    auto* cell = new QLabel(buttonCheckGroup_);
    cell->setFont(cellFont);
    cell->setAlignment(Qt::AlignCenter);
    cell->setGeometry(ToQRect(ButtonCheckCellRect(i, kButtonCheckRect.width, kButtonCheckRect.height, textHeight)));
    buttonCheckCells_[i] = cell;
  }
  buttonCheckProgress_ = new QLabel(buttonCheckGroup_);
  buttonCheckProgress_->setAlignment(Qt::AlignCenter);
  buttonCheckProgress_->setGeometry(
      ToQRect(ButtonCheckProgressRect(kButtonCheckRect.width, kButtonCheckRect.height, textHeight)));

  deviceStatusGroup_ = new QGroupBox(QString::fromUtf8(kDeviceStatusCaption), this);
  deviceStatusGroup_->setGeometry(ToQRect(kDeviceStatusRect));
  deviceStatusText_ = new QLabel(deviceStatusGroup_);
  deviceStatusText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  deviceStatusText_->setGeometry(
      ToQRect(DeviceStatusTextRect(kDeviceStatusRect.width, kDeviceStatusRect.height, textHeight)));

  // Tab order of the window.
  QWidget::setTabOrder(buttonActiver_, buttonDesactiver_);
  QWidget::setTabOrder(buttonDesactiver_, radioGroupLumiere_);
  QWidget::setTabOrder(radioGroupLumiere_, buttonVideMemo_);
  QWidget::setTabOrder(buttonVideMemo_, rgDisplay_);
  QWidget::setTabOrder(rgDisplay_, buttonExport_);
  QWidget::setTabOrder(buttonExport_, listBoxCmd_);
  QWidget::setTabOrder(listBoxCmd_, button1_);

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
  buttonCheckTimer_.start(500);

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

  SyncList();
  LayOutList();
  SyncButtonCheck();
  deviceStatusText_->setText(QString::fromStdString(presenter_.DeviceStatus().Text()));
}

void TFormOrvaneQt::SyncButtonCheck() {
  const TButtonCheck& check = presenter_.ButtonCheck();
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i) {
    const QString text = QString::fromStdString(check.CellText(i));
    const QString style = QString("QLabel { background-color: #%1; color: black; }")
                              .arg(ButtonStateColour(check.State(i)), 6, 16, QChar('0'));
    if (buttonCheckCells_[i]->text() != text) buttonCheckCells_[i]->setText(text);
    if (buttonCheckCells_[i]->styleSheet() != style) buttonCheckCells_[i]->setStyleSheet(style);
  }
  buttonCheckProgress_->setText(QString::fromStdString(check.Progress()));
}

void TFormOrvaneQt::SyncList() {
  const auto& lines = presenter_.Lines();
  if (lines == shown_) return;
  // One event adds one line at the top or at the bottom; anything else is redrawn whole.
  if (lines.size() == shown_.size() + 1 && std::equal(shown_.begin(), shown_.end(), lines.begin() + 1)) {
    listBoxCmd_->insertItem(0, QString::fromStdString(lines.front()));
  } else if (lines.size() == shown_.size() + 1 && std::equal(shown_.begin(), shown_.end(), lines.begin())) {
    listBoxCmd_->addItem(QString::fromStdString(lines.back()));
  } else {
    listBoxCmd_->clear();
    for (const auto& line : lines) listBoxCmd_->addItem(QString::fromStdString(line));
  }
  shown_ = lines;
}

void TFormOrvaneQt::LayOutList() {
  const int columns = std::max(1, presenter_.Columns());
  const int width = listBoxCmd_->viewport()->width() / columns;
  const int height = listBoxCmd_->fontMetrics().height() + 1;
  if (listBoxCmd_->gridSize() != QSize(width, height)) listBoxCmd_->setGridSize(QSize(width, height));
}

void TFormOrvaneQt::FocusButtonActiver() { buttonActiver_->setFocus(Qt::OtherFocusReason); }

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
  const int dx = width() - kClientWidth;
  const int dy = height() - kClientHeight;
  listBoxCmd_->setGeometry(kListRect.x(), kListRect.y(), std::max(0, kListRect.width() + dx),
                           std::max(0, kListRect.height() + dy));
  radioGroupLumiere_->move(kLumiereRect.x(), kLumiereRect.y() + dy);
  buttonCheckGroup_->move(kButtonCheckRect.left + dx, kButtonCheckRect.top + dy);
  deviceStatusGroup_->move(kDeviceStatusRect.left + dx, kDeviceStatusRect.top);
  LayOutList();
}

}  // namespace orvane
