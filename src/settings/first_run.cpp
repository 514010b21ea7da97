#include "settings/first_run.h"

#include "platform/settings_store.h"

namespace velmora {

bool CheckFirstRun(SettingsStore& store) {
  const auto stored = store.ReadNumber("FirstRun");
  if (stored && *stored == 0) return false;
  store.WriteNumber("FirstRun", 0);
  store.Sync();
  return true;
}

}  // namespace velmora
