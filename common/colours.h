#pragma once

#include <QColor>
#include <QList>
#include <QString>

// Colours are stored as Windows colour values: an integer 0x00BBGGRR.
QColor fromWindowsColour(qint64 value);
qint64 toWindowsColour(const QColor &colour);

inline constexpr qint64 kBianco = 16777215;

// Black or white, whichever reads better on `background`, by its relative luminance.
QColor readableTextOn(const QColor &background);

struct NamedColour
{
    QString name;
    qint64 value;
};

// The sixteen colours offered wherever a colour is chosen, in their order, with their Italian
// names (two different colours are both called "Verde acqua").
const QList<NamedColour> &standardColours();

// The position of `value` among the standard colours; -1 when it is not one of them.
int standardColourIndex(qint64 value);
