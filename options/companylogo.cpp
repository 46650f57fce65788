#include "options/companylogo.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace {

// The image format of a file name's whole extension; empty for one that is not a logo's.
QByteArray formatOf(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"png")
        return QByteArrayLiteral("png");
    if (extension == u"jpg" || extension == u"jpeg")
        return QByteArrayLiteral("jpeg");
    if (extension == u"bmp")
        return QByteArrayLiteral("bmp");
    return {};
}

QString unknownExtension(const QString &path)
{
    return QStringLiteral("Il file %1 non ha un'estensione da immagine: usare .png, .jpg, .jpeg "
                          "o .bmp.")
        .arg(QFileInfo(path).fileName());
}

} // namespace

QString logoFileFilter()
{
    return QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp);;Immagini PNG (*.png);;"
                          "Immagini JPEG (*.jpg *.jpeg);;Bitmap (*.bmp);;Tutti i file (*)");
}

db::Result<QByteArray> readLogoFile(const QString &path)
{
    if (formatOf(path).isEmpty())
        return db::Error{unknownExtension(path)};
    if (!QFileInfo(path).isFile())
        return db::Error{QStringLiteral("Il file %1 non esiste.").arg(path)};
    // The content decides: a PNG saved under .jpg is still read.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return db::Error{QStringLiteral("Il file %1 non contiene un'immagine leggibile: il logo "
                                        "resta quello di prima.")
                             .arg(QFileInfo(path).fileName())};
    return logoBitmap(image);
}

QByteArray logoBitmap(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    flat.save(&buffer, "BMP");
    return bytes;
}

db::Status writeLogoFile(const QByteArray &logo, const QString &path)
{
    const QByteArray format = formatOf(path);
    if (format.isEmpty())
        return db::Error{unknownExtension(path)};
    const QImage image = QImage::fromData(logo);
    if (image.isNull())
        return db::Error{QStringLiteral("Il logo in archivio non è un'immagine leggibile.")};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString())};
    QImageWriter writer(&file, format);
    if (format == "jpeg")
        writer.setQuality(92);
    if (!writer.write(image)) {
        file.cancelWriting();
        return db::Error{QStringLiteral("Impossibile scrivere l'immagine %1.").arg(path)};
    }
    if (!file.commit())
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString())};
    return {};
}
