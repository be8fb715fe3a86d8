// Everything the viewer says, word for word.
#pragma once

namespace mvrview::text {

inline constexpr char kProgramName[] = "MvrView";
inline constexpr char kSyntax[] = "No .mvr file is specified!\n\nSyntax:\n      MvrView  FileName.mvr";
inline constexpr char kNotDifferenceFile[] = "This file is not .mvr file";
inline constexpr char kCaptionPrefix[] = "Difference File - ";
inline constexpr char kConstructedOn[] = "Constructed  On";
inline constexpr char kFrom[] = "from ";
inline constexpr char kOriginalFile[] = "The Original File";
inline constexpr char kModifiedFile[] = "And  Modified File";

}  // namespace mvrview::text
