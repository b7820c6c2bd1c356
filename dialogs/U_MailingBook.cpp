#include "dialogs/U_MailingBook.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "numbering/MailerNumber.h"
#include "platform/AnsiText.h"
#include "platform/UserInteraction.h"

namespace kestrel {

TF_MailingBook::TF_MailingBook(const QDate& today, QWidget* parent) : QDialog(parent) {
  setObjectName("TF_MailingBook");
  setWindowTitle("Firm Mailing Book");
  setAttribute(Qt::WA_DeleteOnClose, false);  // the caller owns the dialog on its stack

  m_date = new QDateEdit(today, this);
  m_date->setObjectName("dtMailingDate");
  m_date->setCalendarPopup(true);
  m_first = new QLineEdit(this);
  m_first->setObjectName("edFirstNumber");
  m_last = new QLineEdit(this);
  m_last->setObjectName("edLastNumber");
  for (QLineEdit* edit : {m_first, m_last}) edit->setMaxLength(30);

  auto* form = new QFormLayout;
  form->addRow("Mailing &date:", m_date);
  form->addRow("&From mailer number (optional):", m_first);
  form->addRow("&To mailer number (optional):", m_last);

  auto* preview = new QPushButton("Pre&view", this);
  preview->setObjectName("btnPreview");
  preview->setDefault(true);
  auto* print = new QPushButton("&Print", this);
  print->setObjectName("btnPrint");
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("btnCancel");
  connect(preview, &QPushButton::clicked, this, [this] { finish(kPreview); });
  connect(print, &QPushButton::clicked, this, [this] { finish(kPrint); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(preview);
  buttons->addWidget(print);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TF_MailingBook::finish(int choice) {
  // A bound that holds no digit would silently count as zero, and a
  // reversed range would silently list nothing: both are typing slips,
  // said at once while the numbers are still in front of the user.
  for (QLineEdit* edit : {m_first, m_last}) {
    const QString text = edit->text().trimmed();
    if (!text.isEmpty() &&
        std::none_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
      showError(QStringLiteral("\"%1\" is not a mailer number.").arg(text));
      edit->setFocus();
      return;
    }
  }
  if (!m_first->text().trimmed().isEmpty() && !m_last->text().trimmed().isEmpty() &&
      mailerNumberLess(toAnsi(m_last->text()), toAnsi(m_first->text()))) {
    showError(QStringLiteral("The first mailer number comes after the last one."));
    m_first->setFocus();
    return;
  }
  done(choice);
}

QDate TF_MailingBook::mailingDate() const {
  return m_date->date();
}

QString TF_MailingBook::firstNumber() const {
  return m_first->text();
}

QString TF_MailingBook::lastNumber() const {
  return m_last->text();
}

}  // namespace kestrel
