#include "pollard/float_text.h"

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pollard {

bool IsValidFlt(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return ((bits >> 24) & 0x7F) != 0x7F;
}

std::string FormatFlt(float value)
{
    if (!IsValidFlt(value)) return "NAN";
    const float m = std::fabs(value);
    const double v = value;
    QByteArray text;
    if (m > 100)
        text = QByteArray::number(v, 'f', 2);
    else if (m > 10)
        text = QByteArray::number(v, 'f', 3);
    else if (m > 1)
        text = QByteArray::number(v, 'f', 4);
    else if (m > 0)
        text = QByteArray::number(v, 'f', 5);
    else
        text = QByteArray::number(v, 'g', 6);
    return text.toStdString();
}

}  // namespace pollard
