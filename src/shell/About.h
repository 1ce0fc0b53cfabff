// TAboutBox: the product name, the version text and a spinning, pulsing cube. TCubeSpin draws a
// shaded cube turned by three angles and advances the enabled angles on a timer; the box makes it
// shrink and grow about its centre as it spins.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace quenterra {

inline constexpr char kVersionFormat[] = "Version %s (Build %.3d)";
inline constexpr char kVersionNumber[] = "1.0";
inline constexpr int kBuildNumber = 262;

class TCubeSpin : public QWidget {
  Q_OBJECT

 public:
  explicit TCubeSpin(QWidget* parent = nullptr);

  double xSpin = 0, ySpin = 0, zSpin = 0;  // degrees about each axis
  double spinInc = 5;                      // degrees per step
  bool xSpinOn = true, ySpinOn = true, zSpinOn = true;

  bool Continuous() const { return timer_.isActive(); }
  void SetContinuous(bool on);
  // Advances every enabled angle by spinInc, repaints and raises Spun.
  void Step();

 signals:
  void Spun();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QTimer timer_;
};

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  TCubeSpin* SpinningCube() const { return cube_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void Pulse();

  TCubeSpin* cube_;
  int step_ = -1;  // the pulse: the cube grows by 2 * step_ per spin
};

// "Version 1.0 (Build 262)".
QString VersionText();
// The program's icon: the cube at rest.
QIcon CubeIcon();

}  // namespace quenterra
