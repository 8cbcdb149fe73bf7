#pragma once
// Hands a text out to the caller's buffer, like snprintf (see ombrel_api.h).
#include <QByteArray>
#include <cstring>
#include <string>

namespace ombrel {

inline int CopyOut(const char* text, size_t length, char* out, int outSize)
{
    if (out && outSize > 0) {
        const size_t n = length < static_cast<size_t>(outSize - 1) ? length : static_cast<size_t>(outSize - 1);
        if (n) std::memcpy(out, text, n);
        out[n] = '\0';
    }
    return static_cast<int>(length);
}

inline int CopyOut(const std::string& text, char* out, int outSize)
{
    return CopyOut(text.data(), text.size(), out, outSize);
}

inline int CopyOut(const QByteArray& text, char* out, int outSize)
{
    return CopyOut(text.constData(), static_cast<size_t>(text.size()), out, outSize);
}

// A fixed-width character field to text (the rule of CharArr2AnsiString).
std::string FieldToText(const char* chars, int maxLength);

}  // namespace ombrel
