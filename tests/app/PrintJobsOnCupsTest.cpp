// Every kind of print job a user sends, on a real CUPS printer: a mailer
// (Print), a run of two pre-printed labels (File > Print Bar Codes) and the
// log report (Report > Print > Short Detail), each on a queue that takes
// jobs, one that refuses them (cupsreject) and one that is stopped
// (cupsdisable). The test runs its own scheduler with a queue that throws
// its jobs away and counts what reached it.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <functional>

#include "MainWindowFixture.h"
#include "PrivateCups.h"
#include "app/U_Main.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "dialogs/U_PrintBarCode.h"
#include "platform/MaskedEdit.h"
#include "print/CurrentPrinter.h"

namespace kestrel {
namespace {

using Answer = UserInteraction::Answer;

class PrintJobsOnCupsTest : public test::MainWindowFixture {
 protected:
  int logRecords() const {
    const std::string path = programFolder() + "/Reports/report3.dbf";
    if (!QFile::exists(QString::fromStdString(path))) return 0;
    TTzDbf log("check");
    log.SetDbfFileName(path);
    log.Open();
    return log.RecordCount();
  }

  // What the user was last told, when the command told anything.
  QString toldSince(std::size_t questionsBefore) const {
    const auto& asked = m_user.questions();
    if (asked.size() <= questionsBefore) return {};
    EXPECT_EQ(asked.back().icon, UserInteraction::Icon::Error) << asked.back().text.toStdString();
    return asked.back().text;
  }

  test::PrivateCups m_cups;
};

TEST_F(PrintJobsOnCupsTest, AQueueThatRefusesOrIsStoppedIsToldAndNothingCountsAsPrinted) {
  const QString started = m_cups.startWithoutPrinter();
  ASSERT_TRUE(started.isEmpty()) << started.toStdString();
  const QString added = m_cups.addDiscardingQueue();
  ASSERT_TRUE(added.isEmpty()) << added.toStdString();
  ASSERT_TRUE(hasInstalledPrinter());

  QFile::copy(QStringLiteral(KESTREL_REPORT_LAYOUT),
              QString::fromStdString(programFolder()) + QStringLiteral("/Kestrel3.rav"));
  writeIni(QByteArray(test::kQuietStart) +
           "[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\nSerialNum=0000041\r\n");
  TF_Main& window = start();
  Settings().ShowMailerDialog = false;
  find<QPlainTextEdit>("memoAddress")->setPlainText("Bob Smith");
  find<QLineEdit>("editCity")->setText("Dover");
  find<QLineEdit>("editState")->setText("DE");
  find<MaskedEdit>("editZip")->setMaskedText("19901");

  const struct {
    const char* queue;
    std::function<QString(test::PrivateCups&)> set;
    const char* told;  // what the user is told of each job; null: printed
  } states[] = {
      {"taking jobs", [](test::PrivateCups&) { return QString(); }, nullptr},
      {"refusing jobs", [](test::PrivateCups& cups) { return cups.refuseJobs(); },
       "\" refused the print job: "},
      {"stopped", [](test::PrivateCups& cups) { return cups.stop(); },
       "\" is stopped: the print job was not sent."},
  };
  for (const auto& state : states) {
    SCOPED_TRACE(state.queue);
    ASSERT_EQ(m_cups.acceptJobs(), QString());
    ASSERT_EQ(m_cups.restart(), QString());
    ASSERT_EQ(state.set(m_cups), QString());
    const bool printed = state.told == nullptr;
    const auto expectTold = [&](const QString& told) {
      if (printed)
        EXPECT_EQ(told, QString());
      else
        EXPECT_TRUE(told.contains(QString::fromLatin1(state.told))) << told.toStdString();
    };

    // A mailer: printed and logged, or told and not logged.
    int jobs = m_cups.jobsTaken();
    const int records = logRecords();
    std::size_t asked = m_user.questions().size();
    if (!printed) m_user.answerMessage(Answer::Ok);
    window.MIPrint->trigger();
    expectTold(toldSince(asked));
    EXPECT_EQ(m_cups.jobsTaken(), jobs + (printed ? 1 : 0));
    EXPECT_EQ(logRecords(), records + (printed ? 1 : 0));

    // Two labels: each its own job; a refused first label stops the run
    // there, and the user learns how far it got.
    jobs = m_cups.jobsTaken();
    asked = m_user.questions().size();
    m_user.answerMessage(Answer::Yes);
    m_user.answerDialog([](QDialog& dialog) {
      auto& form = static_cast<TF_PrintBarCode&>(dialog);
      form.editNumLabels->lineEdit()->selectAll();
      QTest::keyClicks(form.editNumLabels, "2");
      QTest::mouseClick(form.btnOK, Qt::LeftButton);
      return dialog.result();
    });
    if (!printed) m_user.answerMessage(Answer::Ok);
    window.MIPrintBarCodes->trigger();
    const QString labelsTold = toldSince(asked + 2);
    expectTold(labelsTold);
    if (!printed) {
      EXPECT_TRUE(
          labelsTold.startsWith("Printing the bar codes stopped: 0 of 2 labels were "
                                "printed. The run stopped at serial number "))
          << labelsTold.toStdString();
    }
    EXPECT_EQ(m_cups.jobsTaken(), jobs + (printed ? 2 : 0));

    // The log report, two collated copies on both sides of the sheet: one
    // job that asks the printer for them.
    jobs = m_cups.jobsTaken();
    asked = m_user.questions().size();
    m_user.answerDialog([](QDialog& options) {
      options.findChild<QSpinBox*>(QStringLiteral("spinCopies"))->setValue(2);
      options.findChild<QCheckBox*>(QStringLiteral("cbCollate"))->setChecked(true);
      options.findChild<QComboBox*>(QStringLiteral("cbDuplex"))->setCurrentIndex(1);
      return int(QDialog::Accepted);
    });
    if (!printed) m_user.answerMessage(Answer::Ok);
    window.miPrintShort->trigger();
    expectTold(toldSince(asked + 1));
    EXPECT_EQ(m_cups.jobsTaken(), jobs + (printed ? 1 : 0));
    if (printed) {
      EXPECT_EQ(m_cups.lastJobAttribute("copies"), "2");
      EXPECT_EQ(m_cups.lastJobAttribute("multiple-document-handling"),
                "separate-documents-collated-copies");
      EXPECT_EQ(m_cups.lastJobAttribute("sides"), "two-sided-long-edge");
      EXPECT_EQ(m_cups.lastJobAttribute("job-name"), "ReportPrinter Report");
    }
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
  }
}

}  // namespace
}  // namespace kestrel
