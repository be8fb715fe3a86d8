// Qorvex's message boxes: the program's name as title, and a help topic that
// F1 opens while the box is up (see HelpKeyFilter.h).
#pragma once

#include <QMessageBox>
#include <QString>

#include "ReportInterfaceError.h"

namespace qorvex {

// Modal over parent (or the active window when null); returns the button.
QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       unsigned helpId = 0);

}  // namespace qorvex
