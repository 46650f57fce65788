#include "app/help/helppages.h"

#include <QDir>

namespace help {

const QList<Topic> &topics()
{
    // A window with a page of its own adds its line here and the page to pages/index.html.
    static const QList<Topic> list = {
        {1000, QStringLiteral("inizio.html")},      // TfrmInizio, the main window
        {1010, QStringLiteral("password.html")},    // TfrmPass
        {1020, QStringLiteral("promemoria.html")},  // TfrmPromemoriaScadenze
        {1030, QStringLiteral("convenzioni.html")}, // TfrmAiuto and the shared conventions
        {1040, QStringLiteral("archivio.html")},    // the archive and the workstations
    };
    return list;
}

const QString &indexPage()
{
    static const QString page = QStringLiteral("index.html");
    return page;
}

QString pageFor(int context)
{
    for (const Topic &topic : topics()) {
        if (topic.context == context)
            return topic.page;
    }
    return indexPage();
}

QUrl pageUrl(const QString &page)
{
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

QString pagePath(const QString &page)
{
    return QStringLiteral(":/help/") + page;
}

QStringList allPages()
{
    return QDir(QStringLiteral(":/help"))
        .entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

} // namespace help
