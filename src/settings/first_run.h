#pragma once

namespace velmora {

class SettingsStore;

// True on the program's first start: the store holds no FirstRun value, or a nonzero one.
// Marks the store (FirstRun = 0) so that later starts answer false. A store that cannot keep
// the mark answers true again next time, which only shows the help once more.
bool CheckFirstRun(SettingsStore& store);

}  // namespace velmora
