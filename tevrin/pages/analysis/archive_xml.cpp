#include "tevrin/pages/analysis/archive_xml.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

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

bool WriteArchiveXml(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                     QString* error, const ArchiveProgress& step)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    auto tick = [&step] {
        if (step) step();
    };
    // The document is made in memory a megabyte at a time and goes to the file in pieces.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    auto flush = [&buffer, &file] {
        file.write(buffer.data());
        buffer.buffer().clear();
        buffer.seek(0);
    };
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(false);
    xml.writeStartElement(QStringLiteral("LOGDB"));
    xml.writeStartElement(QStringLiteral("ArchiveNames"));
    for (int i = 0; i < kLogCount; ++i) {
        tick();
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
    const int count = archive.EntryCount();
    for (int k = 0; k < count; ++k) {
        if ((k & 0xFF) == 0) {
            tick();
            if (buffer.size() > (1 << 20)) flush();
        }
        const LogEntry* e = archive.Entry(k);
        const int p = e->LogPosition;
        const int n = p >= 0 && p < kLogCount ? std::min(ValuesOf(logs[p]), kLogValuesPerLog) : 0;
        xml.writeStartElement(QStringLiteral("Point"));
        xml.writeAttribute(QStringLiteral("ParametersInLog"), QString::number(n));
        xml.writeTextElement(QStringLiteral("TimeStamp"), datetext::DateTimeToStr(e->Time));
        xml.writeTextElement(QStringLiteral("LogNum"), QString::number(p));
        for (int l = 0; l < n; ++l)
            xml.writeTextElement(QStringLiteral("Colum%1").arg(l), QString::fromStdString(archive.ValueText(*e, l)));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    flush();
    if (xml.hasError() || !file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

namespace {

// A strict walk over the document: every fault ends the read with its reason.
class ArchiveReader {
public:
    ArchiveReader(QFile& device, ArchiveFile& out, const ArchiveProgress& step) : xml_(&device), out_(out), step_(step) {}

    bool Read(QString& why)
    {
        if (!NextElement() || xml_.name() != QLatin1String("LOGDB")) return Fail(why, QStringLiteral("the document is not an archive (no LOGDB)"));
        while (NextChildOf(QStringLiteral("LOGDB"))) {
            if (step_ && (++children_ & 0xFF) == 0) step_();
            if (xml_.name() == QLatin1String("Point")) {
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
            if (xml_.isStartElement()) return true;
        }
        return false;
    }
    // The next child element of the element whose end would follow; false at that end.
    bool NextChildOf(const QString&)
    {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) return true;
            if (xml_.isEndElement()) return false;
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

    bool ReadPoint()
    {
        // -1 is a log of no parameters: its Points hold the time stamp and log number alone.
        int n = 0;
        if (!IntAttribute("ParametersInLog", -1, kLogValuesPerLog, n)) return false;
        const int values = std::max(n, 0);
        std::vector<QString> children;
        while (NextChildOf(QStringLiteral("Point"))) {
            if (static_cast<int>(children.size()) >= values + 2) {   // children past the values are not read
                xml_.skipCurrentElement();
                continue;
            }
            children.push_back(xml_.readElementText(QXmlStreamReader::IncludeChildElements));
        }
        if (xml_.hasError()) return false;
        if (static_cast<int>(children.size()) < values + 2)
            return Error(QStringLiteral("a Point holds %1 of its %2 children").arg(children.size()).arg(values + 2));
        double time = 0;
        if (!datetext::StrToDateTime(children[0], time)) {
            time = 0;
            ++out_.badTimeStamps;
        }
        bool ok = false;
        const int p = children[1].trimmed().toInt(&ok);
        if (!ok) return Error(QStringLiteral("the log number \"%1\" is not a number").arg(children[1]));
        if (p < 0 || p >= kLogCount) return Error(QStringLiteral("the log number %1 is outside 0 to 5").arg(p));
        std::vector<std::string> texts;
        for (int j = 0; j < values; ++j) texts.push_back(children[static_cast<size_t>(j + 2)].toStdString());
        out_.entries.push_back(LogDBManager::MakeTextEntry(time, p, texts, out_.texts));
        out_.logs[static_cast<size_t>(p)].hasPoints = true;
        out_.logs[static_cast<size_t>(p)].pointValues = n;
        return true;
    }

    QXmlStreamReader xml_;
    ArchiveFile& out_;
    const ArchiveProgress& step_;
    QString error_;
    int children_ = 0;
};

}  // namespace

bool ReadArchiveXml(const QString& fileName, ArchiveFile& file, QString* error, const ArchiveProgress& step)
{
    QFile device(fileName);
    if (!device.open(QIODevice::ReadOnly)) {
        SetError(error, device.errorString());
        return false;
    }
    ArchiveFile read;
    ArchiveReader reader(device, read, step);
    QString why;
    if (!reader.Read(why)) {
        SetError(error, why);
        return false;
    }
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
