#include "session/computername.h"

#include <QSysInfo>

QString readComputerName()
{
    const QString name = QSysInfo::machineHostName().left(15);
    return name.isEmpty() ? QStringLiteral("SenzaNome") : name;
}
