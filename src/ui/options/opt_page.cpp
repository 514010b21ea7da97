#include "ui/options/opt_page.h"

namespace velmora::ui {

void COptPage::Activate() {
  if (m_initialised) return;
  m_initialised = true;
  Initialise();
}

}  // namespace velmora::ui
