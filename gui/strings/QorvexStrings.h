// Qorvex's numbered texts: window titles, command prompts (status-line text,
// then after "\n" the tooltip), questions and status-line messages. Kept by
// number so that a command's prompt is found by the command's id.
#pragma once

#include <QString>

namespace qorvex {

// Empty when the program has no text of that number.
QString LoadString(unsigned id);

// The status-line half of a prompt (before "\n").
QString PromptStatusText(unsigned id);
// The tooltip half of a prompt (after "\n"); empty when there is none.
QString PromptTooltip(unsigned id);

}  // namespace qorvex
