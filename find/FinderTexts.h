// Everything the finder's dialog says, word for word.
#pragma once

namespace mvrfind::text {

inline constexpr char kDialogTitle[] = "Search for the Original File";
inline constexpr char kNameLabel[] = "Original File Name      (wildcards  are acceptable)";
inline constexpr char kPathLabel[] = "Path to Start the Search From";
inline constexpr char kSearch[] = "&Search";
inline constexpr char kCancel[] = "&Cancel";
inline constexpr char kStop[] = "&Stop";
inline constexpr char kBrowse[] = "&Browse...";
inline constexpr char kBrowseTitle[] = "Select the folder in which to search for the original file";
inline constexpr char kDiskError[] = "A disk error has occured\nduring the search!";
inline constexpr char kNotFound[] = "Cannot find the reference file";

}  // namespace mvrfind::text
