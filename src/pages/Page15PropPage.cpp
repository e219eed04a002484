#include "pages/Page15PropPage.h"

CPage15PropPage::CPage15PropPage() : ExtendedOperationPage(214, nv::kDelaysCircuit1) {}
