// What a folder walk needs from whoever shows it: a chance to keep its window
// alive, and a place to say where the walk is.
#pragma once

#include <string>

namespace mvrfind {

class ISearchHost {
 public:
  // Asked on entering each folder, before anything is read: false ends the
  // walk as stopped by the user.
  virtual bool KeepGoing() = 0;
  // The folder whose entries are read next.
  virtual void EnterFolder(const std::string& folder) = 0;

 protected:
  ~ISearchHost() = default;
};

}  // namespace mvrfind
