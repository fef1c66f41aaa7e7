#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

SingleInstance::SingleInstance(const QString& marker, const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty() && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QString name = marker;
    name.replace(u' ', u'-');
    m_lock = std::make_unique<QLockFile>(
        QDir(dir).filePath(QStringLiteral("%1-%2.lock").arg(name).arg(getuid())));
    m_lock->setStaleLockTime(0); // a lock is stale only when its process is gone
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}
