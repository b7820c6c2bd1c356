// The firm mailing book end to end: a log of two mailing dates in a
// temporary program folder, the shipped layout, the engine printing to a
// PDF file and pdftotext reading it back; the strike-through of unused
// lines and the boxes and rule of the foot are found among the drawing
// commands of a recording paint device.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <map>
#include <regex>

#include "LogFixture.h"
#include "LogReportFixture.h"
#include "ScriptedUserInteraction.h"
#include "dbase/RecordSnapshot.h"
#include "log/FirmMailingBook.h"
#include "log/LogReport.h"
#include "report/ReportDocument.h"
#include "report/ReportPainter.h"

namespace kestrel {
namespace {

using test::MadeMailer;

const Date kDay{2020, 3, 4};
const QDate kQDay(2020, 3, 4);

// Records every line, rectangle and text drawn, in points from the sheet's
// top-left corner (the device has 72 dots per inch); images are dropped.
class ShapeRecorder : public QPaintDevice {
 public:
  struct Text {
    QString text;
    double left, right, baseline;
  };
  std::vector<QLineF> lines;
  std::vector<QRectF> rects;
  std::vector<Text> texts;
  QPaintEngine* paintEngine() const override { return &m_engine; }

  const Text* textStarting(const QString& start) const {
    for (const Text& t : texts)
      if (t.text.startsWith(start)) return &t;
    return nullptr;
  }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
        return 612;
      case PdmHeight:
        return 792;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 72;
      case PdmDepth:
        return 32;
      default:
        return 1;
    }
  }

 private:
  class Engine : public QPaintEngine {
   public:
    explicit Engine(ShapeRecorder& owner) : QPaintEngine(AllFeatures), m_owner(owner) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
      const QTransform& t = painter()->transform();
      const QPointF at = t.map(p);
      m_owner.texts.push_back({item.text(), at.x(), at.x() + item.width() * t.m11(), at.y()});
    }
    void drawLines(const QLineF* lines, int count) override {
      for (int i = 0; i < count; ++i) m_owner.lines.push_back(painter()->transform().map(lines[i]));
    }
    void drawRects(const QRectF* rects, int count) override {
      for (int i = 0; i < count; ++i)
        m_owner.rects.push_back(painter()->transform().mapRect(rects[i]));
    }
    Type type() const override { return User; }

   private:
    ShapeRecorder& m_owner;
  };
  mutable Engine m_engine{*this};
};

// `n` mailers on kDay with mailer numbers in shuffled order, some without
// a restricted delivery fee, and mailers of another day between them.
std::vector<MadeMailer> bookMailers(int n) {
  std::vector<MadeMailer> mailers = test::madeMailers(n + 5);
  for (int i = 0; i < n + 5; ++i) {
    MadeMailer& m = mailers[static_cast<std::size_t>(i)];
    m.day = i < n ? kQDay : kQDay.addDays(1);
    m.date = std::to_string(m.day.month()) + "/" + std::to_string(m.day.day()) + "/" +
             std::to_string(m.day.year());
    if (i >= n) m.name = "Other" + m.name.substr(4);
  }
  return mailers;
}

class FirmMailingBookTest : public test::LogReportFixture {
 protected:
  std::vector<std::string> printPages(const MailingBookSelection& selection) {
    std::filesystem::remove(pdfPath());
    m_user.answerDialog([](QDialog&) { return int(QDialog::Accepted); });
    produceFirmMailingBook(m_log, m_project, ReportDestination::rdPrinter, selection,
                           {"Acme Law Office", "1 Main St, Springfield, IL 62701"});
    EXPECT_FALSE(m_log.Active());
    return test::pdfPages(pdfPath());
  }
};

TEST_F(FirmMailingBookTest, OneDaysMailersInNumberOrderOnNumberedSheetsWithCountsAndTotals) {
  for (int n : {1, 8, 9, 100}) {
    SCOPED_TRACE(std::to_string(n) + " mailers");
    std::vector<MadeMailer> mailers = bookMailers(n);
    // Nobody paid for restricted delivery in the book of nine: the service
    // is not named, and its column totals blank rather than "0".
    const bool restrictedUsed = n != 9;
    if (!restrictedUsed)
      for (int i = 0; i < n; ++i) mailers[static_cast<std::size_t>(i)].restricted = false;
    std::filesystem::remove_all(m_folder + kReportsFolderName);
    test::writeLog(m_folder, mailers);

    // The expected lines, sorted here by the number's last digit groups.
    std::vector<MadeMailer> expected(mailers.begin(), mailers.begin() + n);
    std::sort(expected.begin(), expected.end(),
              [](const MadeMailer& a, const MadeMailer& b) { return a.number < b.number; });
    long long postage = 0, restricted = 0, total = 0;
    for (const MadeMailer& m : expected) {
      postage += m.postageCents;
      restricted += m.restricted ? 100 : 0;
      total += test::totalCents(m);
    }

    const std::vector<std::string> pages = printPages({kDay, "", ""});
    const std::size_t sheets = static_cast<std::size_t>((n + 7) / 8);
    ASSERT_EQ(pages.size(), sheets);
    // A line: its number, the article number, the addressee's first line,
    // the fees (the restricted delivery fee only where one was paid) and
    // the total.
    static const std::regex line(
        R"((\d+) +(9214 7000 0000 0000 \d{4} 00) +(Name\d{5}) +(\d+\.\d\d) +2\.40 +1\.85 +(1\.00 +)?(\d+\.\d\d)\n)");
    std::size_t index = 0;
    for (std::size_t s = 0; s < sheets; ++s) {
      SCOPED_TRACE("sheet " + std::to_string(s + 1));
      const std::string& page = pages[s];
      EXPECT_NE(page.find("Sheet " + std::to_string(s + 1) + " of " + std::to_string(sheets)),
                std::string::npos);
      EXPECT_NE(page.find("Acme Law Office"), std::string::npos);
      EXPECT_TRUE(std::regex_search(
          page, std::regex(std::string("Type of Mail: Certified Mail +Extra Services: Return "
                                       "Receipt") +
                           (restrictedUsed ? ", Restricted Delivery\n" : "\n"))))
          << page;
      const std::size_t onSheet = std::min<std::size_t>(8, static_cast<std::size_t>(n) - 8 * s);
      EXPECT_NE(page.find("Total Number of Pieces Listed by Sender: " + std::to_string(onSheet)),
                std::string::npos);
      EXPECT_NE(page.find("Total Number of Pieces Received at Post Office"), std::string::npos);
      EXPECT_EQ(page.find("Other"), std::string::npos);
      std::size_t found = 0;
      for (std::sregex_iterator it(page.begin(), page.end(), line), end; it != end;
           ++it, ++found, ++index) {
        ASSERT_LT(index, expected.size());
        const MadeMailer& m = expected[index];
        EXPECT_EQ((*it)[1].str(), std::to_string(index + 1));
        EXPECT_EQ((*it)[2].str(), m.number);
        EXPECT_EQ((*it)[3].str(), m.name);
        EXPECT_EQ((*it)[4].str(), test::cents(m.postageCents));
        EXPECT_EQ((*it)[5].matched, m.restricted) << "a blank fee prints as a blank";
        EXPECT_EQ((*it)[6].str(), test::cents(test::totalCents(m)));
      }
      EXPECT_EQ(found, onSheet);
      EXPECT_EQ(page.find("Total Pieces in this Book: ") != std::string::npos, s + 1 == sheets);
    }
    EXPECT_EQ(index, expected.size());
    const std::string& last = pages.back();
    EXPECT_NE(last.find("Total Pieces in this Book: " + std::to_string(n)), std::string::npos);
    // The money totals in the layout's column order: postage, certified
    // fee, return receipt, restricted delivery (blank when none) and total.
    const std::string totals =
        test::cents(postage) + " +" + test::cents(240LL * n) + " +" + test::cents(185LL * n) +
        " +" + (restrictedUsed ? test::cents(restricted) + " +" : "") + test::cents(total) + "\n";
    EXPECT_TRUE(std::regex_search(last, std::regex(totals))) << last;
  }
}

TEST_F(FirmMailingBookTest, AZipPlusFourShowsWhole) {
  std::vector<MadeMailer> mailers = bookMailers(1);
  mailers[0].zip = "54321-1234";
  test::writeLog(m_folder, mailers);
  const std::vector<std::string> pages = printPages({kDay, "", ""});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("54321-1234"), std::string::npos) << pages[0];
}

TEST_F(FirmMailingBookTest, RangeOfMailerNumbersAndADayWithoutMailersSaysSoWithoutPreview) {
  const std::vector<MadeMailer> mailers = bookMailers(20);
  test::writeLog(m_folder, mailers);
  // Numbers 0005 to 0009 of the day, compared as numbers (blanks ignored).
  const std::vector<std::string> pages =
      printPages({kDay, "92147000000000000005 00", "9214 7000 0000 0000 0009 00"});
  ASSERT_EQ(pages.size(), 1u);
  std::size_t inRange = 0;
  for (std::size_t i = 0; i < mailers.size(); ++i) {
    const int k = std::stoi(mailers[i].number.substr(20, 4));
    const bool listed = i < 20 && k >= 5 && k <= 9;
    inRange += listed;
    EXPECT_EQ(pages[0].find(mailers[i].number) != std::string::npos, listed) << mailers[i].number;
  }
  EXPECT_GT(inRange, 0u);
  EXPECT_NE(pages[0].find("Total Number of Pieces Listed by Sender: " + std::to_string(inRange)),
            std::string::npos);

  // No preview dialog is scripted: one would fail the test.
  const std::size_t asked = m_user.questions().size();
  try {
    produceFirmMailingBook(m_log, m_project, ReportDestination::rdPreview,
                           {Date{2021, 3, 5}, "", ""}, {"", ""});
    ADD_FAILURE() << "no error";
  } catch (const EmptyLogError& error) {
    EXPECT_STREQ(error.what(), "No mailers were logged on 03/05/2021.");
  }
  EXPECT_FALSE(m_log.Active());
  EXPECT_EQ(m_user.questions().size(), asked);
}

// Drawn shapes, checked against the texts they serve on every sheet: the
// clerk's count goes into an empty box beside its caption, the receiving
// employee signs on a rule after theirs, the postmark has a box with room
// for a round date stamp; on the last sheet only, the unused lines are
// struck through.
TEST_F(FirmMailingBookTest, EverySheetHasItsBoxesAndRuleAndUnusedLinesOfTheLastAreStruckThrough) {
  test::writeLog(m_folder, bookMailers(11));
  m_log.Open();
  RecordSnapshot book(m_log);
  selectMailingBookRecords(m_log, {kDay, "", ""}, book);
  m_log.Close();
  const ReportLayout layout = loadReportLayout(m_folder + kReportLayoutFileName);
  ReportDocument document(layout, *layout.find(kFirmMailingBookReport), {}, book);
  ASSERT_TRUE(document.generate());
  ASSERT_EQ(document.pageCount(), 2);
  const double line = document.lineHeight();
  for (int page : {0, 1}) {
    SCOPED_TRACE("sheet " + std::to_string(page + 1));
    ShapeRecorder recorder;
    QPainter painter(&recorder);
    drawReportPage(painter, document, page, 72, 72);
    painter.end();
    const auto diagonal = std::count_if(
        recorder.lines.begin(), recorder.lines.end(),
        [](const QLineF& l) { return std::abs(l.dx()) > 100 && std::abs(l.dy()) > 100; });
    EXPECT_EQ(diagonal, page == 1 ? 1 : 0);

    const auto textsIn = [&](const QRectF& box) {
      return std::count_if(recorder.texts.begin(), recorder.texts.end(), [&](const auto& t) {
        return box.contains(QPointF(t.left, t.baseline));
      });
    };
    // Every box lies inside the margins (half an inch on each side).
    for (const QRectF& box : recorder.rects)
      EXPECT_TRUE(QRectF(36, 36, 540, 720).contains(box)) << box.top() << " " << box.bottom();

    const auto* received =
        recorder.textStarting(QStringLiteral("Total Number of Pieces Received at Post Office"));
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(std::count_if(recorder.rects.begin(), recorder.rects.end(),
                            [&](const QRectF& box) {
                              return box.left() > received->right &&
                                     box.top() < received->baseline - line / 2 &&
                                     box.bottom() > received->baseline && textsIn(box) == 0;
                            }),
              1)
        << "an empty box level with the caption, after it";

    const auto* employee = recorder.textStarting(QStringLiteral("Postmaster, Per (Name of"));
    ASSERT_NE(employee, nullptr);
    EXPECT_EQ(std::count_if(recorder.lines.begin(), recorder.lines.end(),
                            [&](const QLineF& l) {
                              return l.dy() == 0 && std::min(l.x1(), l.x2()) > employee->right &&
                                     std::abs(l.dx()) >= 108 && l.y1() > employee->baseline &&
                                     l.y1() < employee->baseline + line;
                            }),
              1)
        << "a rule of an inch and a half or more to sign on, after the caption";

    const auto* postmark = recorder.textStarting(QStringLiteral("Postmark and Date of Receipt"));
    ASSERT_NE(postmark, nullptr);
    EXPECT_EQ(std::count_if(recorder.rects.begin(), recorder.rects.end(),
                            [&](const QRectF& box) {
                              return box.contains(QPointF(postmark->left, postmark->baseline)) &&
                                     box.contains(QPointF(postmark->right, postmark->baseline)) &&
                                     box.width() >= 90 && box.height() >= 90 && textsIn(box) == 1;
                            }),
              1)
        << "a box of an inch and a quarter or more, holding its caption only";
  }
}

}  // namespace
}  // namespace kestrel
