// The back-end tests draw text, which needs a QGuiApplication for the whole run.
#include <gtest/gtest.h>

#include "platform/print/GuiApplicationScope.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    vorra::print::GuiApplicationScope app;
    return RUN_ALL_TESTS();
}
