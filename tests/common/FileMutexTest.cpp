#include "common/FileMutex.h"

#include <gtest/gtest.h>

#include <thread>

TEST(CFileMutexLock, TakenLockMakesOthersWaitAndAnAbandonedOneIsTaken)
{
    const char path[] = "C:\\Users\\表\\tessik.ini";
    // Another spelling of the same file shares the mutex.
    const char samePath[] = "c:\\USERS\\表\\TESSIK.INI";
    ASSERT_EQ(FileMutexName(path), FileMutexName(samePath));

    // Taken by a thread that ends without giving it back.
    CScopedHandle abandoned(CreateMutexA(NULL, FALSE, FileMutexName(path).c_str()));
    std::thread([&]() { EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(abandoned.Get(), 0)); }).join();

    CScopedHandle taken(CreateEventA(NULL, TRUE, FALSE, NULL));
    CScopedHandle release(CreateEventA(NULL, TRUE, FALSE, NULL));
    std::thread holder([&]() {
        CFileMutexLock lock(path, 30000);
        EXPECT_TRUE(lock.IsHeld());
        SetEvent(taken.Get());
        WaitForSingleObject(release.Get(), 30000);
    });
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(taken.Get(), 30000));
    EXPECT_FALSE(CFileMutexLock(samePath, 0).IsHeld());
    EXPECT_TRUE(CFileMutexLock("C:\\Users\\表\\other.ini", 0).IsHeld());
    SetEvent(release.Get());
    holder.join();
    EXPECT_TRUE(CFileMutexLock(samePath, 0).IsHeld());
}
