#include "platform/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

namespace ondrava {

InstanceLock::InstanceLock(const QString& title)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_fileName = folder + QLatin1Char('/') + title + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_fileName);
    // A lock left by a crashed run is taken over; one held by a running instance is not.
    m_lock->tryLock(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::Held() const
{
    return m_lock && m_lock->isLocked();
}

}  // namespace ondrava
