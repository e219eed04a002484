#include "calendar/Page7PropPage.h"

namespace vireo {

CPage7PropPage::CPage7PropPage() : PresenceCalendarPage(206, 0) {}

}  // namespace vireo
