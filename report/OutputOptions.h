#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPrinter;
class QSpinBox;

namespace kestrel {

// The printer dialog of a report ("Output Options"): which printer, how
// many copies, collated or not, one- or two-sided, each offered only when
// the program allows it. It only collects the choices; apply() puts them on
// the printer of the job.
class OutputOptions : public QDialog {
  Q_OBJECT

 public:
  // `choices` holds the SetupChoice flags (ReportProject.h).
  OutputOptions(const QString& title, const QPrinter& printer, unsigned choices,
                QWidget* parent = nullptr);

  void apply(QPrinter& printer) const;

 private:
  QComboBox* m_printer = nullptr;
  QSpinBox* m_copies = nullptr;
  QCheckBox* m_collate = nullptr;
  QComboBox* m_duplex = nullptr;
};

}  // namespace kestrel
