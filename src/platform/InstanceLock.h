#pragma once
// A lock file named after the program's title in the user's runtime folder, held while the
// program runs so that other processes can see that it does. Nothing waits on it: a second
// instance starts like the first.
#include <QLockFile>
#include <QString>

#include <memory>

namespace ondrava {

class InstanceLock {
public:
    explicit InstanceLock(const QString& title);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Whether this process holds the lock (false for a second instance).
    bool Held() const;
    QString FileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace ondrava
