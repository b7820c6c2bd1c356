#pragma once

#include <QLineEdit>

namespace kestrel {

// A line edit with the program's edit masks: "mask;keep;blank", where "0" is
// a required digit, "9" an optional one, "\" makes the next character a
// literal, keep is 1 when literals stay in the text, and blank is the
// character shown in empty positions. Qt's own mask letters run the other way
// ("9" required, "0" optional) and its text() drops empty positions, so the
// edit translates the mask once and reads empty positions back as blanks: an
// empty "99999\-9999;1;_" field reads "     -    ".
class MaskedEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit MaskedEdit(QWidget* parent = nullptr);

  void setEditMask(const QString& editMask);
  QString editMask() const { return m_editMask; }

  // The text with a blank for every empty position; literals are left out
  // when the mask says so.
  QString maskedText() const;
  // Fills the positions from the start as typing would; blanks leave a
  // position empty.
  void setMaskedText(const QString& text);

  // The Qt input mask for one of ours, e.g. "99999\-9999;1;_" -> "00000\-0000;_".
  static QString toQtInputMask(const QString& editMask);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void fitMaskInView();

  struct Position {
    bool literal;
    QChar character;  // the literal, or the mask letter
  };
  QString m_editMask;
  QList<Position> m_positions;
  QChar m_blank = QLatin1Char('_');
  bool m_keepLiterals = true;
};

}  // namespace kestrel
