#pragma once
// Whole files as bytes, for the tests that write files and compare them.
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

namespace filetest {

// The file's bytes; empty when it cannot be opened.
inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file with exactly these bytes (a failed open fails the test).
inline void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Pages of a PDF file (its page objects); 0 when the file is no PDF.
inline int PdfPages(const QString& path)
{
    const QByteArray pdf = ReadAll(path);
    if (!pdf.startsWith("%PDF")) return 0;
    return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

}  // namespace filetest
