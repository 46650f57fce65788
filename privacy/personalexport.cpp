#include "privacy/personalexport.h"

#include "db/core/privatefiles.h"
#include "session/reporthandoff.h"
#include "session/rowsfile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace privacy {

namespace {

db::Status runRunner(const QString &rowsFile, const QString &pdf, const ExportPlace &place,
                     const std::atomic_bool *stop)
{
    const QString runner = runnerPath(place.runnerFolder);
    if (!QFileInfo(runner).isExecutable())
        return db::Error{QStringLiteral("Manca il programma di stampa: %1").arg(runner)};
    QProcess process;
    process.setProgram(runner);
    process.setArguments({QStringLiteral("--archive"), place.archive, QStringLiteral("--dati"),
                          rowsFile, QStringLiteral("--layout"), QStringLiteral("DatiPersonali.rpt"),
                          QStringLiteral("--pdf"), pdf});
    process.start();
    if (!process.waitForStarted(10000))
        return db::Error{QStringLiteral("Impossibile avviare il programma di stampa: %1")
                             .arg(process.errorString())};
    const QDeadlineTimer deadline(qint64(place.timeoutSeconds) * 1000);
    while (!process.waitForFinished(200)) {
        if ((stop && stop->load()) || deadline.hasExpired()) {
            process.kill();
            process.waitForFinished(5000);
            QFile::remove(pdf);
            return db::Error{stop && stop->load()
                                 ? QStringLiteral("Esportazione annullata: nessun file scritto.")
                                 : QStringLiteral("Il programma di stampa non ha finito entro "
                                                  "%1 secondi: nessun file scritto.")
                                       .arg(place.timeoutSeconds)};
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QFile::remove(pdf);
        const QString why = QString::fromUtf8(process.readAllStandardError()).trimmed();
        return db::Error{
            QStringLiteral("La stampa dei dati personali non è riuscita%1")
                .arg(why.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + why)};
    }
    return {};
}

} // namespace

db::Result<ExportKind> exportKindOf(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"json")
        return ExportKind::Json;
    if (extension == u"pdf")
        return ExportKind::Pdf;
    return db::Error{QStringLiteral("Il file %1 deve finire con .json (per un programma) o .pdf "
                                    "(per una persona).")
                         .arg(QFileInfo(path).fileName())};
}

db::Status writePersonalData(const PersonalData &data, const QString &path,
                             const ExportPlace &place, const QDateTime &now,
                             const std::atomic_bool *stop)
{
    db::Result<ExportKind> kind = exportKindOf(path);
    if (!kind)
        return kind.error();
    if (*kind == ExportKind::Json)
        return db::writePrivateFile(path, personalDataJson(data, now));
    // A folder of its own (700), removed with what is in it.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return db::Error{
            QStringLiteral("Impossibile preparare la stampa: %1").arg(scratch.errorString())};
    const QString rows = scratch.filePath(QStringLiteral("dati.json"));
    if (db::Status written = db::writePrivateFile(rows, rowsFileText(personalDataRows(data)));
        !written)
        return written;
    // The runner writes the PDF private too: a copy of a person's data is theirs and the
    // office's only.
    return runRunner(rows, QFileInfo(path).absoluteFilePath(), place, stop);
}

} // namespace privacy
