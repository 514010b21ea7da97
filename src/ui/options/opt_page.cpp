#include "ui/options/opt_page.h"

namespace velmora::ui {

void COptPage::Load() {
  if (m_loaded) return;
  m_loaded = true;
  Initialise();
}

void COptPage::Activate() {
  Load();
  m_shown = true;
}

}  // namespace velmora::ui
