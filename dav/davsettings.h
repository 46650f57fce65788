#pragma once

#include <QByteArray>
#include <QString>

namespace dav {

// Where the office's address book and calendar are kept, and how to reach them.
struct DavSettings
{
    QString server; // the server's address, or a collection's own
    QString user;
    QString password;        // never written to a log or a message
    QString caFile;          // an authority trusted for this run, beside the system's
    QByteArray officeCa;     // the office's own authorities (PEM), from the archive
    int timeoutSeconds = 30; // connecting, and waiting for each answer
};

} // namespace dav
