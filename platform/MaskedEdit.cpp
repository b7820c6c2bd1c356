#include "platform/MaskedEdit.h"

#include <QEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace kestrel {
namespace {

// The margin Qt keeps inside a line edit's frame on either side of the text.
constexpr int kLineEditMargin = 2;

struct MaskParts {
  QString mask;
  bool keepLiterals = true;
  QChar blank = QLatin1Char('_');
};

// "mask;keep;blank" with the last two fields optional. The mask itself may
// hold an escaped ";" ("\;"), so the fields are taken from the end.
MaskParts splitMask(const QString& editMask) {
  MaskParts parts;
  parts.mask = editMask;
  auto unescapedSemicolonFromEnd = [](const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
      if (text[i] == QLatin1Char(';') && (i == 0 || text[i - 1] != QLatin1Char('\\'))) return i;
    }
    return qsizetype(-1);
  };
  qsizetype cut = unescapedSemicolonFromEnd(parts.mask);
  if (cut < 0) return parts;
  QString last = parts.mask.mid(cut + 1);
  parts.mask.truncate(cut);
  cut = unescapedSemicolonFromEnd(parts.mask);
  if (cut < 0) {
    parts.keepLiterals = last != QLatin1String("0");
    return parts;
  }
  if (!last.isEmpty()) parts.blank = last[0];
  parts.keepLiterals = parts.mask.mid(cut + 1) != QLatin1String("0");
  parts.mask.truncate(cut);
  return parts;
}

// Our mask letters and the Qt letter of the same meaning.
QChar qtLetter(QChar ours) {
  switch (ours.unicode()) {
    case '0':
      return QLatin1Char('9');  // required digit
    case '9':
      return QLatin1Char('0');  // optional digit
    case '#':
      return QLatin1Char('#');  // optional digit or sign
    case 'L':
      return QLatin1Char('A');  // required letter
    case 'l':
      return QLatin1Char('a');  // optional letter
    case 'A':
      return QLatin1Char('N');  // required letter or digit
    case 'a':
      return QLatin1Char('n');  // optional letter or digit
    case 'C':
      return QLatin1Char('X');  // required character
    case 'c':
      return QLatin1Char('x');  // optional character
    default:
      return QChar();
  }
}

bool isQtMaskCharacter(QChar c) {
  return QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\").contains(c);
}

}  // namespace

MaskedEdit::MaskedEdit(QWidget* parent) : QLineEdit(parent) {}

QString MaskedEdit::toQtInputMask(const QString& editMask) {
  const MaskParts parts = splitMask(editMask);
  QString qt;
  for (qsizetype i = 0; i < parts.mask.size(); ++i) {
    const QChar c = parts.mask[i];
    if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
      qt += c;
    } else if (c == QLatin1Char('!')) {
      continue;  // trimming of leading blanks: no Qt counterpart, text is the same
    } else if (c == QLatin1Char('\\') && i + 1 < parts.mask.size()) {
      const QChar literal = parts.mask[++i];
      if (isQtMaskCharacter(literal)) qt += QLatin1Char('\\');
      qt += literal;
    } else if (const QChar letter = qtLetter(c); !letter.isNull()) {
      qt += letter;
    } else {
      if (isQtMaskCharacter(c)) qt += QLatin1Char('\\');
      qt += c;
    }
  }
  return qt + QLatin1Char(';') + parts.blank;
}

void MaskedEdit::setEditMask(const QString& editMask) {
  m_editMask = editMask;
  const MaskParts parts = splitMask(editMask);
  m_blank = parts.blank;
  m_keepLiterals = parts.keepLiterals;
  m_positions.clear();
  for (qsizetype i = 0; i < parts.mask.size(); ++i) {
    const QChar c = parts.mask[i];
    if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('!')) continue;
    if (c == QLatin1Char('\\') && i + 1 < parts.mask.size()) {
      m_positions.append({true, parts.mask[++i]});
    } else {
      m_positions.append({qtLetter(c).isNull(), c});
    }
  }
  setInputMask(toQtInputMask(editMask));
  fitMaskInView();
}

void MaskedEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  fitMaskInView();
}

void MaskedEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) fitMaskInView();
}

// The forms were laid out for the narrower inner margins of the original
// platform: a ZIP+4 field there is just wide enough for its ten positions.
// Here it can be a pixel or two short, and typing the last position would
// scroll the first out of view. A masked field knows its widest text, so it
// gives up as much of Qt's inner margin as that text needs to show whole.
void MaskedEdit::fitMaskInView() {
  int shortBy = 0;
  if (!m_positions.isEmpty()) {
    const QFontMetrics metrics = fontMetrics();
    QString widest;
    for (const Position& position : m_positions) {
      if (position.literal) {
        widest += position.character;
        continue;
      }
      const bool digit = QStringLiteral("09#").contains(position.character);
      const QChar filled = digit ? QLatin1Char('0') : QLatin1Char('W');
      widest += metrics.horizontalAdvance(filled) >= metrics.horizontalAdvance(m_blank) ? filled
                                                                                        : m_blank;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int inner = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width() -
                      2 * kLineEditMargin;
    const int cursor = style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this);
    shortBy = metrics.horizontalAdvance(widest) + cursor + 1 - inner;
  }
  const int give = std::clamp((shortBy + 1) / 2, 0, kLineEditMargin);
  setTextMargins(-give, 0, -give, 0);
}

QString MaskedEdit::maskedText() const {
  if (m_positions.isEmpty()) return text();
  // displayText() shows every position, with the blank character in empty ones.
  const QString shown = displayText();
  QString result;
  for (qsizetype i = 0; i < m_positions.size() && i < shown.size(); ++i) {
    if (m_positions[i].literal) {
      if (m_keepLiterals) result += m_positions[i].character;
    } else {
      result += shown[i] == m_blank ? QLatin1Char(' ') : shown[i];
    }
  }
  return result;
}

void MaskedEdit::setMaskedText(const QString& text) {
  if (m_positions.isEmpty()) {
    setText(text);
    return;
  }
  // Qt skips characters that do not fit a position; a blank must leave the
  // position empty instead, which Qt does for its blank character.
  QString filled = text;
  filled.replace(QLatin1Char(' '), m_blank);
  setText(filled);
}

}  // namespace kestrel
