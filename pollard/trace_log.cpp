#include "pollard/trace_log.h"

#include "platform/data_folder.h"
#include "platform/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace pollard {

bool TraceLog::SetState(State state)
{
    switch (state) {
    case Dump:
    case Append:
        if (!WriteOut(state == Append)) return false;
        lines_.clear();
        bytes_ = 0;
        state_ = Off;
        return true;
    case Clear:
        lines_.clear();
        bytes_ = 0;
        return true;
    default:
        state_ = state;
        return true;
    }
}

void TraceLog::Add(const QString& line)
{
    if (state_ != On) return;
    lines_.append(line);
    bytes_ += line.size() + 1;
    while (bytes_ > maxBytes_ && !lines_.isEmpty()) bytes_ -= lines_.takeFirst().size() + 1;
}

void TraceLog::AddData(const char* direction, const QByteArray& bytes)
{
    if (state_ != On) return;
    QString text = QLatin1String(direction) + QLatin1String(": ");
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (!allHex_ && b >= 0x20 && b < 0x7F)
            text += QLatin1Char(ch);
        else
            text += QStringLiteral("[%1]").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    Add(text);
}

QString TraceLog::ResolvedFileName() const
{
    QString name = fileName_.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFileInfo(name).isAbsolute()) return QDir::cleanPath(name);
    return QDir::cleanPath(QDir(platform::UserDataFolder()).filePath(name));
}

bool TraceLog::WriteOut(bool append)
{
    QByteArray text;
    for (const QString& line : lines_) text += line.toUtf8() + "\r\n";
    const QString path = ResolvedFileName();
    if (append) {
        QFile file(path);
        // Unbuffered, so that lines that only partly fit can be taken back.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            lastError_ = file.errorString();
            return false;
        }
        // The lines go on whole or not at all.
        const qint64 before = file.size();
        errno = 0;
        if (file.write(text) == text.size()) return true;
        lastError_ = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.resize(before);
        return false;
    }
    return platform::SaveWhole(path, text, &lastError_);
}

}  // namespace pollard
