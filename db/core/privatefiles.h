#pragma once

#include "db/core/result.h"

#include <QFileDevice>
#include <QString>

class QSaveFile;

namespace db {

// Files that hold personal data (the archive and its side files, backup copies, every export)
// are readable and writable by their owner only, whatever the umask: mode 600. In a folder
// shared by a group (one with the set-group-id bit, so that new files belong to the folder's
// group) the group may read and write them too: mode 660, so that the users of an office who
// share the archive there share its files. Nobody else ever.

// The permissions of such a file made in `folder`.
QFileDevice::Permissions privatePermissions(const QString &folder);
// The same as a mode for open(2) and chmod(2).
unsigned privateFileMode(const QString &folder);

// Gives `path` the permissions of a private file of its folder.
Status makePrivate(const QString &path);
// Creates `path` empty, already private: what is written into it afterwards is never readable
// by others, not even for a moment. Refused when the file exists.
Status createPrivateFile(const QString &path);
// Opens `file` for writing with the permissions of a private file of its folder, given to the
// temporary file before anything is written; its commit() puts it in place with them.
bool openPrivate(QSaveFile &file);

// Writes `bytes` to `path` whole, through openPrivate(), or nothing: a file already there stays
// as it was. The message names the file.
Status writePrivateFile(const QString &path, const QByteArray &bytes);

// Whether users other than the owner and the file's group may read `path`.
bool readableByOthers(const QString &path);

} // namespace db
