#include "TarvoTaskArray.h"

#include "TarvoArchive.h"

const CTarvoRuntimeClass CTarvoTaskArray::classCTarvoTaskArray = {"CTarvoTaskArray", kTarvoNoSchema, nullptr,
                                                                  &CTarvoObject::classCTarvoObject, kTarvoNoSchema};

CTarvoTaskArray::CTarvoTaskArray() = default;

CTarvoTaskArray::~CTarvoTaskArray() { Empty(); }

const CTarvoRuntimeClass* CTarvoTaskArray::GetRuntimeClass() const { return &classCTarvoTaskArray; }

int CTarvoTaskArray::Add(CTarvoTaskEntry* entry) {
  if (entry == nullptr) return -1;
  // The owning pointer is made inside the new storage, so a failed growth
  // throws before anything owns the entry.
  m_entries.emplace_back(entry);
  return GetSize() - 1;
}

int CTarvoTaskArray::AddCopy(const CTarvoTaskEntry* entry) {
  if (entry == nullptr) return -1;
  // Names and all three sizes as the source has them, unknown sizes included;
  // nothing is measured again.
  auto copy = std::make_unique<CTarvoTaskEntry>(*entry);
  m_entries.push_back(std::move(copy));
  return GetSize() - 1;
}

void CTarvoTaskArray::RemoveAt(int index) {
  if (index < 0 || index >= GetSize()) return;
  const auto at = m_entries.begin() + index;
  std::unique_ptr<CTarvoTaskEntry> removed = std::move(*at);
  m_entries.erase(at);
}

void CTarvoTaskArray::Empty() {
  while (!m_entries.empty()) m_entries.pop_back();
  m_entries.shrink_to_fit();
}

CTarvoTaskEntry* CTarvoTaskArray::GetAt(int index) const {
  if (index < 0 || index >= GetSize()) return nullptr;
  return m_entries[static_cast<std::size_t>(index)].get();
}

void CTarvoTaskArray::Serialize(CTarvoArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<uint32_t>(m_entries.size()));
    for (const auto& entry : m_entries) ar.WriteObject(entry.get());
    return;
  }
  const uint32_t count = ar.ReadCount();
  std::vector<std::unique_ptr<CTarvoTaskEntry>> loaded;
  for (uint32_t i = 0; i < count; ++i) {
    bool created = false;
    CTarvoObject* object = ar.ReadObject(&CTarvoTaskEntry::classCTarvoTaskEntry, &created);
    if (object == nullptr) {
      throw CTarvoArchiveException(CTarvoArchiveException::badFormat, "null entry in a task list");
    }
    // A back reference hands out an entry that is owned already (by this
    // list or by whoever read it before); owning it here too would delete it twice.
    if (!created) {
      throw CTarvoArchiveException(CTarvoArchiveException::badIndex, "task list refers back to an entry");
    }
    loaded.emplace_back(static_cast<CTarvoTaskEntry*>(object));
  }
  Empty();
  m_entries = std::move(loaded);
}
