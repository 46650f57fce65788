// calvetra-sql: runs one statement of the program's SQL dialect on an archive, or creates a
// new archive. For support, scripting and checking an archive from outside the program.

#include "app/schema/archivecreator.h"
#include "common/dates.h"
#include "db/archive.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-sql ARCHIVIO \"ISTRUZIONE\"   esegue un'istruzione sull'archivio\n"
    "  calvetra-sql --init ARCHIVIO          crea un nuovo archivio con i dati di riferimento\n";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Tabs, line breaks and backslashes inside a value would break the one-line-per-row form.
QString escaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\r', QStringLiteral("\\r"));
    return text;
}

QString formatted(const QVariant &value, db::FieldKind kind)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return ScriviDataItaliana(value.toDateTime());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (kind == db::FieldKind::Currency) {
            const bool cents = std::round(v * 100.0) == v * 100.0;
            return QString::number(v, 'f', cents ? 2 : 4);
        }
        return QString::number(v, 'g', 15);
    }
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 byte>").arg(value.toByteArray().size());
    default:
        return escaped(value.toString());
    }
}

int initArchive(const QString &path)
{
    if (db::Status created = schema::createArchiveFile(path); !created) {
        err() << created.message() << Qt::endl;
        return 1;
    }
    out() << "Archivio creato: " << path << Qt::endl;
    return 0;
}

int runStatement(const QString &path, const QString &statement)
{
    auto connection = db::openArchive(path);
    if (!connection) {
        err() << connection.message() << Qt::endl;
        return 1;
    }
    db::Result<db::RowSet> result = (*connection)->run(statement);
    if (!result) {
        err() << result.message() << Qt::endl;
        return 1;
    }
    if (result->columns.isEmpty()) {
        out() << result->rowsAffected << Qt::endl;
        return 0;
    }
    QStringList header;
    for (const db::Column &column : std::as_const(result->columns))
        header.append(column.name);
    out() << header.join(u'\t') << '\n';
    for (const QVariantList &row : std::as_const(result->rows)) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c)
            cells.append(formatted(row[c], result->columns[c].kind));
        out() << cells.join(u'\t') << '\n';
    }
    out().flush();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == u"--init")
        return initArchive(args[1]);
    if (args.size() == 2 && !args[0].startsWith(u"--"))
        return runStatement(args[0], args[1]);
    err() << kUsage;
    return 2;
}
