// Shows an error object to the user and says whether to try again.
#pragma once

#include <functional>

#include "errors/InterfaceException.h"
#include "errors/MessageBox.h"

class QWidget;

// True: the caller gives up (or there is nothing to do); false: the user
// chose Retry. Callers that must not offer Retry clear m_bRetry first.
// The message box is modal over pParent, or over the active window.
bool ReportInterfaceError(const CInterfaceException& e, QWidget* pParent = nullptr);

// The same, never offering Retry (for callers with nothing to repeat).
void ReportInterfaceErrorOnce(const CInterfaceException& e, QWidget* pParent = nullptr);

// Runs the operation, and again for as long as it fails with an error of
// this family and the user answers Retry. True when it finally worked.
bool RunWithRetry(QWidget* pParent, const std::function<void()>& operation);

using qorvex::kHelpIdProperty;
