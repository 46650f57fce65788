#pragma once

#include <QString>

namespace about {

// Who makes the program and how to reach them: the lines of the about box and the address of
// the support mail. The one place that holds them.
struct MakerInfo
{
    QString programLine;
    QString phoneLine;
    QString authorLine;
    QString webAddress;
    QString supportAddress;
};

inline const MakerInfo &makerInfo()
{
    static const MakerInfo info{
        QStringLiteral("Programma Calvetra"),
        QStringLiteral("Telefono: 000 0000000"),
        QStringLiteral("Realizzazione: il gruppo di sviluppo di Calvetra"),
        QStringLiteral("https://www.calvetra.example"),
        QStringLiteral("assistenza@calvetra.example"),
    };
    return info;
}

} // namespace about
