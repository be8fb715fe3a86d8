#include "frame/ConstructionSetting.h"

#include <QSettings>
#include <QString>
#include <iterator>

namespace qorvex::settings {
namespace {

struct Named {
  EConstructionChoice choice;
  const char* name;
};
constexpr Named kNames[] = {
    {EConstructionChoice::standard, "standard"},
    {EConstructionChoice::fast, "fast"},
    {EConstructionChoice::thorough, "thorough"},
};

// Named explicitly rather than through the application object, so that the
// program and its tests reach the same file.
QSettings Store() { return QSettings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)); }

}  // namespace

EConstructionChoice LoadConstructionChoice() {
  const QString stored = Store().value(QString::fromLatin1(kConstructionKey)).toString();
  for (const Named& n : kNames) {
    if (stored == QLatin1String(n.name)) return n.choice;
  }
  return EConstructionChoice::standard;
}

void SaveConstructionChoice(EConstructionChoice choice) {
  for (const Named& n : kNames) {
    if (n.choice == choice) Store().setValue(QString::fromLatin1(kConstructionKey), QString::fromLatin1(n.name));
  }
}

}  // namespace qorvex::settings
