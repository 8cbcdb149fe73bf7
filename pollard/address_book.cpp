#include "pollard/address_book.h"

#include "platform/data_folder.h"
#include "platform/numtext.h"
#include "platform/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace pollard {

namespace {

constexpr qint64 kMaxBookBytes = qint64(1) << 20;

bool FolderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString InFolder(const QString& folder, const QString& fileName) { return QDir(folder).filePath(fileName); }

}  // namespace

SearchToken::SearchToken(const QString& source, QChar delimiter)
{
    if (!source.contains(delimiter)) return;
    tokens_ = source.split(delimiter);
}

QString SearchToken::Token(int index) const
{
    return index >= 0 && index < tokens_.size() ? tokens_.at(index) : QString();
}

PortAddrMgr::PortAddrMgr(QString folder, QString fallbackFolder)
    : folder_(folder.isEmpty() ? platform::ProgramFolder() : std::move(folder)),
      fallback_(fallbackFolder.isEmpty() ? platform::UserDataFolder() : std::move(fallbackFolder))
{
}

QString PortAddrMgr::ReadPath(const QString& fileName) const
{
    const QString own = InFolder(folder_, fileName);
    const QString spare = InFolder(fallback_, fileName);
    if (!FolderWritable(folder_) && QFile::exists(spare)) return spare;
    // A copy in the program's folder that cannot be rewritten, while a newer per-user one exists.
    if (QFile::exists(own) && !QFileInfo(own).isWritable() && QFile::exists(spare)) return spare;
    return own;
}

QString PortAddrMgr::FormatLine(const AddrItem& item)
{
    QString description = item.description;
    if (description.contains(QLatin1Char(',')) || description.startsWith(QLatin1Char('"'))) {
        description.replace(QLatin1String("\""), QLatin1String("\"\""));
        description = QLatin1Char('"') + description + QLatin1Char('"');
    }
    return description + QLatin1Char(',') + item.address + QLatin1Char(',') + QString::number(item.port);
}

bool PortAddrMgr::ParseLine(const QString& line, AddrItem& item)
{
    QString description;
    QString rest = line;
    if (line.startsWith(QLatin1Char('"'))) {
        // A quoted description: up to the quote that is not doubled.
        int i = 1;
        for (;; ++i) {
            if (i >= line.size()) return false;
            if (line[i] != QLatin1Char('"')) {
                description += line[i];
                continue;
            }
            if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                description += QLatin1Char('"');
                ++i;
                continue;
            }
            break;
        }
        if (i + 1 >= line.size() || line[i + 1] != QLatin1Char(',')) return false;
        rest = QStringLiteral("x") + line.mid(i + 1);   // stands in for the description
    }
    const SearchToken tokens(rest, QLatin1Char(','));
    if (tokens.Count() != 3) return false;
    item.description = line.startsWith(QLatin1Char('"')) ? description : tokens.Token(0);
    item.address = tokens.Token(1);
    item.port = numtext::AtoL(tokens.Token(2).toStdString());
    return true;
}

int PortAddrMgr::Load(const QString& fileName)
{
    items_.clear();
    QFile file(ReadPath(fileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fputs("fail to open file\n", stdout);
        return -1;
    }
    // A book of a few hundred addresses is some kilobytes; a file far larger is not read.
    if (file.size() > kMaxBookBytes) {
        std::fputs("address book file too large\n", stdout);
        return -1;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty()) continue;
        AddrItem item;
        if (ParseLine(line, item)) items_.push_back(item);
    }
    if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
        items_.clear();
        return -1;
    }
    return 0;
}

bool PortAddrMgr::Save(const QString& fileName)
{
    QByteArray text;
    for (const AddrItem& item : items_) text += FormatLine(item).toUtf8() + '\n';

    const auto writeTo = [&](const QString& path) {
        savedPath_ = path;
        return platform::SaveWhole(path, text, &lastError_);
    };
    if (FolderWritable(folder_) && writeTo(InFolder(folder_, fileName))) return true;
    QDir().mkpath(fallback_);
    return writeTo(InFolder(fallback_, fileName));
}

void PortAddrMgr::Add(const QString& description, const QString& address, int32_t port)
{
    items_.push_back({description, address, port});
}

void PortAddrMgr::InsertAt(int index, const QString& description, const QString& address, int32_t port)
{
    if (index < 0 || index >= Count()) {
        Add(description, address, port);
        return;
    }
    items_.insert(items_.begin() + index, AddrItem{description, address, port});
}

void PortAddrMgr::ReplaceAt(int index, const QString& description, const QString& address, int32_t port)
{
    if (index < 0 || index >= Count()) return;
    items_[static_cast<size_t>(index)] = {description, address, port};
}

void PortAddrMgr::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

int PortAddrMgr::Find(const QString& description) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].description == description) return i;
    return -1;
}

int PortAddrMgr::FindAddress(const QString& address) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].address == address) return i;
    return -1;
}

}  // namespace pollard
