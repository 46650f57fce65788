#include "common/toolinfo.h"

#include <cstdio>
#include <cstring>

#ifndef CALVETRA_VERSION
#define CALVETRA_VERSION "0"
#endif

QString programVersion()
{
    return QStringLiteral(CALVETRA_VERSION);
}

std::optional<int> answerHelpOrVersion(int argc, char *argv[], const QString &name,
                                       const QString &usage)
{
    if (argc < 2)
        return std::nullopt;
    QString text;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        text = usage;
    else if (std::strcmp(argv[1], "--version") == 0)
        text = name + u' ' + programVersion() + u'\n';
    else
        return std::nullopt;
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
    return 0;
}
