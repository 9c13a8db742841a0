#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include "platform/file_readiness.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

TEST(FileReadiness, FifoIsNotReadyAndDoesNotBlock) {
    test::TempTree tree;
    const std::string fifo = tree.path("pipe.tif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(IsFileReady(fifo));
}

// Testing readiness holds a lease for a moment. Another process that opens the image just then
// breaks it, and the kernel tells the holder with SIGIO, which would end a program that left the
// signal as it comes.
TEST(FileReadiness, AnotherProcessOpeningTheImageMeanwhileDoesNotEndTheOneTesting) {
    test::TempTree tree;
    const std::string image = tree.writeFile("scan.tif");
    const auto forEachMomentFor = [](auto step) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            step();
        }
        ::_exit(0);
    };
    const pid_t opener = ::fork();
    ASSERT_GE(opener, 0);
    if (opener == 0) {
        forEachMomentFor([&] { ::close(::open(image.c_str(), O_RDONLY | O_CLOEXEC)); });
    }
    const pid_t tester = ::fork();
    ASSERT_GE(tester, 0);
    if (tester == 0) {
        forEachMomentFor([&] { IsFileReady(image); });
    }
    int testerStatus = 0;
    int openerStatus = 0;
    ::waitpid(tester, &testerStatus, 0);
    ::waitpid(opener, &openerStatus, 0);
    EXPECT_TRUE(WIFEXITED(testerStatus)) << "ended by signal " << WTERMSIG(testerStatus);
    EXPECT_TRUE(WIFEXITED(openerStatus));
}

}  // namespace
}  // namespace quillrun::platform
