#include "tevrin/pages/widgets/workbook_check.h"

#include <QFile>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

namespace workbook_check {

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr int kEndOfDirectoryBytes = 22;
constexpr int kDirectoryEntryBytes = 46;
constexpr int kLocalHeaderBytes = 30;
constexpr qint64 kLongestComment = 0xFFFF;
constexpr qint64 kChunk = 256 * 1024;
constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = 8;

uint32_t U16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8);
}

uint32_t U32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// Counts "<row " in the unpacked text as it streams by; a text never holds a bare '<', so
// every one is a row element. Keeps the last bytes to see how the part ends.
class RowCounter {
public:
    void Take(const char* data, size_t size)
    {
        static const char kRow[] = "<row ";
        constexpr size_t kRowSize = sizeof kRow - 1;
        // A match may start in the bytes kept from before.
        std::string joined = carry_;
        joined.append(data, std::min(size, kRowSize - 1));
        for (size_t i = 0; i + kRowSize <= joined.size() && i < carry_.size(); ++i)
            if (std::memcmp(joined.data() + i, kRow, kRowSize) == 0) ++rows_;
        if (size >= kRowSize) {
            const char* last = data + size - kRowSize;   // the last place a match can start
            for (const char* p = data; p <= last; ++p) {
                p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(last - p) + 1));
                if (!p) break;
                if (std::memcmp(p, kRow, kRowSize) == 0) ++rows_;
            }
        }
        tail_.append(data, size);
        if (tail_.size() > 64) tail_.erase(0, tail_.size() - 64);
        carry_ = tail_.size() >= kRowSize - 1 ? tail_.substr(tail_.size() - (kRowSize - 1)) : tail_;
    }
    long long Rows() const { return rows_; }
    bool EndsAsASheet() const
    {
        std::string end = tail_;
        while (!end.empty() && (end.back() == '\n' || end.back() == '\r' || end.back() == ' ')) end.pop_back();
        static const std::string kEnd = "</worksheet>";
        return end.size() >= kEnd.size() && end.compare(end.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
    }

private:
    std::string carry_;
    std::string tail_;
    long long rows_ = 0;
};

// Counts the row elements of the part; true when the part was found, unpacked to the size and
// checksum the package gives for it, and ends as a sheet ends.
bool CountSheetRows(const QString& path, const char* partName, long long& rows, QString& why)
{
    rows = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    auto broken = [&why](const char* what) {
        why = QStringLiteral("the workbook is not whole (%1)").arg(QLatin1String(what));
        return false;
    };

    // The directory of the package is found from its end record, at the end of the file
    // before a comment of at most 64 KiB.
    const qint64 size = file.size();
    const qint64 tailSize = std::min(size, kLongestComment + kEndOfDirectoryBytes);
    if (!file.seek(size - tailSize)) return broken("no end record");
    const QByteArray tail = file.read(tailSize);
    qsizetype end = -1;
    for (qsizetype i = tail.size() - kEndOfDirectoryBytes; i >= 0; --i) {
        if (U32(tail.constData() + i) == kEndOfDirectory) {
            end = i;
            break;
        }
    }
    if (end < 0) return broken("no end record");
    const uint32_t entries = U16(tail.constData() + end + 10);
    const uint32_t directorySize = U32(tail.constData() + end + 12);
    const uint32_t directoryAt = U32(tail.constData() + end + 16);
    if (qint64(directoryAt) + directorySize > size) return broken("directory outside the file");
    if (!file.seek(directoryAt)) return broken("directory outside the file");
    const QByteArray directory = file.read(directorySize);
    if (directory.size() != qsizetype(directorySize)) return broken("directory cut");

    const size_t nameSize = std::strlen(partName);
    qsizetype at = 0;
    for (uint32_t k = 0; k < entries; ++k) {
        if (at + kDirectoryEntryBytes > directory.size() || U32(directory.constData() + at) != kDirectoryEntry)
            return broken("directory entry damaged");
        const char* e = directory.constData() + at;
        const uint32_t nameLength = U16(e + 28);
        const qsizetype next = at + kDirectoryEntryBytes + nameLength + U16(e + 30) + U16(e + 32);
        if (next > directory.size()) return broken("directory entry damaged");
        if (nameLength != nameSize || std::memcmp(e + kDirectoryEntryBytes, partName, nameSize) != 0) {
            at = next;
            continue;
        }
        const uint32_t method = U16(e + 10);
        const uint32_t crc = U32(e + 16);
        const uint32_t packed = U32(e + 20);
        const uint32_t unpacked = U32(e + 24);
        const uint32_t localAt = U32(e + 42);
        if (method != kStored && method != kDeflated) return broken("unknown packing");
        char local[kLocalHeaderBytes];
        if (!file.seek(localAt) || file.read(local, kLocalHeaderBytes) != kLocalHeaderBytes || U32(local) != kLocalHeader)
            return broken("part header damaged");
        const qint64 dataAt = qint64(localAt) + kLocalHeaderBytes + U16(local + 26) + U16(local + 28);
        if (dataAt + packed > size || !file.seek(dataAt)) return broken("part outside the file");

        z_stream z{};
        if (method == kDeflated && inflateInit2(&z, -MAX_WBITS) != Z_OK) return broken("cannot unpack");
        RowCounter counter;
        std::vector<char> in(kChunk), out(kChunk);
        uLong sum = crc32(0, nullptr, 0);
        uint64_t produced = 0;
        qint64 left = packed;
        int status = Z_OK;
        while (left > 0 && status != Z_STREAM_END) {
            const qint64 got = file.read(in.data(), std::min(left, kChunk));
            if (got <= 0) break;
            left -= got;
            if (method == kStored) {
                counter.Take(in.data(), size_t(got));
                sum = crc32(sum, reinterpret_cast<const Bytef*>(in.data()), uInt(got));
                produced += uint64_t(got);
                continue;
            }
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = uInt(got);
            do {
                z.next_out = reinterpret_cast<Bytef*>(out.data());
                z.avail_out = uInt(out.size());
                status = inflate(&z, Z_NO_FLUSH);
                if (status != Z_OK && status != Z_STREAM_END) break;
                const size_t made = out.size() - z.avail_out;
                counter.Take(out.data(), made);
                sum = crc32(sum, reinterpret_cast<const Bytef*>(out.data()), uInt(made));
                produced += made;
            } while (z.avail_out == 0 && status == Z_OK);
            if (status != Z_OK && status != Z_STREAM_END) break;
        }
        if (method == kDeflated) inflateEnd(&z);
        if (method == kDeflated && status != Z_STREAM_END) return broken("the sheet does not unpack");
        if (left > 0 && method == kStored) return broken("its sheet was cut short");
        if (produced != unpacked || sum != crc) return broken("the sheet does not match its checksum");
        if (!counter.EndsAsASheet()) return broken("its sheet was cut short while it was written");
        rows = counter.Rows();
        return true;
    }
    return broken("no sheet");
}

}  // namespace

bool SheetHoldsRows(const QString& path, const char* partName, long long rows, QString& why)
{
    long long rowsInSheet = 0;
    if (!CountSheetRows(path, partName, rowsInSheet, why)) return false;
    if (rowsInSheet != rows) {
        why = QStringLiteral("the workbook is not whole (its sheet holds %1 of %2 rows)").arg(rowsInSheet).arg(rows);
        return false;
    }
    return true;
}

}  // namespace workbook_check
