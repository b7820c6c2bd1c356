// Every text of every window shows whole, with the fonts of this machine:
// each label and check box is as large as its text needs (a word-wrapped
// label as tall as its text at its width), lies wholly inside the window,
// and no control placed over it hides its text. The test runs once at 96 dpi
// and once at 120 dpi without scaling, where the same point sizes take a
// quarter more pixels.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "dialogs/ChoiceBoxWindow.h"
#include "dialogs/U_About.h"
#include "dialogs/U_Align.h"
#include "dialogs/U_ExtraLabel.h"
#include "dialogs/U_Mailer.h"
#include "dialogs/U_YourAddress.h"

namespace kestrel {
namespace {

QString describe(const QWidget& widget, const QString& text) {
  return QStringLiteral("%1 \"%2\"").arg(widget.objectName(), text.left(40));
}

// The part of the widget that the window shows, in the widget's coordinates:
// every parent clips its children.
QRect shownPart(const QWidget& widget, const QWidget& window) {
  QRect shown = widget.rect();
  for (const QWidget* w = &widget; w != &window && w->parentWidget(); w = w->parentWidget())
    shown = shown.translated(w->pos()) & w->parentWidget()->rect();
  for (const QWidget* w = &widget; w != &window && w->parentWidget(); w = w->parentWidget())
    shown.translate(-w->pos());
  return shown;
}

// The texts of the window that are cut off or hidden, empty when all show.
QStringList hiddenTexts(const QWidget& window) {
  QStringList problems;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window)) continue;
    QString text;
    QSize needed;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      if (label->text().isEmpty() || !label->pixmap().isNull()) continue;
      text = label->text();
      needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->sizeHint();
    } else if (qobject_cast<const QCheckBox*>(widget) ||
               qobject_cast<const QRadioButton*>(widget)) {
      text = static_cast<const QAbstractButton*>(widget)->text();
      if (text.isEmpty()) continue;
      needed = widget->sizeHint();
    } else {
      continue;
    }
    const QRect shown = shownPart(*widget, window);
    if (shown.isEmpty()) continue;  // wholly out of view by design, as the splash's lines
    if (needed.width() > widget->width() || needed.height() > widget->height()) {
      problems << describe(*widget, text) + QStringLiteral(" needs %1x%2, has %3x%4")
                                                .arg(needed.width())
                                                .arg(needed.height())
                                                .arg(widget->width())
                                                .arg(widget->height());
      continue;
    }
    if (shown != widget->rect()) {
      problems << describe(*widget, text) + QStringLiteral(" is cut off by the window");
      continue;
    }
    // Controls created later lie above it.
    const QWidget* parent = widget->parentWidget();
    const QObjectList& siblings = parent->children();
    const QRect textPlace(widget->pos(), needed);
    for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(widget)) + 1; i < siblings.size();
         ++i) {
      const auto* above = qobject_cast<const QWidget*>(siblings[i]);
      if (above && above->isVisibleTo(&window) && above->geometry().intersects(textPlace))
        problems << describe(*widget, text) + QStringLiteral(" lies under ") + above->objectName();
    }
  }
  return problems;
}

class TextsFitTest : public test::MainWindowFixture {};

TEST_F(TextsFitTest, MainWindow) {
  writeIni(test::kQuietStart);
  TF_Main& window = start();
  window.cbRestricted->setChecked(true);
  EXPECT_EQ(hiddenTexts(window).join("\n").toStdString(), "");
}

TEST_F(TextsFitTest, AboutBoxOfEachBrandAndTheSplash) {
  for (const char* company : {"Brightwater", "Harrowgate"}) {
    Settings().Company = company;
    TF_About about;
    about.show();
    EXPECT_EQ(hiddenTexts(about).join("\n").toStdString(), "") << company;
  }
  TF_About splash;
  splash.SplashMode = true;
  splash.show();
  EXPECT_EQ(hiddenTexts(splash).join("\n").toStdString(), "");
}

TEST_F(TextsFitTest, PrintOptionsDialogs) {
  SettingsRecord settings;
  TF_ExtraLabel extraLabel(settings);
  extraLabel.show();
  EXPECT_EQ(hiddenTexts(extraLabel).join("\n").toStdString(), "");
  TF_Align align(settings);
  align.show();
  EXPECT_EQ(hiddenTexts(align).join("\n").toStdString(), "");
}

TEST_F(TextsFitTest, MailerDialogInBothModesWithAndWithoutHelp) {
  for (const bool barCode : {true, false}) {
    SettingsRecord settings;
    settings.PrintBarCode = barCode;
    settings.CustID = "123456789";
    settings.SerialNum = "0000041";
    settings.MailerNum = "71000000000000000000";
    TF_Mailer dialog(settings);
    dialog.show();
    EXPECT_EQ(hiddenTexts(dialog).join("\n").toStdString(), "") << barCode;
    QTest::mouseClick(dialog.btnHelp, Qt::LeftButton);
    EXPECT_EQ(hiddenTexts(dialog).join("\n").toStdString(), "") << barCode << " with help";
  }
}

TEST_F(TextsFitTest, SenderDialogAndChoiceBox) {
  TF_YourAddress sender;
  sender.show();
  EXPECT_EQ(hiddenTexts(sender).join("\n").toStdString(), "");
  ChoiceBoxWindow choice(QStringLiteral("Bar Code Printing Registration"),
                         QString(400, QLatin1Char('w')).replace(QStringLiteral("ww"), "w "),
                         {QStringLiteral("&Never Print again"), QStringLiteral("&OK")});
  choice.show();
  EXPECT_EQ(hiddenTexts(choice).join("\n").toStdString(), "");
}

}  // namespace
}  // namespace kestrel
