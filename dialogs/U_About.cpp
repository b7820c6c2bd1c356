#include "dialogs/U_About.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "dialogs/TextRoom.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "core/Branding.h"
#include "platform/KeyPreview.h"
#include "core/Settings.h"
#include "platform/ShellOpen.h"

namespace kestrel {

// The contact lines of one identity.
struct AboutIdentity {
  const char* street;
  const char* city;
  const char* webSite;
  const char* eMail;
  const char* copyright;
};

namespace {

constexpr AboutIdentity kMaker = {"1450 Kingfisher Parkway, Suite 200", "Alder Springs, OR 97999",
                                  "www.brightwater.example.com", "support@brightwater.example.com",
                                  "Copyright \u00A9 1999-2007 Brightwater Software, Inc."};

// The reseller's own lines; support mail still goes to the maker.
constexpr AboutIdentity kReseller = {
    "88 Harrow Lane", "Eastbridge, PA 19999", "www.harrowgate.example.org",
    "support@brightwater.example.com", "Copyright \u00A9 2007 Harrowgate Mailing Supply"};

constexpr const char* kDesignVersion = "Version 4.0";
constexpr int kSplashHeight = 80;
constexpr int kSplashPanelHeight = 62;
constexpr int kLogoGrowth = 56;  // room for the reseller's taller picture
constexpr int kSplashMilliseconds = 3000;

QLabel* infoLabel(QWidget* parent, const char* name, int top, int pointSize, bool bold,
                  const QColor& colour, bool underline) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setPointSize(pointSize);
  font.setBold(bold);
  font.setUnderline(underline);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setGeometry(0, top, 274, QFontMetrics(font).height() + 2);
  return label;
}

QFrame* panel(QWidget* parent, const char* name, QFrame::Shadow shadow, int lineWidth) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setFrameStyle(QFrame::Panel | shadow);
  frame->setLineWidth(lineWidth);
  return frame;
}

}  // namespace

TF_About::TF_About(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_version(programVersionResource()) {
  setObjectName("TF_About");
  setWindowTitle(kApplicationTitle);
  resize(308, 302);

  panelOuter = panel(this, "panelOuter", QFrame::Raised, 2);
  panelMain = panel(this, "panelMain", QFrame::Raised, 2);
  panelMain->setGeometry(7, 7, 290, 250);

  Image1 = new QLabel(panelMain);
  Image1->setObjectName("Image1");
  Image1->setGeometry(14, 2, 257, 57);
  Image1->setScaledContents(true);
  Image1->setPixmap(QPixmap(":/kestrel/banner.png"));

  imageCompany = new QLabel(panelMain);
  imageCompany->setObjectName("imageCompany");
  imageCompany->setGeometry(44, 64, 197, 41);
  imageCompany->setScaledContents(true);
  imageCompany->setAlignment(Qt::AlignCenter);
  imageCompany->setPixmap(QPixmap(":/kestrel/brand-small.png"));

  panelInfo = new QWidget(panelMain);
  panelInfo->setObjectName("panelInfo");
  panelInfo->setGeometry(8, 110, 274, 136);
  const QColor navy(0, 0, 128);
  labelStreet = infoLabel(panelInfo, "labelStreet", 0, 12, true, navy, false);
  labelCity = infoLabel(panelInfo, "labelCity", 24, 12, true, navy, false);
  labelWebSite = infoLabel(panelInfo, "labelWebSite", 68, 10, false, Qt::blue, true);
  labelEMail = infoLabel(panelInfo, "labelEMail", 84, 10, false, Qt::blue, true);
  labelVersion = infoLabel(panelInfo, "labelVersion", 104, 8, true, Qt::red, false);
  labelCopyright = infoLabel(panelInfo, "labelCopyright", 120, 8, true, Qt::red, false);
  // The design-time texts show the maker.
  setIdentity(kMaker);
  labelVersion->setText(kDesignVersion);
  for (QLabel* link : {labelWebSite, labelEMail}) {
    link->setMouseTracking(true);
    link->installEventFilter(this);
  }

  btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setGeometry(114, 264, 75, 25);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kSplashMilliseconds);
  // Qt's default coarse timers may tick up to 5 % early: 2.85 s of a 3 s splash.
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &TF_About::Timer1Timer);

  new KeyPreview(*this, [this](QKeyEvent& event) { return FormKeyDown(event.key()); });
}

TF_About::~TF_About() {
  showHandPointer(false);
}

QString TF_About::versionText(const VersionResource& resource, const QString& designText) {
  if (!resource.present) return QStringLiteral("Version 3.0");
  if (!resource.fileVersion) return designText;
  QString rest = QString::fromStdString(*resource.fileVersion);
  QString version;
  for (int step = 0; step < 2; ++step) {
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    if (dot < 0) continue;
    version += rest.left(dot + 1);
    rest = rest.mid(dot + 1);
  }
  const qsizetype dot = rest.indexOf(QLatin1Char('.'));
  if (dot >= 0) version += rest.left(dot);
  return QStringLiteral("Version ") + version;
}

void TF_About::setIdentity(const AboutIdentity& identity) {
  labelStreet->setText(QString::fromUtf8(identity.street));
  labelCity->setText(QString::fromUtf8(identity.city));
  labelWebSite->setText(QString::fromUtf8(identity.webSite));
  labelEMail->setText(QString::fromUtf8(identity.eMail));
  labelCopyright->setText(QString::fromUtf8(identity.copyright));
}

void TF_About::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_formShown) {
    m_formShown = true;  // the sizes below grow once, not at every show
    FormShow();
  }
}

void TF_About::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  panelOuter->setGeometry(rect());
}

void TF_About::FormShow() {
  if (SplashMode) {
    resize(width(), kSplashHeight);
    panelMain->resize(panelMain->width(), kSplashPanelHeight);
    btnOK->hide();
    m_splashClock.start();
    Timer1->start();
  } else {
    const std::string& company = Settings().Company;
    if (company == kBrightwater) {
      setIdentity(kMaker);
    } else if (company == kHarrowgate) {
      setIdentity(kReseller);
      QPixmap logo;
      if (logo.load(fromAnsi(logoFilePath(Settings())))) {
        imageCompany->setPixmap(logo);
        resize(width(), height() + kLogoGrowth);
        imageCompany->resize(imageCompany->width(), imageCompany->height() + kLogoGrowth);
        panelMain->resize(panelMain->width(), panelMain->height() + kLogoGrowth);
        panelInfo->move(panelInfo->x(), panelInfo->y() + kLogoGrowth);
        btnOK->move(btnOK->x(), btnOK->y() + kLogoGrowth);
      }
    }
    labelVersion->setText(versionText(m_version, labelVersion->text()));
  }
  makeRoomForTexts();
  centreOnScreen();
}

void TF_About::makeRoomForTexts() {
  if (SplashMode) return;  // the splash shows only the banner, none of the lines
  // The lines keep their designed tops unless the line above needs more
  // height; the box grows by what the widest and the lowest line need beyond
  // the designed panel, and everything else keeps its place, centred.
  QLabel* const lines[] = {labelStreet, labelCity,    labelWebSite,
                           labelEMail,  labelVersion, labelCopyright};
  int widest = 0;
  int bottom = 0;
  for (QLabel* label : lines) {
    const QSize needed = label->sizeHint();
    widest = std::max(widest, needed.width());
    label->setGeometry(0, std::max(label->y(), bottom), label->width(),
                       std::max(label->height(), needed.height()));
    bottom = label->geometry().bottom() + 1;
  }
  const int extraWidth = std::max(0, widest - panelInfo->width());
  const int extraHeight = std::max(0, bottom - panelInfo->height());
  for (QLabel* label : lines) label->resize(label->width() + extraWidth, label->height());
  panelInfo->resize(panelInfo->width() + extraWidth, std::max(panelInfo->height(), bottom));
  panelMain->resize(panelMain->width() + extraWidth, panelMain->height() + extraHeight);
  for (QWidget* centred : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(imageCompany)})
    centred->move(centred->x() + extraWidth / 2, centred->y());
  btnOK->move(btnOK->x() + extraWidth / 2, btnOK->y() + extraHeight);
  resize(width() + extraWidth, height() + extraHeight);
}

void TF_About::centreOnScreen() {
  kestrel::centreOnScreen(*this, size());
}

void TF_About::Timer1Timer() {
  // Even a precise timer is only as good as the clock it waits on; the splash
  // stays its whole time, so an early tick waits out the rest.
  if (const qint64 left = kSplashMilliseconds - m_splashClock.elapsed(); left > 0) {
    Timer1->start(static_cast<int>(left));
    return;
  }
  Timer1->stop();
  Timer1->setInterval(kSplashMilliseconds);
}

bool TF_About::FormKeyDown(int key) {
  if (key != Qt::Key_Escape) return false;
  if (!SplashMode) close();
  return true;
}

void TF_About::labelWebSiteClick() {
  if (!SplashMode) shellOpen(labelWebSite->text());
}

void TF_About::labelEMailClick() {
  // The address and subject go to the mail program as written, unencoded.
  if (!SplashMode) {
    shellOpen(QStringLiteral("mailto:") + labelEMail->text() + QStringLiteral("?Subject=") +
              kApplicationTitle);
  }
}

void TF_About::labelWebSiteMouseMove() {
  showHandPointer(true);
}
void TF_About::labelWebSiteMouseLeave() {
  showHandPointer(false);
}
void TF_About::labelEMailMouseMove() {
  showHandPointer(true);
}
void TF_About::labelEMailMouseLeave() {
  showHandPointer(false);
}

void TF_About::showHandPointer(bool hand) {
  if (SplashMode && hand) return;
  // One override of our own at most, so that leaving restores the pointer
  // whatever order the events come in.
  if (hand && !m_handPointer) {
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
  } else if (!hand && m_handPointer) {
    QGuiApplication::restoreOverrideCursor();
  }
  m_handPointer = hand;
}

bool TF_About::eventFilter(QObject* watched, QEvent* event) {
  const bool web = watched == labelWebSite;
  if (!web && watched != labelEMail) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
      web ? labelWebSiteMouseMove() : labelEMailMouseMove();
      break;
    case QEvent::Leave:
      web ? labelWebSiteMouseLeave() : labelEMailMouseLeave();
      break;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        web ? labelWebSiteClick() : labelEMailClick();
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel
