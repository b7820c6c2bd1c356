#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include "platform/VersionResource.h"

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace kestrel {

// The splash screen at start-up and the about box of the Help menu, one window
// for both. Whoever creates it sets SplashMode before showing it. The texts
// follow the brand in Settings().Company; the version line follows the
// program's version resource.
class TF_About : public QDialog {
  Q_OBJECT
 public:
  explicit TF_About(QWidget* parent = nullptr);
  ~TF_About() override;

  // The version text for a version resource: "Version " and the first three
  // dot-separated parts of FileVersion, each step taking nothing when it finds
  // no further dot ("4.0.0.0" -> "Version 4.0.0", "4.0" -> "Version 4.");
  // designText when the value is missing; "Version 3.0" without a resource.
  static QString versionText(const VersionResource& resource, const QString& designText);

  // Tests hand in another version resource before the window is shown.
  void setVersionResource(const VersionResource& resource) { m_version = resource; }

  bool SplashMode = false;

  QFrame* panelOuter;
  QFrame* panelMain;
  QLabel* Image1;
  QLabel* imageCompany;
  QWidget* panelInfo;
  QLabel* labelStreet;
  QLabel* labelCity;
  QLabel* labelWebSite;
  QLabel* labelEMail;
  QLabel* labelVersion;
  QLabel* labelCopyright;
  QPushButton* btnOK;
  QTimer* Timer1;  // the splash's minimum time; start-up waits until it stops

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  // Widens and lengthens the box where its lines need more room than designed.
  void makeRoomForTexts();
  void Timer1Timer();
  void labelWebSiteClick();
  void labelEMailClick();
  void labelWebSiteMouseMove();
  void labelWebSiteMouseLeave();
  void labelEMailMouseMove();
  void labelEMailMouseLeave();
  bool FormKeyDown(int key);

  void showHandPointer(bool hand);
  void setIdentity(const struct AboutIdentity& identity);
  void centreOnScreen();

  VersionResource m_version;
  QElapsedTimer m_splashClock;  // since the splash timer was started
  bool m_formShown = false;
  bool m_handPointer = false;
};

}  // namespace kestrel
