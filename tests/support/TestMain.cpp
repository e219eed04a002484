// Test main for the suites that run real pages: Qt runs offscreen, without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#ifdef VIREO_IN_MODULE
#include "control/VireoModule.h"
#endif

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Never the user's own history or temporary folder: a test that needs a history names its
    // own, and temporary files stay in the test's build tree.
    setenv("VIREO_HISTORY", "off", 1);
    setenv("TMPDIR", VIREO_TEST_TMP, 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
#ifdef VIREO_IN_MODULE
    // The control's layers are linked in: run inside the module's state, so that pages find
    // the module's dialog templates, strings and bitmaps.
    platform::ManageModuleState module(vireo::ModuleState());
#endif
    return RUN_ALL_TESTS();
}
