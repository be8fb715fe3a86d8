// The ordered job list of an engine. It owns its entries: whatever is put in,
// by Add or AddCopy, is deleted when removed, when the list is emptied and
// when the list goes. It holds no null entries.
#pragma once

#include <memory>
#include <vector>

#include "TarvoEngineApi.h"
#include "TarvoObject.h"
#include "TarvoTaskEntry.h"

class TARVOENGINE_API CTarvoTaskArray : public CTarvoObject {
 public:
  CTarvoTaskArray();
  ~CTarvoTaskArray() override;
  CTarvoTaskArray(const CTarvoTaskArray&) = delete;
  CTarvoTaskArray& operator=(const CTarvoTaskArray&) = delete;

  const CTarvoRuntimeClass* GetRuntimeClass() const override;
  static const CTarvoRuntimeClass classCTarvoTaskArray;

  // Takes ownership and returns the new index; -1 (and nothing owned) for
  // null. When growing fails, std::bad_alloc leaves the entry with the caller.
  int Add(CTarvoTaskEntry* entry);
  // Appends a copy that carries exactly the source's names and sizes; -1 for null.
  int AddCopy(const CTarvoTaskEntry* entry);
  // Out-of-range indexes change nothing.
  void RemoveAt(int index);
  void Empty();

  int GetSize() const { return static_cast<int>(m_entries.size()); }
  // Null when index is out of range.
  CTarvoTaskEntry* GetAt(int index) const;
  // Unchecked, like any operator[]: 0 <= index < GetSize().
  CTarvoTaskEntry& operator[](int index) { return *m_entries[static_cast<std::size_t>(index)]; }
  const CTarvoTaskEntry& operator[](int index) const { return *m_entries[static_cast<std::size_t>(index)]; }

  // The element count, then each entry as an object reference. Loading
  // replaces the contents only when the whole list has been read; a list that
  // refers back to an entry read before (which would then have two owners),
  // or holds a null, is rejected (badIndex, badFormat).
  void Serialize(CTarvoArchive& ar) override;

 private:
  std::vector<std::unique_ptr<CTarvoTaskEntry>> m_entries;
};
