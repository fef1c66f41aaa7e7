#pragma once

#include <QStringList>

// The sub-commands of automat-cmd; each returns the process exit status.
namespace Commands {

int config(const QStringList& args);
int initJournal(const QStringList& args);
int ean13(const QStringList& args);
int lireBadge(const QStringList& args);
int initDb(const QStringList& args);
int sql(const QStringList& args);
int unzip(const QStringList& args);
int zip(const QStringList& args);
int rapport(const QStringList& args);

} // namespace Commands
