#pragma once

#include <QString>

class Ui;

// File, folder and configuration routines shared by every window.
namespace FnZidurad {

// The part of a path after its last "/", "\" or ":"; the whole path when it holds none.
QString FileNameOfPath(const QString& path);
// The folder with a separator appended unless it already ends with "/" or "\".
QString WithBackslash(const QString& folder);
// Yes when a regular file of that name is in the folder, the name matched ignoring
// case as on the original platform.
bool FileExists(const QString& folder, const QString& name);
// The name of that file as it is spelled on disk (an exact match preferred), or the
// empty text when there is none.
QString RealFileName(const QString& folder, const QString& name);
// The full path of that file as it is on disk, or the empty text.
QString RealFilePath(const QString& folder, const QString& name);
// Yes when "test.tst" can be created and removed in the folder.
bool FolderIsWritable(const QString& folder);

// Value of a text key: at most 254 characters (the 255-character buffer less its
// terminator), trimmed. A failure of the reader shows ErrorText titled "LireIniString"
// (when a Ui is given) and answers the empty text.
QString LireIniString(const QString& file, const QString& section, const QString& key,
                      const QString& defaultValue, Ui* ui = nullptr);
// Value of an integer key, cut to 16 bits. A failure answers 0.
qint16 LireIniInteger(const QString& file, const QString& section, const QString& key,
                      qint16 defaultValue, Ui* ui = nullptr);

// The application folder: AUTOMAT_HOME when set, else the program's folder; its case
// is kept, no trailing separator.
QString ApplicationFolder();
// The application folder, trimmed, with a trailing "/".
QString AppFolder();

} // namespace FnZidurad
