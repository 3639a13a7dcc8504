// One QApplication for the whole run, on the offscreen platform unless told otherwise.
#include <QApplication>
#include <QTemporaryDir>

#include "settings/settings_store.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Records a failed save keeps for later go to a folder of the run's, not the user's.
    const QTemporaryDir pending;
    store::setPendingDirectory(pending.path().toStdString());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
