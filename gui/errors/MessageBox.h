// Qorvex's one message box: the program's name as title, a help topic that
// F1 opens while the box is up (see HelpKeyFilter.h), and the normal cursor
// while it waits for the user, whatever busy cursor is set around it.
#pragma once

#include <QMessageBox>
#include <QString>

namespace qorvex {

// The help topic of a shown message box, for the program's help handler.
inline constexpr char kHelpIdProperty[] = "mvrHelpId";

// Modal over parent (or the active window when null); returns the button.
QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       unsigned helpId = 0);

}  // namespace qorvex
