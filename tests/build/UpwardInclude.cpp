// Built only by the test that expects it not to compile: the node layer cannot see the pages.
#include "pages/PumpPage.h"
