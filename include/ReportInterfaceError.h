// Shows an error object to the user and says whether to try again.
#pragma once

#include "InterfaceException.h"

class QWidget;

// True: the caller gives up (or there is nothing to do); false: the user
// chose Retry. Callers that must not offer Retry clear m_bRetry first.
// The message box is modal over pParent, or over the active window.
bool ReportInterfaceError(const CInterfaceException& e, QWidget* pParent = nullptr);

// The help topic of a shown message box, for the program's help handler.
inline constexpr char kHelpIdProperty[] = "mvrHelpId";
