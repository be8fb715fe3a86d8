// The root of the engine's exported classes. Each class has one run-time
// class record; a serializable one carries a schema number and a factory, so
// that an archive can name the class and create it again by that name. A
// class may read a range of schemas, so that what older versions wrote
// still loads, while each object is written under the oldest schema that
// holds everything it has.
#pragma once

#include <cstdint>

#include "TarvoEngineApi.h"

class CTarvoArchive;
class CTarvoObject;

// Schema of a class that cannot be archived by reference.
inline constexpr uint16_t kTarvoNoSchema = 0xFFFF;

struct TARVOENGINE_API CTarvoRuntimeClass {
  const char* m_lpszClassName;
  uint16_t m_wSchema;                    // the newest schema
  CTarvoObject* (*m_pfnCreateObject)();  // null: cannot be created by name
  const CTarvoRuntimeClass* m_pBaseClass;
  uint16_t m_wOldestSchema;  // the oldest schema still read; m_wSchema when there is one

  // A new object of this class, or null when the class has no factory.
  CTarvoObject* CreateObject() const;
  bool IsDerivedFrom(const CTarvoRuntimeClass* base) const;
  bool ReadsSchema(uint16_t schema) const { return schema >= m_wOldestSchema && schema <= m_wSchema; }
};

class TARVOENGINE_API CTarvoObject {
 public:
  virtual ~CTarvoObject();

  virtual const CTarvoRuntimeClass* GetRuntimeClass() const;
  // Writes or reads the object's archived form; the root has none.
  virtual void Serialize(CTarvoArchive& ar);
  // The schema this object is archived under; the class's newest unless the
  // class says otherwise.
  virtual uint16_t GetArchiveSchema() const;
  bool IsKindOf(const CTarvoRuntimeClass* cls) const;

  static const CTarvoRuntimeClass classCTarvoObject;

 protected:
  CTarvoObject() = default;
  CTarvoObject(const CTarvoObject&) = default;
  CTarvoObject& operator=(const CTarvoObject&) = default;
};
