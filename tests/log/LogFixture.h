#pragma once

// A mailing log of made-up mailers in a temporary program folder, for the
// report and clear tests. Record i (0-based, in the order written) has keys
// that are each a different shuffle of 0..n-1, so that every sort gives its
// own order; every seventh record has a blank date.
#include <QDate>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "DbaseTestSupport.h"
#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"

namespace kestrel::test {

struct MadeMailer {
  std::string name, number, zip, date;  // date empty when blank
  QDate day;
  int postageCents = 0;
  bool restricted = false;
  std::uint32_t recNo = 0;
};

inline std::string digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

inline std::string cents(long long value) {
  return std::to_string(value / 100) + "." + digits(static_cast<int>(value % 100), 2);
}

inline std::vector<MadeMailer> madeMailers(int n) {
  std::vector<MadeMailer> mailers;
  for (int i = 0; i < n; ++i) {
    MadeMailer m;
    m.name = "Name" + digits((i * 7919 + 13) % n, 5);
    m.number = "9214 7000 0000 0000 " + digits((i * 3797 + 5) % n, 4) + " 00";
    m.zip = digits(10000 + (i * 6007 + 1) % n, 5);
    if (i % 7 != 3) {
      m.day = QDate(2020, 1, 1).addDays((i * 4001 + 3) % n);
      m.date = std::to_string(m.day.month()) + "/" + std::to_string(m.day.day()) + "/" +
               std::to_string(m.day.year());
    }
    m.postageCents = 10 + i % 7;
    m.restricted = i % 3 == 0;
    m.recNo = static_cast<std::uint32_t>(i + 1);
    mailers.push_back(m);
  }
  return mailers;
}

inline long long totalCents(const MadeMailer& m) {
  return m.postageCents + 240 + 185 + (m.restricted ? 100 : 0);
}

// Writes the mailers as the log of the program folder (ending in "/").
inline void writeLog(const std::string& programFolder, const std::vector<MadeMailer>& mailers) {
  std::filesystem::create_directories(programFolder + kReportsFolderName);
  TTzDbf log("MadeLog");
  setUpMailingLog(log, programFolder);
  log.Open();
  EXPECT_TRUE(log.ALock());
  for (const MadeMailer& m : mailers) {
    log.ClearRecord();
    log.SetFieldText("sentname0", m.name);
    log.SetFieldText("sentname1", m.name + " line2");
    log.SetFieldText("sentname2", m.name + " line3");
    log.SetFieldText("sentname3", m.name + " line4");
    log.SetFieldText("city", "City" + m.name.substr(4));
    log.SetFieldText("state", "ST");
    log.SetFieldText("zip", m.zip);
    log.SetFieldText("rdate", m.date);
    log.SetFieldText("mailernum", m.number);
    log.SetFieldText("postage", cents(m.postageCents));
    log.SetFieldText("certified", "2.40");
    log.SetFieldText("restricted", m.restricted ? "1.00" : " ");
    log.SetFieldText("return", "1.85");
    log.SetFieldText("total", cents(totalCents(m)));
    log.SetFieldText("comments", "Comment" + m.name.substr(4));
    log.SetFieldText("re", "Re" + m.name.substr(4));
    log.AppendRec();
  }
  log.UnLock();
  log.Close();
}

}  // namespace kestrel::test
