#include "pages/Page16PropPage.h"

CPage16PropPage::CPage16PropPage() : ExtendedOperationPage(215, nv::kDelaysCircuit2) {}
