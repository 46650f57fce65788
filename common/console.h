#pragma once

#include <QString>
#include <QTextStream>

#include <cstdio>

// A command-line tool's standard output and error as text streams, shared by its commands.
inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Asks `question` with " [s/N] " and reads the answer from the standard input: yes only for
// "s", "si" or "sì"; no answer is no.
inline bool askYes(const QString &question)
{
    out() << question << " [s/N] ";
    out().flush();
    char line[64] = {};
    if (!std::fgets(line, sizeof line, stdin))
        return false;
    const QString answer = QString::fromLocal8Bit(line).trimmed().toLower();
    return answer == u"s" || answer == u"si" || answer == u"sì";
}
