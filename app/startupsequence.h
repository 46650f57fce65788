#pragma once

#include "db/core/archiveconnection.h"

#include <QStringList>

#include <functional>
#include <optional>

class OptionsStore;
struct ArchiveLocation;

// What the start-up sequence asks the person at the keyboard and shows them. The main window
// answers with its dialogs; the tests answer from a script.
class StartupPrompts
{
public:
    virtual ~StartupPrompts() = default;
    // The archive about to be used, as soon as it is known (empty while it is not).
    virtual void showArchive(const QString &archive) = 0;
    // percorso.txt names a file that is not there: true to create a new archive there.
    virtual bool confirmNewArchive(const QString &archive) = 0;
    // An archive of the Windows version was found at `mdb`: true to convert it now.
    virtual bool offerConversion(const QString &mdb) = 0;
    // Converts `mdb` into a new archive at `destination` while showing its progress, and tells
    // the user how it ended. True when the new archive was written.
    virtual bool convert(const QString &mdb, const QString &destination) = 0;
    // The administrator password as typed; nothing when the user gives up ("Annulla").
    virtual std::optional<QString> administratorPassword() = 0;
    // The password typed does not match: true to type it again.
    virtual bool retryPassword() = 0;
    // The company's name, as soon as it is read.
    virtual void showCompanyName(const QString &name) = 0;
    // A step failed with `message`: true to run the sequence again.
    virtual bool retryAfter(const QString &message) = 0;
};

// The start-up sequence, apart from the windows that show it: where the archive is (created on
// a newcomer's first start, converted from the Windows version's archive when one is found),
// its update script, this workstation's scratch rows, the
// administrator password, the company's name, the shared data sets and the month's birthdays.
class StartupSequence
{
public:
    struct Parts
    {
        QString programFolder; // where the program and percorso.txt are
        db::ArchiveConnection &connection;
        std::function<QString()> computerName; // this workstation's, in the scratch rows
        OptionsStore &options;
        std::function<db::Status()> reopenSharedDataSets;
    };

    enum class Outcome
    {
        Done,
        Terminate, // the program must end: a password refused, a new archive refused, a fault
                   // the user does not want to retry
    };

    explicit StartupSequence(Parts parts) : m_parts(std::move(parts)) {}

    // Runs every step, again from the start after a failure for as long as the user asks to.
    Outcome run(StartupPrompts &prompts);

    // The main window's command: converts the Windows version's archive `mdb` (through
    // `prompts.convert`) into a new archive where the program keeps its own, and points
    // percorso.txt at it. True when it did; the caller then runs the sequence again to use it.
    db::Result<bool> convertArchive(StartupPrompts &prompts, const QString &mdb);

    // The main window's command: puts the backup copy `copy` back as the archive in use. This
    // program lets go of the archive first, so that only other programs can stand in the way;
    // `confirm` is asked only once nothing does. True when the copy is back: the caller then
    // runs the sequence again, as at a start. Otherwise the archive is open again as before.
    db::Result<bool> restoreCopy(const QString &copy, const std::function<bool()> &confirm);

    // After a run that is done: the birthdays of the month ("Cognome Nome :dd/mm/yyyy").
    QStringList birthdays() const { return m_birthdays; }
    struct Reminders
    {
        qsizetype due = 0;
        QList<QStringList> grid; // the reminder grid's rows (reminderGrid())
    };
    // The reminders due today or earlier.
    db::Result<Reminders> dueReminders();

private:
    enum class Step
    {
        Done,
        Failed,
        Terminate
    };
    Step openArchive(StartupPrompts &prompts, db::Status *error);
    Step offerConversion(StartupPrompts &prompts, ArchiveLocation &location, db::Status *error);
    Step convertInto(StartupPrompts &prompts, ArchiveLocation &location, const QString &mdb,
                     db::Status *error);
    Step finish(StartupPrompts &prompts, db::Status *error);

    Parts m_parts;
    QStringList m_birthdays;
};
