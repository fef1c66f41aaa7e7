#pragma once

#include <QString>

class AppException;
class Ui;

// The error report shown to the user and the error log "MAINTEN.MDB" (an SQLite file
// with the table Erreurs) in the application folder.
namespace ErrorReport {

// "Erreur N°:" CR number CR description CR "Appuyez sur (A) pour continuer".
QString ErrorText(const AppException& error);
QString ErrorText(long number, const QString& description);

// Logs "N°: " number " " description under the context and shows it (OK, no title).
void ReportError(Ui& ui, const QString& context, const AppException& error);
void ReportError(Ui& ui, const QString& context, long number, const QString& description);
// Same, for a failure that is not an AppException (a standard exception).
void ReportError(Ui& ui, const QString& context, const std::exception& error);

// Appends one row to the log when "MAINTEN.MDB" exists; never fails, never shows.
void LogError(const QString& context, const QString& text);

// The folder of the log: empty until the first logged error sets it to AppFolder.
QString errorLogFolder();
// For tests: forget the folder so that the next error takes AppFolder again.
void resetErrorLogFolder();

// Creates an empty log file (table Erreurs) in the folder; used by installers and tests.
bool CreateErrorLog(const QString& folder);

} // namespace ErrorReport
