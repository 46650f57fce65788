#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// The values of a Jet 4 archive as stored, turned into the program's own: the conversions the
// file library leaves to its text helpers, which get some of them wrong.
namespace jet {

// A Jet date: days since 30/12/1899 as a double, the fraction the time of day. Before that
// day the whole part counts backwards and the fraction still counts forward from midnight
// (-1.25 is 29/12/1899 06:00). Kept to the second, without a zone; invalid for a value no
// calendar holds (not finite, or beyond the years 100-9999).
QDateTime dateTimeFromJet(double days);

// A Jet 4 text as stored: UTF-16 little-endian, or, when it starts with FF FE, the "compressed"
// form in which a zero byte switches between one byte per character (the low byte, the high
// one zero) and two. An odd byte at the end of a two-byte run is dropped. Never a null string,
// not even for an empty text.
QString textFromJet(QByteArrayView stored);

// A CURRENCY value: a 64-bit integer of ten-thousandths.
double moneyFromJet(qint64 tenThousandths);

} // namespace jet
