#pragma once
// The address book of TCP endpoints ("addrInfo.cfg"): one analyzer per line, as
// description, comma, address, comma, port in decimal. The book lives beside the program;
// where that folder cannot be written, in the per-user data folder.
//
// A description that itself holds a comma or a double quote is written in double quotes
// (a quote inside doubled), so it reads back whole; every other line is written exactly as
// description,address,port.
#include <QString>
#include <QStringList>
#include <vector>

namespace pollard {

// Splits a text at a one-character delimiter. A text without the delimiter gives no tokens
// at all (it is not a line of fields).
class SearchToken {
public:
    SearchToken(const QString& source, QChar delimiter);
    virtual ~SearchToken() = default;

    int Count() const { return static_cast<int>(tokens_.size()); }
    // The token at the index; the empty text for an index outside the tokens.
    QString Token(int index) const;

private:
    QStringList tokens_;
};

struct AddrItem {
    QString description;
    QString address;
    int32_t port = 0;
    bool operator==(const AddrItem& o) const
    {
        return description == o.description && address == o.address && port == o.port;
    }
};

class PortAddrMgr {
public:
    // The book is kept in `folder` (the program's folder by default); `fallbackFolder` (the
    // per-user data folder by default) takes it where `folder` cannot be written.
    explicit PortAddrMgr(QString folder = QString(), QString fallbackFolder = QString());
    virtual ~PortAddrMgr() = default;

    // Empties the list and reads the file. 0, or -1 when it cannot be opened or read (the
    // list then stays empty). Lines that are not three fields are skipped.
    int Load(const QString& fileName);
    // Rewrites the file whole with every entry (or leaves the old one as it was). False when
    // neither folder could take it; SavedPath() then names the file that was tried and
    // LastError() says why.
    bool Save(const QString& fileName);
    QString SavedPath() const { return savedPath_; }
    QString LastError() const { return lastError_; }

    void Add(const QString& description, const QString& address, int32_t port);
    // Before the index (0 to Count()); into an empty list, or past the end, it appends.
    void InsertAt(int index, const QString& description, const QString& address, int32_t port);
    void ReplaceAt(int index, const QString& description, const QString& address, int32_t port);
    void Delete(int index);
    AddrItem GetAt(int index) const { return items_.at(static_cast<size_t>(index)); }
    // First entry whose description equals the text exactly (case matters); -1 for none.
    int Find(const QString& description) const;
    bool Contains(const QString& description) const { return Find(description) >= 0; }
    // First entry whose address equals the text exactly; -1 for none.
    int FindAddress(const QString& address) const;
    int Count() const { return static_cast<int>(items_.size()); }

    // One entry as its line in the file (without the line feed), and back.
    static QString FormatLine(const AddrItem& item);
    static bool ParseLine(const QString& line, AddrItem& item);

    QString Folder() const { return folder_; }
    QString FallbackFolder() const { return fallback_; }
    // The file Load reads: the per-user copy when the program's folder cannot be written
    // and such a copy exists, else the one in the program's folder.
    QString ReadPath(const QString& fileName) const;

private:
    std::vector<AddrItem> items_;
    QString folder_;
    QString fallback_;
    QString savedPath_;
    QString lastError_;
};

}  // namespace pollard
