// How help contexts are numbered: a window template, a control of a screen,
// a command. The numbers are the anchors of the help page.
#pragma once

namespace qorvex::help {

inline constexpr unsigned kTemplateBase = 0x20000;
inline constexpr unsigned kControlBase = 0x50000;
inline constexpr unsigned kCommandBase = 0x10000;

inline constexpr unsigned ForTemplate(unsigned templateId) { return kTemplateBase + templateId; }
inline constexpr unsigned ForControl(unsigned controlId) { return kControlBase + controlId; }
inline constexpr unsigned ForCommand(unsigned commandId) { return kCommandBase + commandId; }

}  // namespace qorvex::help
