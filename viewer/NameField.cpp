#include "NameField.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

CNameField::CNameField(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }

void CNameField::SetFullName(const QString& name) {
  m_strFullName = name.left(maxLength());
  setToolTip(m_strFullName);
  ShowName();
}

void CNameField::ShowName() {
  // The room for text inside the frame and margins.
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect room = style()->subElementRect(QStyle::SE_LineEditContents, &option, this)
                         .marginsRemoved(textMargins());
  const int width = std::max(0, room.width() - 4);
  setText(fontMetrics().elidedText(m_strFullName, Qt::ElideMiddle, width));
  setCursorPosition(0);
}

QSize CNameField::sizeHint() const {
  const QSize hint = QLineEdit::sizeHint();
  return {std::min(hint.width(), fontMetrics().horizontalAdvance(m_strFullName) + 12), hint.height()};
}

void CNameField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  ShowName();
}

void CNameField::ShowWhole() {
  if (text() == m_strFullName) return;
  setText(m_strFullName);
  setCursorPosition(0);
}

// The whole name comes back as soon as the user reaches for it: a click, a
// selection key, the context menu.
void CNameField::mousePressEvent(QMouseEvent* event) {
  ShowWhole();
  QLineEdit::mousePressEvent(event);
}

void CNameField::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Copy)) {
    if (text() != m_strFullName) {
      ShowWhole();
      selectAll();
    }
  }
  QLineEdit::keyPressEvent(event);
}

void CNameField::contextMenuEvent(QContextMenuEvent* event) {
  if (text() != m_strFullName) {
    ShowWhole();
    selectAll();
  }
  QLineEdit::contextMenuEvent(event);
}

void CNameField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A menu of our own takes the focus for a moment; the name stays whole then.
  if (event->reason() != Qt::PopupFocusReason) ShowName();
}
