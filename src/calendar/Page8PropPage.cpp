#include "calendar/Page8PropPage.h"

namespace vireo {

CPage8PropPage::CPage8PropPage() : PresenceCalendarPage(207, 1) {}

}  // namespace vireo
