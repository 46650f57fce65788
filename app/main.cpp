#include "app/archivelocation.h"
#include "app/frminizio.h"
#include "app/schema/archivecreator.h"
#include "db/archive.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace {

int fail(const QString &message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Messaggio di errore"), message);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calvetra"));
    QApplication::setApplicationDisplayName(QStringLiteral("Agenda - Contatti - Email"));

    TfrmInizio main;
    db::Result<ArchiveLocation> location = locateArchive(QApplication::applicationDirPath());
    if (!location)
        return fail(location.message());
    main.setArchivePath(location->archive);
    if (location->isDefault && !QFileInfo::exists(location->archive)) {
        if (db::Status created = schema::createArchiveFile(location->archive); !created)
            return fail(created.message());
    }
    auto connection = db::openArchive(location->archive);
    if (!connection)
        return fail(connection.message());
    db::Result<db::RowSet> ditta = (*connection)->run(u"select * from ditta");
    if (!ditta)
        return fail(ditta.message());
    main.setCompanyName(ditta->value(0, u"RagSoc").toString());
    main.show();
    return QApplication::exec();
}
