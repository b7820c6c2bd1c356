#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialogs/U_About.h"
#include "core/Settings.h"

namespace kestrel {
namespace {

// Stands in for the desktop: records what the about box hands to the shell.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  UrlRecorder() {
    for (const char* scheme : {"http", "https", "mailto"}) {
      QDesktopServices::setUrlHandler(scheme, this, "openUrl");
    }
  }
  ~UrlRecorder() override {
    for (const char* scheme : {"http", "https", "mailto"})
      QDesktopServices::unsetUrlHandler(scheme);
  }
  QStringList opened;

 public slots:
  void openUrl(const QUrl& url) { opened << url.toString(); }
};

TEST(AboutVersionText, FollowsTheVersionResourceLiterally) {
  const QString design = "Version 4.0";
  struct Case {
    VersionResource resource;
    const char* expected;
  };
  const Case cases[] = {
      {{true, "4.0.0.0"}, "Version 4.0.0"},
      {{true, "4.12.3.7"}, "Version 4.12.3"},
      {{true, "4.0.0"}, "Version 4.0."},  // no third dot: the last step adds nothing
      {{true, "4.0"}, "Version 4."},
      {{true, "4"}, "Version "},
      {{true, ""}, "Version "},
      {{true, std::nullopt}, "Version 4.0"},   // resource without the value
      {{false, std::nullopt}, "Version 3.0"},  // no resource at all
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TF_About::versionText(c.resource, design), c.expected)
        << c.resource.fileVersion.value_or("(none)");
  }
}

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBoxTest() {
    Settings() = SettingsRecord{};
    Settings().ProgramFolder = m_program.path().toStdString() + "/";
  }
  ~AboutBoxTest() override { Settings() = SettingsRecord{}; }

  void putLogo() {
    QImage logo(197, 97, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    ASSERT_TRUE(logo.save(m_program.filePath("Scr_logo.bmp"), "BMP"));
  }
  static QString text(const TF_About& box, const char* name) {
    return box.findChild<QLabel*>(name)->text();
  }

  // The company picture keeps its designed size and top, centred as designed
  // in a box that may have grown wider for its lines.
  static void expectDesignPicture(const TF_About& box, int height) {
    const QRect picture = box.findChild<QLabel*>("imageCompany")->geometry();
    EXPECT_EQ(picture.size(), QSize(197, height));
    EXPECT_EQ(picture.y(), 64);
    EXPECT_EQ(picture.x(), 44 + (box.width() - 308) / 2);
  }

  QTemporaryDir m_program;
};

TEST_F(AboutBoxTest, TheMakerWithTheBuildsVersion) {
  Settings().Company = "Brightwater";
  TF_About box;
  box.show();
  // The designed height; as wide as the widest line needs, at least as designed.
  EXPECT_EQ(box.height(), 302);
  EXPECT_GE(box.width(), 308);
  EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(text(box, "labelVersion"), "Version 4.0.0");
  EXPECT_EQ(text(box, "labelWebSite"), "www.brightwater.example.com");
  EXPECT_EQ(text(box, "labelEMail"), "support@brightwater.example.com");
  EXPECT_TRUE(text(box, "labelCopyright").contains("Brightwater"));
  EXPECT_TRUE(box.findChild<QPushButton*>("btnOK")->isVisible());
  expectDesignPicture(box, 41);
  QTest::keyClick(&box, Qt::Key_Escape);
  EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutBoxTest, HarrowgateWithoutALogoKeepsTheDesignPictureAndHeight) {
  Settings().Company = "Harrowgate";
  TF_About box;
  const QPixmap designPicture = box.findChild<QLabel*>("imageCompany")->pixmap();
  box.show();
  EXPECT_EQ(text(box, "labelWebSite"), "www.harrowgate.example.org");
  EXPECT_TRUE(text(box, "labelCopyright").contains("Harrowgate"));
  EXPECT_EQ(text(box, "labelEMail"), "support@brightwater.example.com");  // the maker's support
  EXPECT_EQ(box.height(), 302);
  EXPECT_EQ(box.findChild<QLabel*>("imageCompany")->height(), 41);
  EXPECT_EQ(box.findChild<QLabel*>("imageCompany")->pixmap().cacheKey(), designPicture.cacheKey());
}

TEST_F(AboutBoxTest, HarrowgateWithALogoMakesRoomForIt) {
  Settings().Company = "Harrowgate";
  putLogo();
  TF_About box;
  box.show();
  EXPECT_EQ(box.height(), 302 + 56);
  const QRect panelMain = box.findChild<QWidget*>("panelMain")->geometry();
  EXPECT_EQ(panelMain.topLeft(), QPoint(7, 7));
  EXPECT_EQ(panelMain.height(), 250 + 56);
  EXPECT_EQ(panelMain.width(), box.width() - 308 + 290);
  expectDesignPicture(box, 41 + 56);
  EXPECT_EQ(box.findChild<QWidget*>("panelInfo")->y(), 110 + 56);
  EXPECT_EQ(box.findChild<QPushButton*>("btnOK")->y(), 264 + 56);
  EXPECT_EQ(box.findChild<QLabel*>("imageCompany")->pixmap().width(), 197);
  EXPECT_EQ(box.findChild<QWidget*>("panelOuter")->geometry(), box.rect());
}

TEST_F(AboutBoxTest, AnotherBrandKeepsTheDesignTextsAndIgnoresTheLogo) {
  Settings().Company = "Acme";
  putLogo();
  TF_About box;
  box.show();
  EXPECT_EQ(text(box, "labelWebSite"), "www.brightwater.example.com");
  EXPECT_EQ(box.height(), 302);
}

TEST_F(AboutBoxTest, LinksGoToTheShellAndThePointerBecomesAHandOverThem) {
  Settings().Company = "Kestrel Test Brand";
  UrlRecorder shell;
  TF_About box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  auto* web = box.findChild<QLabel*>("labelWebSite");
  auto* mail = box.findChild<QLabel*>("labelEMail");
  QTest::mouseClick(web, Qt::LeftButton);
  QTest::mouseClick(mail, Qt::LeftButton);
  EXPECT_EQ(shell.opened, (QStringList{"http://www.brightwater.example.com",
                                       "mailto:support@brightwater.example.com?Subject=Kestrel"}));

  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(mail, &enter);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(mail, &leave);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(AboutBoxTest, TheSplashShowsOnlyTheBannerIgnoresTheUserAndStopsAfterItsTime) {
  Settings().Company = "Brightwater";
  UrlRecorder shell;
  TF_About splash;
  splash.SplashMode = true;
  QElapsedTimer shown;  // started before the splash's own clock
  shown.start();
  splash.show();
  EXPECT_EQ(splash.height(), 80);
  EXPECT_EQ(splash.findChild<QWidget*>("panelMain")->height(), 62);
  EXPECT_FALSE(splash.findChild<QPushButton*>("btnOK")->isVisible());
  auto* timer = splash.findChild<QTimer*>("Timer1");
  ASSERT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 3000);

  QTest::keyClick(&splash, Qt::Key_Escape);
  QTest::mouseClick(splash.findChild<QLabel*>("labelWebSite"), Qt::LeftButton);
  QTest::mouseClick(splash.findChild<QLabel*>("labelEMail"), Qt::LeftButton);
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(splash.findChild<QLabel*>("labelEMail"), &enter);
  EXPECT_TRUE(splash.isVisible());
  EXPECT_TRUE(shell.opened.isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // The whole three seconds, never less (start-up waits while the timer runs).
  EXPECT_TRUE(QTest::qWaitFor([&] { return !timer->isActive(); }, 5000));
  EXPECT_GE(shown.elapsed(), 3000);
  splash.close();  // start-up closes it at the main window's first show
  EXPECT_FALSE(splash.isVisible());
}

}  // namespace
}  // namespace kestrel

#include "AboutTest.moc"
