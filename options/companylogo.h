#pragma once

#include "db/core/result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The company logo is stored as a Windows bitmap, whatever picture it came from.

// The picture files a logo is read from and written to, for the file dialogs.
QString logoFileFilter();

// Reads a .bmp, .png, .jpg or .jpeg file (the extension in any case) and returns the logo's
// bitmap. Transparent parts are laid on white, as the logo is printed on white paper. Any other
// extension, or a file that is no readable picture, is an Italian message naming the file.
db::Result<QByteArray> readLogoFile(const QString &path);

// The bitmap of `image`, laid on white where it is transparent.
QByteArray logoBitmap(const QImage &image);

// Writes `logo` (the stored bytes) to `path` in the format its extension names: PNG, JPEG
// (.jpg or .jpeg) or BMP, in any case. The file is replaced whole or left as it was.
db::Status writeLogoFile(const QByteArray &logo, const QString &path);
