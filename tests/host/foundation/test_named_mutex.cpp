// Named mutex: shared by name between records, threads and processes; timed waits; a holder
// that ends without unlocking is reported as abandoned and the lock passes on.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "child_process.h"
#include "foundation/named_mutex.h"
#include "foundation/status.h"
#include "foundation/thread.h"
#include "log_capture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr uint32_t kForever = 0xFFFFFFFF;

int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

// A name of its own per test, so that parallel runs of the tests do not meet.
std::string UniqueName() {
    static int counter = 0;
    return Format("MemTracerTest-%d-%d", ProcessId(), ++counter);
}

// Holds the named mutex on another thread, through that thread's own record.
class HolderThread {
   public:
    HolderThread(const std::string &name, bool abandon) : name_(name), abandon_(abandon) {
        thread_ = std::thread([this] { Run(); });
        while (phase_ == 0) ThreadSleep(1);
    }
    ~HolderThread() { Finish(); }
    bool Held() const { return phase_ == 1; }
    // Lets the thread unlock (or just end, when abandoning) and waits for it.
    void Finish() {
        if (!thread_.joinable()) return;
        phase_ = 2;
        thread_.join();
        NamedMutexDestroy(&mutex_);
    }

   private:
    void Run() {
        bool ok =
            NamedMutexCreate(name_.c_str(), &mutex_) == 0 && NamedMutexLock(&mutex_, kForever) == 0;
        phase_ = ok ? 1 : 3;
        if (!ok) return;
        while (phase_ != 2) ThreadSleep(1);
        if (!abandon_) NamedMutexUnlock(&mutex_);
    }
    std::string name_;
    bool abandon_;
    NamedMutex mutex_ = {};
    std::atomic<int> phase_{0};
    std::thread thread_;
};

// Waits until the other process holds the mutex: a zero wait then no longer succeeds.
int32_t WaitUntilHeldElsewhere(NamedMutex *mutex) {
    for (int i = 0; i < 4000; i++) {
        int32_t result = NamedMutexLock(mutex, 0);
        if (result != 0) return result;
        NamedMutexUnlock(mutex);
        ThreadSleep(5);
    }
    return 0;
}

class NamedMutexTest : public ::testing::Test {
   protected:
    void SetUp() override {
        name = UniqueName();
        ASSERT_EQ(NamedMutexCreate(name.c_str(), &mutex), 0);
    }
    void TearDown() override {
        if (mutex.handle != nullptr) NamedMutexDestroy(&mutex);
    }
    std::string name;
    NamedMutex mutex = {};
};

}  // namespace

TEST(NamedMutex, NullArgumentsAreRefused) {
    NamedMutex mutex = {};
    EXPECT_EQ(NamedMutexCreate(nullptr, &mutex), ERR_NULLPTR);
    EXPECT_EQ(NamedMutexCreate("x", nullptr), ERR_NULLPTR);
    EXPECT_EQ(NamedMutexLock(nullptr, 0), ERR_NULLPTR);
    EXPECT_EQ(NamedMutexUnlock(nullptr), ERR_NULLPTR);
    EXPECT_EQ(NamedMutexDestroy(nullptr), ERR_NULLPTR);
}

TEST_F(NamedMutexTest, KeepsACopyOfTheNameUntilDestroyed) {
    EXPECT_STREQ(mutex.name, name.c_str());
    EXPECT_NE(mutex.name, name.c_str());
    EXPECT_NE(mutex.handle, nullptr);
    EXPECT_EQ(NamedMutexDestroy(&mutex), 0);
    EXPECT_EQ(mutex.handle, nullptr);
    EXPECT_EQ(mutex.name, nullptr);
}

TEST_F(NamedMutexTest, SecondDestroyFailsAndSaysSo) {
    ASSERT_EQ(NamedMutexDestroy(&mutex), 0);
    LogCapture log;
    EXPECT_EQ(NamedMutexDestroy(&mutex), ERR_ERROR);
    EXPECT_EQ(log.Text(), ErrorLine("Mutex undestroyed"));
}

TEST_F(NamedMutexTest, OwnerMayLockAgainAndUnlocksAsOftenAsItLocked) {
    EXPECT_EQ(NamedMutexLock(&mutex, 0), 0);
    EXPECT_EQ(NamedMutexLock(&mutex, 0), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
    LogCapture log;
    EXPECT_EQ(NamedMutexUnlock(&mutex), ERR_ERROR);
    EXPECT_EQ(log.Text(), ErrorLine("Mutex unreleased"));
}

TEST_F(NamedMutexTest, TimesOutWhileAnotherThreadHoldsIt) {
    HolderThread holder(name, false);
    ASSERT_TRUE(holder.Held());
    LogCapture log;
    EXPECT_EQ(NamedMutexLock(&mutex, 50), ERR_TIMEOUT);
    EXPECT_EQ(log.Text(), ErrorLine("Mutex timeouted"));
    log.Clear();
    EXPECT_EQ(NamedMutexUnlock(&mutex), ERR_ERROR);  // not the owner
    EXPECT_EQ(log.Text(), ErrorLine("Mutex unreleased"));
    holder.Finish();
    EXPECT_EQ(NamedMutexLock(&mutex, 1000), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
}

TEST_F(NamedMutexTest, DifferentNamesDoNotMeet) {
    HolderThread holder(UniqueName(), false);
    ASSERT_TRUE(holder.Held());
    EXPECT_EQ(NamedMutexLock(&mutex, 0), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
}

TEST_F(NamedMutexTest, AbandonedWhenTheHoldingThreadEnds) {
    HolderThread holder(name, true);
    ASSERT_TRUE(holder.Held());
    holder.Finish();
    LogCapture log;
    EXPECT_EQ(NamedMutexLock(&mutex, 1000), ERR_ABANDONED);
    EXPECT_EQ(log.Text(), ErrorLine("Mutex abandoned"));
    // The abandoned mutex now belongs to this thread and works normally again.
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
    EXPECT_EQ(NamedMutexLock(&mutex, 0), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
}

TEST_F(NamedMutexTest, TimesOutWhileAnotherProcessHoldsIt) {
    ChildProcess child = {};
    ASSERT_TRUE(ChildStart(&child, {"--hold-mutex", name, "1500", "release"}));
    int32_t seen = WaitUntilHeldElsewhere(&mutex);
    EXPECT_EQ(seen, ERR_TIMEOUT);
    EXPECT_EQ(NamedMutexLock(&mutex, 100), ERR_TIMEOUT);
    EXPECT_EQ(ChildWait(&child), 0);
    EXPECT_EQ(NamedMutexLock(&mutex, 1000), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
}

TEST_F(NamedMutexTest, AbandonedWhenTheHoldingProcessExits) {
    ChildProcess child = {};
    ASSERT_TRUE(ChildStart(&child, {"--hold-mutex", name, "300", "abandon"}));
    int32_t seen = WaitUntilHeldElsewhere(&mutex);
    ASSERT_NE(seen, 0) << "the second process never took the mutex";
    // Either it was still held (then the wait outlives the holder) or already abandoned.
    if (seen == ERR_TIMEOUT) seen = NamedMutexLock(&mutex, 20000);
    EXPECT_EQ(seen, ERR_ABANDONED);
    EXPECT_EQ(ChildWait(&child), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
    EXPECT_EQ(NamedMutexLock(&mutex, 0), 0);
    EXPECT_EQ(NamedMutexUnlock(&mutex), 0);
}

#ifndef _WIN32
TEST_F(NamedMutexTest, LastHandleRemovesTheSharedName) {
    std::string path = "/dev/shm/" + name;
    EXPECT_EQ(access(path.c_str(), F_OK), 0);
    NamedMutex second = {};
    ASSERT_EQ(NamedMutexCreate(name.c_str(), &second), 0);
    ASSERT_EQ(NamedMutexDestroy(&mutex), 0);
    EXPECT_EQ(access(path.c_str(), F_OK), 0);  // still open through the second record
    ASSERT_EQ(NamedMutexDestroy(&second), 0);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}
#endif
