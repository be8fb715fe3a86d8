#include "TarvoObject.h"

const CTarvoRuntimeClass CTarvoObject::classCTarvoObject = {"CTarvoObject", kTarvoNoSchema, nullptr, nullptr,
                                                       kTarvoNoSchema};

CTarvoObject* CTarvoRuntimeClass::CreateObject() const {
  return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr;
}

bool CTarvoRuntimeClass::IsDerivedFrom(const CTarvoRuntimeClass* base) const {
  for (const CTarvoRuntimeClass* cls = this; cls != nullptr; cls = cls->m_pBaseClass) {
    if (cls == base) return true;
  }
  return false;
}

CTarvoObject::~CTarvoObject() = default;

const CTarvoRuntimeClass* CTarvoObject::GetRuntimeClass() const { return &classCTarvoObject; }

void CTarvoObject::Serialize(CTarvoArchive&) {}

uint16_t CTarvoObject::GetArchiveSchema() const { return GetRuntimeClass()->m_wSchema; }

bool CTarvoObject::IsKindOf(const CTarvoRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
