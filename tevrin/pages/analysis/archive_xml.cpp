#include "tevrin/pages/analysis/archive_xml.h"

#include "platform/save_file.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QStringView>

#include <algorithm>
#include <charconv>

namespace {

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

int ValuesOf(const LogConfigRecord& log) { return static_cast<int>(log.ParametersInLog) - 1; }

}  // namespace

QString ArchivePointName(uint16_t dbId)
{
    if (const DatabasePoint* point = DataBase::Instance()->PointByDbId(dbId))
        return QString::fromStdString(point->GetName());
    return QStringLiteral("DbId %1").arg(dbId);
}

namespace {

// Element text as the XML writer escapes it; false for a character XML cannot carry.
bool PutEscaped(QByteArray& out, const char* text, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const char c = text[i];
        switch (c) {
        case '<': out.append("&lt;", 4); break;
        case '>': out.append("&gt;", 4); break;
        case '&': out.append("&amp;", 5); break;
        case '"': out.append("&quot;", 6); break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
            out.append(c);
        }
    }
    return true;
}

// Whether a text needs escaping at all (numbers and time stamps almost never do).
bool Plain(const char* text, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '<' || c == '>' || c == '&' || c == '"' || c < 0x20) return false;
    }
    return true;
}

// The log names, as the XML stream writer makes them.
QByteArray ArchiveNames(const LogConfigRecord (&logs)[kLogCount], const ArchiveProgress& tick)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(false);
    xml.writeStartElement(QStringLiteral("ArchiveNames"));
    for (int i = 0; i < kLogCount; ++i) {
        if (tick) tick();
        const LogConfigRecord& log = logs[i];
        xml.writeStartElement(QStringLiteral("Log"));
        xml.writeAttribute(QStringLiteral("lognum"), QString::number(i));
        xml.writeAttribute(QStringLiteral("ParametersInLog"), QString::number(std::min(ValuesOf(log), kLogValuesPerLog)));
        xml.writeAttribute(QStringLiteral("Enabled"), QString::number(log.Enable));
        for (int j = 0; j < std::min(ValuesOf(log), kLogValuesPerLog); ++j) {
            xml.writeStartElement(QStringLiteral("name"));
            xml.writeAttribute(QStringLiteral("UID"), QString::number(log.UniqueId[j + 1]));
            xml.writeCharacters(ArchivePointName(log.UniqueId[j + 1]));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    return xml.hasError() ? QByteArray() : bytes;
}

}  // namespace

bool WriteArchiveXml(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                     QString* error, const ArchiveProgress& step)
{
    platform::SaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    // The document goes to the file a megabyte at a time. The samples are written here
    // directly, with the XML writer's escapes; the log names by the XML writer itself.
    QByteArray out;
    out.reserve((1 << 20) + 4096);
    out.append("<LOGDB>");
    const QByteArray names = ArchiveNames(logs, step);
    bool good = !names.isEmpty();   // every text could be carried by XML
    bool handed = true;             // every byte went to the file
    out.append(names);
    const datetext::Formats& dates = datetext::Current();
    char text[datetext::Formats::kMaxText + LogDBManager::kValueTextMax];
    const int count = archive.EntryCount();
    for (int k = 0; k < count && good && handed; ++k) {
        if ((k & 0xFF) == 0) {
            if (step) step();
            if (out.size() > (1 << 20)) {
                handed = file.write(out) == out.size();
                out.resize(0);
            }
        }
        const LogEntry* e = archive.Entry(k);
        const int p = e->LogPosition;
        const int n = p >= 0 && p < kLogCount ? std::min(ValuesOf(logs[p]), kLogValuesPerLog) : 0;
        out.append("<Point ParametersInLog=\"");
        out.append(text, std::to_chars(text, text + 16, n).ptr - text);
        out.append("\"><TimeStamp>");
        const char* end = dates.Write(e->Time, text);
        if (Plain(text, static_cast<size_t>(end - text)))
            out.append(text, end - text);
        else
            good = PutEscaped(out, text, static_cast<size_t>(end - text)) && good;
        out.append("</TimeStamp><LogNum>");
        out.append(text, std::to_chars(text, text + 16, p).ptr - text);
        out.append("</LogNum>");
        for (int l = 0; l < n; ++l) {
            char tag[16] = "Colum";
            const char* tagEnd = std::to_chars(tag + 5, tag + sizeof tag, l).ptr;
            out.append('<');
            out.append(tag, tagEnd - tag);
            out.append('>');
            if (const std::string* held = archive.HeldText(*e, l)) {
                good = PutEscaped(out, held->data(), held->size()) && good;
            } else {
                const char* valueEnd = archive.WriteValue(*e, l, text);
                out.append(text, valueEnd - text);
            }
            out.append("</", 2);
            out.append(tag, tagEnd - tag);
            out.append('>');
        }
        out.append("</Point>");
    }
    out.append("</LOGDB>");
    if (!good) {
        file.cancelWriting();
        SetError(error, QStringLiteral("a text that XML cannot carry"));
        return false;
    }
    if (handed) handed = file.write(out) == out.size();
    // A write that fell short is refused by the commit, which says why.
    return platform::CommitWhole(file, error) && handed;
}

namespace {

// The XML reader gathers a text, a name or an attribute whole before it hands it over. The file
// reaches it through here, which stops handing out bytes once this many have gone since the
// walk last passed an element's start or end: no archive item is anywhere near that long.
constexpr qint64 kMaxItemBytes = qint64(16) << 20;

class ItemBoundedDevice : public QIODevice {
public:
    explicit ItemBoundedDevice(QIODevice& source) : source_(source) { open(QIODevice::ReadOnly); }
    void Mark() { mark_ = delivered_; }
    bool Overran() const { return overran_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (delivered_ - mark_ > kMaxItemBytes) {
            overran_ = true;
            return -1;
        }
        const qint64 got = source_.read(data, maxSize);
        if (got > 0) delivered_ += got;
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    qint64 delivered_ = 0;
    qint64 mark_ = 0;
    bool overran_ = false;
};

QString TooManyPoints(uint32_t most)
{
    return QStringLiteral("the file holds more than %1 samples, more than an analyzer's archive memory holds").arg(most);
}

// The Points a file holds, by their start tags, counting no further than `most` + 1: the room
// for the samples is made once from it, and a file of too many is refused before any is read.
// The count stops early where no tag has begun for longer than any item may be (the reader
// refuses such a file). False when the file could not be read.
bool CountPointTags(QFile& file, uint32_t most, uint32_t& count)
{
    static const QByteArrayMatcher tag(QByteArrayLiteral("<Point"));
    constexpr qsizetype kTagSize = 6;
    constexpr qint64 kChunk = 1 << 20;
    count = 0;
    QByteArray chunk;
    QByteArray carry;   // the end of the last chunk, where a tag may begin
    qint64 withoutTag = 0;
    while (!file.atEnd() && count <= most && withoutTag <= kMaxItemBytes) {
        chunk = carry + file.read(kChunk);
        if (chunk.size() == carry.size()) return false;
        const qsizetype lastTag = chunk.lastIndexOf('<');
        withoutTag = lastTag < 0 ? withoutTag + chunk.size() - carry.size() : chunk.size() - lastTag;
        qsizetype from = 0;
        for (qsizetype at = tag.indexIn(chunk, from); at >= 0 && count <= most; at = tag.indexIn(chunk, from)) {
            if (at + kTagSize >= chunk.size()) break;   // what follows the name is in the next chunk
            const char next = chunk[at + kTagSize];
            if (next == ' ' || next == '>' || next == '/' || next == '\t' || next == '\n' || next == '\r') ++count;
            from = at + 1;
        }
        carry = chunk.right(kTagSize);   // a tag counted here starts before these bytes
    }
    return file.error() == QFileDevice::NoError && file.seek(0);
}

// A strict walk over the document: every fault ends the read with its reason.
class ArchiveReader {
public:
    ArchiveReader(ItemBoundedDevice& device, ArchiveFile& out, const ArchiveProgress& step, uint32_t mostPoints)
        : xml_(&device), device_(device), out_(out), step_(step), mostPoints_(mostPoints)
    {
    }

    bool Read(QString& why)
    {
        if (!NextElement() || xml_.name() != QLatin1String("LOGDB")) return Fail(why, QStringLiteral("the document is not an archive (no LOGDB)"));
        while (NextChildOf(QStringLiteral("LOGDB"))) {
            if (step_ && (++children_ & 0xFF) == 0) step_();
            if (xml_.name() == QLatin1String("Point")) {
                if (out_.entries.size() >= mostPoints_) return Fail(why, TooManyPoints(mostPoints_));
                if (!ReadPoint()) return Fail(why, error_);
            } else if (xml_.name() == QLatin1String("ArchiveNames")) {
                if (!ReadNames()) return Fail(why, error_);
                out_.hasNames = true;
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!error_.isEmpty()) return Fail(why, error_);
        while (!xml_.atEnd()) xml_.readNext();   // nothing but comments may follow
        if (xml_.hasError()) return Fail(why, xml_.errorString());
        return true;
    }

private:
    bool Fail(QString& why, const QString& text)
    {
        why = xml_.hasError() ? QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(xml_.errorString()) : text;
        return false;
    }
    bool Error(const QString& text)
    {
        if (error_.isEmpty()) error_ = QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(text);
        return false;
    }
    bool NextElement()
    {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) return Passed(true);
        }
        return false;
    }
    // The reader passed an element's start or end: what follows is a new item.
    bool Passed(bool result)
    {
        device_.Mark();
        return result;
    }
    // The next child element of the element whose end would follow; false at that end.
    bool NextChildOf(const QString&)
    {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) return Passed(true);
            if (xml_.isEndElement()) return Passed(false);
        }
        return false;
    }
    bool IntAttribute(const char* name, int low, int high, int& value)
    {
        const QStringView text = xml_.attributes().value(QLatin1String(name));
        bool ok = false;
        value = text.toInt(&ok);
        if (text.isNull()) return Error(QStringLiteral("the attribute %1 is missing").arg(QLatin1String(name)));
        if (!ok) return Error(QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(name), text.toString()));
        if (value < low || value > high)
            return Error(QStringLiteral("%1 %2 is outside %3 to %4").arg(QLatin1String(name)).arg(value).arg(low).arg(high));
        return true;
    }

    bool ReadNames()
    {
        int k = 0;
        while (NextChildOf(QStringLiteral("ArchiveNames"))) {
            if (k >= kLogCount) {   // logs past the sixth are not the archive's
                xml_.skipCurrentElement();
                continue;
            }
            ArchiveFile::Log& log = out_.logs[static_cast<size_t>(k)];
            int enabled = 0;
            if (!IntAttribute("ParametersInLog", -1, kLogValuesPerLog, log.parameters)) return false;
            if (!IntAttribute("Enabled", 0, 255, enabled)) return false;
            log.enabled = static_cast<uint8_t>(enabled);
            while (NextChildOf(QStringLiteral("Log"))) {
                int uid = 0;
                if (static_cast<int>(log.uids.size()) >= kLogValuesPerLog) return Error(QStringLiteral("a log names more than 7 values"));
                if (!IntAttribute("UID", 0, 65535, uid)) return false;
                log.uids.push_back(static_cast<uint16_t>(uid));
                log.names.push_back(xml_.readElementText(QXmlStreamReader::IncludeChildElements));
            }
            if (static_cast<int>(log.uids.size()) < log.parameters)
                return Error(QStringLiteral("log %1 names %2 values, not %3").arg(k).arg(log.uids.size()).arg(log.parameters));
            ++k;
        }
        if (k < kLogCount) return Error(QStringLiteral("the file holds %1 logs, not 6").arg(k));
        return true;
    }

    // The text of the element just started, its children's included (as readElementText
    // gives it), into text; false at a fault.
    bool ElementText(QString& text)
    {
        text.resize(0);
        for (int depth = 1; !xml_.atEnd();) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement: ++depth; Passed(true); break;
            case QXmlStreamReader::EndElement:
                Passed(true);
                if (--depth == 0) return true;
                break;
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference: text.append(xml_.text()); break;
            default: break;
            }
        }
        return false;
    }

    bool ReadPoint()
    {
        // -1 is a log of no parameters: its Points hold the time stamp and log number alone.
        int n = 0;
        if (!IntAttribute("ParametersInLog", -1, kLogValuesPerLog, n)) return false;
        const int values = std::max(n, 0);
        LogEntry entry;
        entry.Source = LogEntry::FromFile;
        int children = 0;
        int p = -1;
        while (NextChildOf(QStringLiteral("Point"))) {
            if (children >= values + 2) {   // children past the values are not read
                xml_.skipCurrentElement();
                continue;
            }
            if (!ElementText(text_)) return false;
            if (children == 0) {
                if (!dates_.Read(text_, entry.Time)) {
                    entry.Time = 0;
                    ++out_.badTimeStamps;
                }
            } else if (children == 1) {
                bool ok = false;
                p = QStringView(text_).trimmed().toInt(&ok);
                if (!ok) return Error(QStringLiteral("the log number \"%1\" is not a number").arg(text_));
                if (p < 0 || p >= kLogCount) return Error(QStringLiteral("the log number %1 is outside 0 to 5").arg(p));
            } else {
                AddValue(entry, text_);
            }
            ++children;
        }
        if (xml_.hasError()) return false;
        if (children < values + 2)
            return Error(QStringLiteral("a Point holds %1 of its %2 children").arg(children).arg(values + 2));
        entry.LogPosition = static_cast<int8_t>(p);
        out_.entries.push_back(entry);
        out_.logs[static_cast<size_t>(p)].hasPoints = true;
        out_.logs[static_cast<size_t>(p)].pointValues = n;
        return true;
    }

    void AddValue(LogEntry& entry, const QString& text)
    {
        // Values are ASCII as the program writes them; other texts go through UTF-8.
        char ascii[64];
        const qsizetype size = text.size();
        bool plain = size < static_cast<qsizetype>(sizeof ascii);
        for (qsizetype i = 0; plain && i < size; ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x80) plain = false;
            else ascii[i] = static_cast<char>(c);
        }
        if (plain) {
            LogDBManager::AddFileValue(entry, std::string_view(ascii, static_cast<size_t>(size)), out_.texts);
        } else {
            const QByteArray utf8 = text.toUtf8();
            LogDBManager::AddFileValue(entry, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), out_.texts);
        }
    }

    QXmlStreamReader xml_;
    ItemBoundedDevice& device_;
    ArchiveFile& out_;
    const ArchiveProgress& step_;
    const uint32_t mostPoints_;
    const datetext::Formats& dates_ = datetext::Current();
    QString text_;   // the element text being read, its room kept from one element to the next
    QString error_;
    int children_ = 0;
};

}  // namespace

bool ReadArchiveXml(const QString& fileName, ArchiveFile& file, QString* error, const ArchiveProgress& step,
                    uint32_t mostPoints)
{
    QFile device(fileName);
    if (!device.open(QIODevice::ReadOnly)) {
        SetError(error, device.errorString());
        return false;
    }
    uint32_t points = 0;
    if (!CountPointTags(device, mostPoints, points)) {
        SetError(error, device.errorString());
        return false;
    }
    if (points > mostPoints) {
        SetError(error, TooManyPoints(mostPoints));
        return false;
    }
    ItemBoundedDevice bounded(device);
    ArchiveFile read;
    read.entries.reserve(points);
    ArchiveReader reader(bounded, read, step, mostPoints);
    QString why;
    if (!reader.Read(why)) {
        if (bounded.Overran())
            why = QStringLiteral("the file holds an item longer than %1 bytes; an archive's items are short").arg(kMaxItemBytes);
        SetError(error, why);
        return false;
    }
    read.entries.shrink_to_fit();
    read.texts.shrink_to_fit();
    file = std::move(read);
    return true;
}

void ApplyArchiveFile(ArchiveFile&& file, LogDBManager& archive, LogConfigRecord (&logs)[kLogCount])
{
    for (int k = 0; k < kLogCount; ++k) {
        const ArchiveFile::Log& log = file.logs[static_cast<size_t>(k)];
        if (file.hasNames) {
            logs[k].Enable = log.enabled;
            const int m = std::min(static_cast<int>(log.uids.size()), std::max(log.parameters, 0));
            for (int l = 0; l < m; ++l) logs[k].UniqueId[l + 1] = log.uids[static_cast<size_t>(l)];
        }
        if (log.hasPoints) logs[k].ParametersInLog = static_cast<uint8_t>(log.pointValues + 1);
    }
    archive.Adopt(std::move(file.entries), std::move(file.texts));
}
