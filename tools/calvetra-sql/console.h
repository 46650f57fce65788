#pragma once

#include <QTextStream>

// The tool's standard output and error as text streams, shared by its commands.
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
