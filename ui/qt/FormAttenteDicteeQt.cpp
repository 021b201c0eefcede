// The Qt view of the waiting window.

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>

#include "platform/Port.h"
#include "ui/FormAttenteDictee.h"
#include "ui/qt/FormAttenteDicteeQt.h"

namespace orvane {

namespace {

QFont Tahoma(int points, bool bold) {
  QFont font(QStringLiteral("Tahoma"), points);
  font.setBold(bold);
  return font;
}

QIcon StopGlyph() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) {
    const double angle = (22.5 + 45.0 * i) * M_PI / 180.0;
    octagon << QPointF(12 + 11 * std::cos(angle), 12 + 11 * std::sin(angle));
  }
  painter.setBrush(QColor(200, 0, 0));
  painter.setPen(QPen(Qt::white, 1));
  painter.drawPolygon(octagon);
  painter.setPen(Qt::white);
  painter.setFont(Tahoma(5, true));
  painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("STOP"));
  return QIcon(pixmap);
}

// The looping search animation: a magnifying glass circling over a folder, 30 frames.
class SearchAnimation : public QWidget {
 public:
  explicit SearchAnimation(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::WaitCursor);
    timer_.setInterval(60);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      frame_ = (frame_ + 1) % 30;
      update();
    });
  }
  void SetPlaying(bool playing) {
    if (playing && !timer_.isActive()) timer_.start();
    if (!playing) timer_.stop();
  }
  int Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width() / 2.0, height() / 2.0);
    painter.setPen(QPen(QColor(120, 90, 0), 1));
    painter.setBrush(QColor(240, 200, 80));
    painter.drawRect(QRectF(centre.x() - 30, centre.y() - 14, 60, 34));
    painter.drawRect(QRectF(centre.x() - 30, centre.y() - 20, 24, 6));
    const double angle = frame_ * 2 * M_PI / 30;
    const QPointF lens(centre.x() + 18 * std::cos(angle), centre.y() + 3 + 9 * std::sin(angle));
    painter.setBrush(QColor(200, 230, 255, 180));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(lens, 9, 9);
    painter.drawLine(lens + QPointF(6, 6), lens + QPointF(14, 14));
  }

 private:
  QTimer timer_;
  int frame_ = 0;
};

QLabel* Line(QWidget* parent, const char* name, int top) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(8, top, 377, 16);
  label->setFont(Tahoma(10, true));
  label->setAlignment(Qt::AlignCenter);
  label->setStyleSheet(QStringLiteral("color: black"));
  return label;
}

class FormAttenteDicteeQt : public FormAttenteDicteeView {
 public:
  FormAttenteDicteeQt() {
    window_ = new QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window_->setObjectName(QStringLiteral("FormAttenteDictee"));
    window_->setWindowTitle(QString::fromUtf8(TFormAttenteDictee::kCaption));
    window_->setFixedSize(405 - 8, 266 - 30);  // client area of the 405 × 266 window
    window_->setFont(Tahoma(8, false));
    window_->setAutoFillBackground(true);
    window_->setBackgroundRole(QPalette::Button);

    panel_ = new QFrame(window_);
    panel_->setObjectName(QStringLiteral("PanelBitBtnArreter"));
    panel_->setGeometry(0, 0, window_->width(), 41);
    stop_ = new QPushButton(StopGlyph(), QString::fromUtf8(TFormAttenteDictee::kStopCaption), panel_);
    stop_->setObjectName(QStringLiteral("BitBtnArreter"));
    stop_->setGeometry(1, 0, 397, 40);
    stop_->setIconSize(QSize(24, 24));
    stop_->setToolTip(QString::fromUtf8(TFormAttenteDictee::kStopHint));
    stop_->hide();

    title_ = new QLabel(window_);
    title_->setObjectName(QStringLiteral("RichEditTitle"));
    title_->setGeometry(48, 48, 297, 33);
    title_->setFont(Tahoma(10, true));
    title_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title_->setStyleSheet(QStringLiteral("color: black"));
    title_->setFocusPolicy(Qt::NoFocus);

    animation_ = new SearchAnimation(window_);
    animation_->setObjectName(QStringLiteral("Animate2"));
    animation_->setGeometry(48, 88, 297, 50);

    application_ = Line(window_, "LabelApplication", 144);
    line1_ = Line(window_, "LabelCpt1", 168);
    line2_ = Line(window_, "LabelCpt2", 192);

    bar_ = new QProgressBar(window_);
    bar_->setObjectName(QStringLiteral("ProgressBarAttente"));
    bar_->setGeometry(2, 210, 393, 17);
    bar_->setTextVisible(false);
    bar_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: rgb(40, 211, 0); }"));
    bar_->hide();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      window_->move(area.center() - QPoint(405 / 2, 266 / 2));
    }
  }
  ~FormAttenteDicteeQt() override { delete window_; }

  void Render(const TFormAttenteDictee& form) override {
    title_->setText(QString::fromUtf8(form.TitleText()));
    panel_->setVisible(form.StopPanelVisible());
    stop_->setVisible(form.StopButtonVisible());
    application_->setText(QString::fromUtf8(form.LabelApplication()));
    line1_->setText(QString::fromUtf8(form.LabelCpt1()));
    line2_->setText(QString::fromUtf8(form.LabelCpt2()));
    if (form.ProgressIndeterminate()) {
      bar_->setRange(0, 0);
    } else {
      // QProgressBar counts in int: the share is drawn in thousandths.
      bar_->setRange(0, 1000);
      bar_->setValue(static_cast<int>(form.ProgressFraction() * 1000));
    }
    bar_->setVisible(form.ProgressVisible());
    animation_->SetPlaying(form.Visible());
    window_->setVisible(form.Visible());
  }

  void ProcessMessages() override { QApplication::processEvents(); }

  QWidget* window_;
  QFrame* panel_;
  QPushButton* stop_;
  QLabel* title_;
  SearchAnimation* animation_;
  QLabel *application_, *line1_, *line2_;
  QProgressBar* bar_;
};

// Without a running Qt application there is no screen to draw on: the window then has no view.
class WaitingWindowsQt : public WaitingWindows {
 public:
  std::unique_ptr<FormAttenteDicteeView> CreateView(const TFormAttenteDictee&) override {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    return std::make_unique<FormAttenteDicteeQt>();
  }
};

}  // namespace

QWidget* FormAttenteDicteeWindow(FormAttenteDicteeView* view) {
  auto* qt = dynamic_cast<FormAttenteDicteeQt*>(view);
  return qt ? qt->window_ : nullptr;
}

template <>
WaitingWindows& PlatformAdapter<WaitingWindows>() {
  static WaitingWindowsQt adapter;
  return adapter;
}

}  // namespace orvane
