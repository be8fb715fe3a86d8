// The root of the engine's exported classes. Each class has one run-time
// class record; a serializable one carries a schema number and a factory, so
// that an archive can name the class and create it again by that name.
#pragma once

#include <cstdint>

#include "TarvoEngineApi.h"

class CTarvoArchive;
class CTarvoObject;

// Schema of a class that cannot be archived by reference.
inline constexpr uint16_t kTarvoNoSchema = 0xFFFF;

struct TARVOENGINE_API CTarvoRuntimeClass {
  const char* m_lpszClassName;
  uint16_t m_wSchema;
  CTarvoObject* (*m_pfnCreateObject)();  // null: cannot be created by name
  const CTarvoRuntimeClass* m_pBaseClass;

  // A new object of this class, or null when the class has no factory.
  CTarvoObject* CreateObject() const;
  bool IsDerivedFrom(const CTarvoRuntimeClass* base) const;
};

class TARVOENGINE_API CTarvoObject {
 public:
  virtual ~CTarvoObject();

  virtual const CTarvoRuntimeClass* GetRuntimeClass() const;
  // Writes or reads the object's archived form; the root has none.
  virtual void Serialize(CTarvoArchive& ar);
  bool IsKindOf(const CTarvoRuntimeClass* cls) const;

  static const CTarvoRuntimeClass classCTarvoObject;

 protected:
  CTarvoObject() = default;
  CTarvoObject(const CTarvoObject&) = default;
  CTarvoObject& operator=(const CTarvoObject&) = default;
};
