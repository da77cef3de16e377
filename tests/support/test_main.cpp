// The main of every test binary: COM is initialised on the main thread because shell links,
// pictures and the task scheduler are COM objects.
#include <objbase.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    const int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
