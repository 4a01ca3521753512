#include "table_locks.h"

#include "ora_error.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace oraemu {

namespace {

[[noreturn]] void resourceBusy()
{
    throw OraError(54, "resource busy and acquire with NOWAIT specified or timeout expired");
}

}  // namespace

TableLocks::TableLocks(const std::string& databasePath)
{
#ifdef F_OFD_SETLK
    fd_ = ::open((databasePath + "-locks").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
#else
    (void)databasePath;  // without open-file locks the sessions do not exclude each other
#endif
}

TableLocks::~TableLocks()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool TableLocks::tryLock(std::int64_t tableId, bool exclusive)
{
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(tableId);
    lock.l_len = 1;
    return ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
#else
    (void)tableId;
    (void)exclusive;
    return true;
#endif
}

void TableLocks::lockWithin(std::int64_t tableId, bool exclusive, int waitMs)
{
    if (fd_ < 0 || tableId <= 0)
        return;
    if (held_.count(tableId) && (!exclusive || exclusive_.count(tableId)))
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!tryLock(tableId, exclusive)) {
        if (std::chrono::steady_clock::now() >= deadline)
            resourceBusy();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    held_.insert(tableId);
    if (exclusive)
        exclusive_.insert(tableId);
}

void TableLocks::lockForChange(std::int64_t tableId, int waitMs)
{
    lockWithin(tableId, false, waitMs);
}

void TableLocks::lockForDdl(std::int64_t tableId, int waitMs)
{
    lockWithin(tableId, true, waitMs);
}

void TableLocks::releaseAll()
{
    if (fd_ < 0 || held_.empty())
        return;
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file
    ::fcntl(fd_, F_OFD_SETLK, &lock);
#endif
    held_.clear();
    exclusive_.clear();
}

}  // namespace oraemu
