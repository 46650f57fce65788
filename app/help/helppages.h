#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// The help pages compiled into the program (app/help/pages, under :/help) and the help context
// each window asks for. docs/help.md lists the context numbers.
namespace help {

struct Topic
{
    int context;
    QString page;         // file name in app/help/pages
    QString section = {}; // the anchor within the page, for a part of a window
};

// Every context with a page of its own.
const QList<Topic> &topics();

const QString &indexPage();
// The page of `context`; the index when the context has none.
QString pageFor(int context);
// Where on its page `context` is described: an anchor, or empty for the top.
QString sectionFor(int context);

QUrl pageUrl(const QString &page);     // qrc:/help/<page>
QString pagePath(const QString &page); // :/help/<page>
// Every page compiled in, sorted.
QStringList allPages();

} // namespace help
