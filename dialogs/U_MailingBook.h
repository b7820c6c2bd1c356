#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

class QDateEdit;
class QLineEdit;

namespace kestrel {

// "Firm Mailing Book": the mailing date (today at first) and an optional
// range of mailer numbers. The dialog ends with Preview, Print or Cancel;
// Preview and Print refuse a bound without digits and a reversed range.
class TF_MailingBook : public QDialog {
 public:
  // The dialog's results besides QDialog::Rejected (Cancel).
  static constexpr int kPreview = 2;
  static constexpr int kPrint = 3;

  explicit TF_MailingBook(const QDate& today, QWidget* parent = nullptr);

  QDate mailingDate() const;
  QString firstNumber() const;
  QString lastNumber() const;

 private:
  void finish(int choice);

  QDateEdit* m_date = nullptr;
  QLineEdit* m_first = nullptr;
  QLineEdit* m_last = nullptr;
};

}  // namespace kestrel
