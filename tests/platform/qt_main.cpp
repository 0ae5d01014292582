// The Qt tests' main: a QApplication around the tests. Listing the tests (what CTest's discovery
// does at build time) needs no screen, so no application is made for it.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef GTEST_FLAG_GET
    const bool listing = GTEST_FLAG_GET(list_tests);
#else
    const bool listing = ::testing::GTEST_FLAG(list_tests);
#endif
    if (listing) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
