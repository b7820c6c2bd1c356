#include "report/OutputOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>

#include "report/ReportProject.h"

namespace kestrel {

OutputOptions::OutputOptions(const QString& title, const QPrinter& printer, unsigned choices,
                             QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("OutputOptions"));
  setWindowTitle(title);
  auto* form = new QFormLayout(this);

  m_printer = new QComboBox(this);
  m_printer->setObjectName(QStringLiteral("cbPrinter"));
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    // Without an installed printer every job is a PDF file; there is
    // nothing to choose.
    m_printer->addItem(QStringLiteral("PDF file"));
    m_printer->setEnabled(false);
  } else {
    m_printer->addItems(QPrinterInfo::availablePrinterNames());
    m_printer->setCurrentText(printer.printerName());
    m_printer->setEnabled((choices & ssAllowDestPrinter) && (choices & ssAllowPrinterSetup));
  }
  form->addRow(QStringLiteral("&Printer:"), m_printer);

  m_copies = new QSpinBox(this);
  m_copies->setObjectName(QStringLiteral("spinCopies"));
  m_copies->setRange(1, 999);
  m_copies->setValue(std::max(1, printer.copyCount()));
  m_copies->setEnabled(choices & ssAllowCopies);
  form->addRow(QStringLiteral("&Copies:"), m_copies);

  m_collate = new QCheckBox(QStringLiteral("C&ollate"), this);
  m_collate->setObjectName(QStringLiteral("cbCollate"));
  m_collate->setChecked(printer.collateCopies());
  m_collate->setEnabled(choices & ssAllowCollate);
  form->addRow(QString(), m_collate);

  m_duplex = new QComboBox(this);
  m_duplex->setObjectName(QStringLiteral("cbDuplex"));
  m_duplex->addItem(QStringLiteral("One-sided"), QPrinter::DuplexNone);
  m_duplex->addItem(QStringLiteral("Two-sided, long edge"), QPrinter::DuplexLongSide);
  m_duplex->addItem(QStringLiteral("Two-sided, short edge"), QPrinter::DuplexShortSide);
  m_duplex->setCurrentIndex(std::max(0, m_duplex->findData(printer.duplex())));
  m_duplex->setEnabled(choices & ssAllowDuplex);
  form->addRow(QStringLiteral("&Duplex:"), m_duplex);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

void OutputOptions::apply(QPrinter& printer) const {
  if (m_printer->isEnabled() && !m_printer->currentText().isEmpty())
    printer.setPrinterName(m_printer->currentText());
  printer.setCopyCount(m_copies->value());
  printer.setCollateCopies(m_collate->isChecked());
  printer.setDuplex(static_cast<QPrinter::DuplexMode>(m_duplex->currentData().toInt()));
}

}  // namespace kestrel
