#include "app/startupsequence.h"

#include "agenda/agendastore.h"
#include "app/startup.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "migration/windowsarchive.h"
#include "notices/noticestore.h"
#include "options/adminpassword.h"
#include "options/optionsstore.h"
#include "schema/archivecreator.h"
#include "session/archivelocation.h"

#include <QFileInfo>

StartupSequence::Outcome StartupSequence::run(StartupPrompts &prompts)
{
    for (;;) {
        db::Status error;
        Step step = openArchive(prompts, &error);
        // A failure after the scratch rows are cleared is treated the same way: the program
        // must not go on without its password check or with the data sets of every workstation.
        if (step == Step::Done)
            step = finish(prompts, &error);
        if (step == Step::Done)
            return Outcome::Done;
        if (step == Step::Terminate)
            return Outcome::Terminate;
        // A fault that persists would otherwise come back at every activation.
        if (!prompts.retryAfter(error.message()))
            return Outcome::Terminate;
    }
}

StartupSequence::Step StartupSequence::openArchive(StartupPrompts &prompts, db::Status *error)
{
    prompts.showArchive(QString());
    db::Result<ArchiveLocation> location = locateArchive(m_parts.programFolder);
    if (!location) {
        *error = location.error();
        return Step::Failed;
    }
    if (Step converted = offerConversion(prompts, *location, error); converted != Step::Done)
        return converted;
    prompts.showArchive(location->archive);
    const bool onServer = db::isServerLocation(location->archive);
    if (!onServer && !QFileInfo::exists(location->archive)) {
        // A newcomer's first start gets its archive without a question; a path somebody wrote
        // into percorso.txt may be a typing error, so it is asked first.
        if (!location->isDefault && !prompts.confirmNewArchive(location->archive))
            return Step::Terminate;
        if (db::Status created = schema::createArchive(location->archive); !created) {
            *error = created;
            return Step::Failed;
        }
    }
    db::ArchiveConnection &connection = m_parts.connection;
    if (db::Status opened = connection.open(location->archive); !opened) {
        *error = opened;
        return Step::Failed;
    }
    bool updated = false;
    // The update script lies beside the archive file, or beside the program for a server.
    const QString scriptFolder =
        onServer ? m_parts.programFolder : QFileInfo(location->archive).absolutePath();
    if (db::Status script = runUpdateScript(connection, scriptFolder, &updated); !script) {
        *error = script;
        return Step::Failed;
    }
    if (updated) {
        if (db::Status reopened = connection.open(location->archive); !reopened) {
            *error = reopened;
            return Step::Failed;
        }
    }
    // An archive of an earlier version gets the indexes added since, once. One that cannot take
    // them (a file the user may only read) works as it did without them.
    (void)schema::addMissingIndexes(connection);
    if (db::Status cleared = NoticeStore::clearScratchRows(connection, m_parts.computerName());
        !cleared) {
        *error = cleared;
        return Step::Failed;
    }
    return Step::Done;
}

StartupSequence::Step StartupSequence::offerConversion(StartupPrompts &prompts,
                                                       ArchiveLocation &location, db::Status *error)
{
    if (db::isServerLocation(location.archive))
        return Step::Done;
    const bool named = migration::namesWindowsArchive(location.archive);
    const std::optional<QString> mdb = migration::findWindowsArchive(
        location.archive, m_parts.programFolder, QFileInfo(location.pathFile).absolutePath(),
        !named && QFileInfo::exists(location.archive));
    if (!mdb) {
        if (!named)
            return Step::Done;
        *error = db::Error{
            QStringLiteral("percorso.txt indica l'archivio della versione per Windows %1, che non "
                           "si trova: copiarlo accanto al programma o nella cartella di %2.")
                .arg(location.archive, location.pathFile)};
        return Step::Failed;
    }
    if (!prompts.offerConversion(*mdb)) {
        // Without its conversion the program cannot use the file percorso.txt names; archivio.mdb
        // merely found beside the program leaves the way to a new archive of its own.
        if (!named)
            return Step::Done;
        *error = db::Error{QStringLiteral("L'archivio %1 è della versione per Windows: va "
                                          "convertito prima di essere usato.")
                               .arg(*mdb)};
        return Step::Failed;
    }
    // A conversion stopped or failed has been reported and left nothing behind: the next start
    // offers it again.
    return convertInto(prompts, location, *mdb, error);
}

StartupSequence::Step StartupSequence::convertInto(StartupPrompts &prompts,
                                                   ArchiveLocation &location, const QString &mdb,
                                                   db::Status *error)
{
    // The new archive goes where the program keeps its own, never over a file already there.
    const QString destination = migration::freeArchivePath(location.defaultArchive);
    if (!prompts.convert(mdb, destination))
        return Step::Terminate;
    if (db::Status written = writeArchivePath(location, destination); !written) {
        *error = written;
        return Step::Failed;
    }
    location.archive = destination;
    location.isDefault = false;
    return Step::Done;
}

db::Result<bool> StartupSequence::convertArchive(StartupPrompts &prompts, const QString &mdb)
{
    db::Result<ArchiveLocation> location = locateArchive(m_parts.programFolder);
    if (!location)
        return location.error();
    db::Status error;
    switch (convertInto(prompts, *location, mdb, &error)) {
    case Step::Done:
        return true;
    case Step::Terminate:
        return false;
    case Step::Failed:
        break;
    }
    return error.error();
}

db::Result<bool> StartupSequence::restoreCopy(const QString &copy,
                                              const std::function<bool()> &confirm)
{
    db::ArchiveConnection &connection = m_parts.connection;
    const QString archive = connection.location();
    if (archive.isEmpty())
        return db::Error{QStringLiteral("L'archivio non è aperto.")};
    connection.close();
    // Back to the archive as it was, saying so when even that fails.
    const auto reopened = [&](const db::Status &why) -> db::Result<bool> {
        db::Status open = connection.open(archive);
        if (open)
            open = m_parts.reopenSharedDataSets();
        if (!open)
            return db::Error{why.ok() ? open.message()
                                      : why.message() + QStringLiteral("\n") + open.message()};
        if (!why)
            return why.error();
        return false;
    };
    if (db::Status refused = db::restoreRefusal(copy, archive); !refused)
        return reopened(refused);
    if (!confirm())
        return reopened({});
    if (db::Status restored = db::restoreArchive(copy, archive); !restored)
        return reopened(restored);
    return true;
}

StartupSequence::Step StartupSequence::finish(StartupPrompts &prompts, db::Status *error)
{
    OptionsStore &options = m_parts.options;
    options.TableOpzioni.close();
    if (db::Status opened = options.TableOpzioni.open(); !opened) {
        *error = opened;
        return Step::Failed;
    }
    // Asked until it matches, for as long as the user wants to try; "Annulla" ends the program.
    const QString password = options.TableOpzioni.asString(u"PasswordAmministratore");
    while (!password.isEmpty()) {
        const std::optional<QString> typed = prompts.administratorPassword();
        if (!typed)
            return Step::Terminate;
        if (passwordMatches(password, *typed))
            break;
        if (!prompts.retryPassword())
            return Step::Terminate;
    }
    options.TableDitta.close();
    if (db::Status opened = options.TableDitta.open(); !opened) {
        *error = opened;
        return Step::Failed;
    }
    prompts.showCompanyName(options.TableDitta.asString(u"RagSoc"));

    if (db::Status reopened = m_parts.reopenSharedDataSets(); !reopened) {
        *error = reopened;
        return Step::Failed;
    }
    db::Result<db::RowSet> born =
        m_parts.connection.run(ContactStore::birthdaysSql(db::clock::today()));
    if (!born) {
        *error = born.error();
        return Step::Failed;
    }
    m_birthdays = birthdayLines(*born, db::clock::today());
    return Step::Done;
}

db::Result<StartupSequence::Reminders> StartupSequence::dueReminders()
{
    db::Result<db::RowSet> due =
        m_parts.connection.run(AgendaStore::remindersSql(db::clock::today()));
    if (!due)
        return due.error();
    return Reminders{due->rows.size(), reminderGrid(*due)};
}
