#include "common/colours.h"

#include <cmath>

QColor fromWindowsColour(qint64 value)
{
    const quint32 v = quint32(value) & 0xFFFFFF;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint64 toWindowsColour(const QColor &colour)
{
    return qint64(colour.red()) | (qint64(colour.green()) << 8) | (qint64(colour.blue()) << 16);
}

const QList<NamedColour> &standardColours()
{
    static const QList<NamedColour> colours = {
        {QStringLiteral("Nero"), 0},
        {QStringLiteral("Marrone"), 128},
        {QStringLiteral("Verde"), 32768},
        {QStringLiteral("Oliva"), 32896},
        {QStringLiteral("Blu marino"), 8388608},
        {QStringLiteral("Viola"), 8388736},
        {QStringLiteral("Verde acqua"), 8421376},
        {QStringLiteral("Grigio"), 8421504},
        {QStringLiteral("Argento"), 12632256},
        {QStringLiteral("Rosso"), 255},
        {QStringLiteral("Verde lime"), 65280},
        {QStringLiteral("Giallo"), 65535},
        {QStringLiteral("Blu"), 16711680},
        {QStringLiteral("Fucsia"), 16711935},
        {QStringLiteral("Verde acqua"), 16776960},
        {QStringLiteral("Bianco"), kBianco},
    };
    return colours;
}

int standardColourIndex(qint64 value)
{
    const QList<NamedColour> &colours = standardColours();
    for (qsizetype i = 0; i < colours.size(); ++i) {
        if (colours[i].value == value)
            return int(i);
    }
    return -1;
}

QColor readableTextOn(const QColor &background)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(background.redF()) +
                             0.7152 * linear(background.greenF()) +
                             0.0722 * linear(background.blueF());
    // The two contrast ratios are equal at 0.18; white is kept a little beyond, up to pure red,
    // where black reads as poorly as the numbers say it should not.
    return luminance < 0.25 ? QColor(Qt::white) : QColor(Qt::black);
}
