#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One running copy per user: a lock named after the splash window's marker
// "Loading ZUR", held for the whole run (the original looked for that window title).
class SingleInstance {
public:
    explicit SingleInstance(const QString& marker = QStringLiteral("Loading ZUR"),
                            const QString& folder = QString());
    ~SingleInstance();

    // True when this copy holds the lock; false when another copy runs.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
