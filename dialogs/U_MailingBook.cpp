#include "dialogs/U_MailingBook.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
  connect(preview, &QPushButton::clicked, this, [this] { done(kPreview); });
  connect(print, &QPushButton::clicked, this, [this] { done(kPrint); });
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
