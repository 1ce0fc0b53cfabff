#include "shell/About.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace quenterra {

namespace {

// The cube stands centred over the product name (the panel is 210 pixels wide).
constexpr int kCubeLeft = 72;
constexpr int kCubeTop = 20;
constexpr int kCubeSize = 65;
constexpr int kCubeMinSize = 20;

struct TPoint3 {
  double x, y, z;
};

TPoint3 Rotate(TPoint3 p, double ax, double ay, double az) {
  const double cx = std::cos(ax), sx = std::sin(ax);
  const double cy = std::cos(ay), sy = std::sin(ay);
  const double cz = std::cos(az), sz = std::sin(az);
  p = {p.x, p.y * cx - p.z * sx, p.y * sx + p.z * cx};
  p = {p.x * cy + p.z * sy, p.y, -p.x * sy + p.z * cy};
  return {p.x * cz - p.y * sz, p.x * sz + p.y * cz, p.z};
}

// The cube's six faces, as corners of the unit cube's eight vertices.
constexpr std::array<std::array<int, 4>, 6> kFaces = {
    {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}}};
const std::array<QColor, 6> kFaceColors = {QColor(200, 40, 40),  QColor(40, 160, 60),
                                           QColor(40, 80, 200),  QColor(220, 180, 30),
                                           QColor(160, 50, 170), QColor(30, 170, 180)};

}  // namespace

QString VersionText() {
  char text[64];
  std::snprintf(text, sizeof text, kVersionFormat, kVersionNumber, kBuildNumber);
  return text;
}

QIcon CubeIcon() {
  TCubeSpin cube;
  cube.xSpin = 20;
  cube.ySpin = 30;
  cube.zSpin = 10;
  QIcon icon;
  for (int size : {16, 32, 64}) {
    cube.resize(size, size);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    cube.render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    icon.addPixmap(pixmap);
  }
  return icon;
}

// ---- TCubeSpin --------------------------------------------------------------------------------

TCubeSpin::TCubeSpin(QWidget* parent) : QWidget(parent) {
  setObjectName("SpinningCube");
  timer_.setInterval(1);
  connect(&timer_, &QTimer::timeout, this, &TCubeSpin::Step);
}

void TCubeSpin::SetContinuous(bool on) {
  if (on) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

void TCubeSpin::Step() {
  auto advance = [this](double& angle) { angle = std::fmod(angle + spinInc, 360.0); };
  if (xSpinOn) advance(xSpin);
  if (ySpinOn) advance(ySpin);
  if (zSpinOn) advance(zSpin);
  update();
  emit Spun();
}

void TCubeSpin::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double rad = std::numbers::pi / 180;
  std::array<TPoint3, 8> v;
  for (int i = 0; i < 8; ++i) {
    TPoint3 p{i & 1 ? 0.5 : -0.5, i & 2 ? 0.5 : -0.5, i & 4 ? 0.5 : -0.5};
    v[static_cast<size_t>(i)] = Rotate(p, xSpin * rad, ySpin * rad, zSpin * rad);
  }
  const double scale = std::min(width(), height()) / 1.8;
  const QPointF centre(width() / 2.0, height() / 2.0);
  std::array<int, 6> order = {0, 1, 2, 3, 4, 5};
  auto depth = [&](int f) {
    double z = 0;
    for (int corner : kFaces[static_cast<size_t>(f)]) z += v[static_cast<size_t>(corner)].z;
    return z;
  };
  std::sort(order.begin(), order.end(), [&](int a, int b) { return depth(a) < depth(b); });
  for (int f : order) {
    const auto& face = kFaces[static_cast<size_t>(f)];
    const TPoint3 a = v[static_cast<size_t>(face[0])], b = v[static_cast<size_t>(face[1])],
                  c = v[static_cast<size_t>(face[2])];
    const double nz = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    QPainterPath path;
    for (size_t k = 0; k < 4; ++k) {
      const TPoint3 p = v[static_cast<size_t>(face[k])];
      const QPointF q = centre + QPointF(p.x * scale, p.y * scale);
      k == 0 ? path.moveTo(q) : path.lineTo(q);
    }
    path.closeSubpath();
    const double light = 0.45 + 0.55 * std::min(1.0, std::abs(nz));
    painter.fillPath(path,
                     kFaceColors[static_cast<size_t>(f)].darker(static_cast<int>(100 / light)));
    painter.strokePath(path, QPen(Qt::black, 0.6));
  }
}

void TCubeSpin::mousePressEvent(QMouseEvent*) { SetContinuous(!Continuous()); }

// ---- TAboutBox --------------------------------------------------------------------------------

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("TAboutBox");
  setWindowTitle("About Quenterra");
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedSize(210, 200);
  cube_ = new TCubeSpin(panel);
  cube_->xSpin = 6;
  cube_->ySpin = 20;
  cube_->zSpin = 336;
  cube_->spinInc = 7;
  cube_->ySpinOn = false;
  cube_->setGeometry(kCubeLeft, kCubeTop, kCubeSize, kCubeSize);
  auto* product = new QLabel("Quenterra", panel);
  product->setObjectName("ProductName");
  QFont big = product->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  product->setFont(big);
  product->setGeometry(10, 110, 190, 40);
  product->setAlignment(Qt::AlignCenter);
  auto* version = new QLabel(VersionText(), panel);
  version->setObjectName("Version");
  version->setGeometry(10, 150, 190, 24);
  version->setAlignment(Qt::AlignCenter);
  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel, 0, Qt::AlignHCenter);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(cube_, &TCubeSpin::Spun, this, &TAboutBox::Pulse);
}

void TAboutBox::showEvent(QShowEvent* event) {
  cube_->setGeometry(kCubeLeft, kCubeTop, kCubeSize, kCubeSize);
  step_ = -1;
  cube_->SetContinuous(true);
  QDialog::showEvent(event);
}

void TAboutBox::Pulse() {
  const QRect r = cube_->geometry();
  cube_->setGeometry(r.left() - step_, r.top() - step_, r.width() + 2 * step_,
                     r.height() + 2 * step_);
  if (cube_->width() < kCubeMinSize) step_ = 1;
  if (cube_->width() > kCubeSize) step_ = -1;
}

void TAboutBox::done(int result) {
  cube_->SetContinuous(false);
  QDialog::done(result);
}

}  // namespace quenterra
