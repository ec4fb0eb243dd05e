// The command line's test main: one QCoreApplication, as the `nelvo` program has, for the
// commands run in the test process and the processes and servers the tests start.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
