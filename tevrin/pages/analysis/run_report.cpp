#include "tevrin/pages/analysis/run_report.h"

#include "platform/data_folder.h"
#include "platform/save_file.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <utility>

namespace {

const char* const kTitle = "Sentrel H2S Analyzer Report";
const char* const kAlarmLine = "THIS REPORT HAS BEEN GENERATED WITH FOLLOWING ALARMS:";

// Element text of a direct child of the document element; false when there is no such child.
bool ChildText(const QDomElement& root, const char* name, QString& text)
{
    const QDomElement child = root.firstChildElement(QString::fromLatin1(name));
    if (child.isNull()) return false;
    text = child.text();
    return true;
}

constexpr qint64 kMaxOptionsBytes = 64 * 1024;

QString ResultLabel(int stream) { return QStringLiteral("Stream %1 Result: ").arg(stream); }

}  // namespace

bool LoadReportOptions(const QString& path, ReportOptions& options)
{
    QFile file(path);
    if (!file.exists()) return false;
    if (!file.open(QIODevice::ReadOnly)) return true;
    // Seven short texts: a file far larger is not parsed, as one that is no document.
    if (file.size() > kMaxOptionsBytes) return true;
    QDomDocument document;
    if (!document.setContent(&file)) return true;
    const QDomElement root = document.documentElement();
    QString text;
    // The two limits are whole numbers; a value that is not ends the reading there.
    for (auto [name, limit] : {std::pair<const char*, int*>{"RunLimit", &options.runLimit},
                               std::pair<const char*, int*>{"SaveLimit", &options.saveLimit}}) {
        if (!ChildText(root, name, text)) continue;
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (!ok) return true;
        *limit = value;
    }
    for (auto [name, field] : {std::pair<const char*, QString*>{"SampleID", &options.sampleId},
                               std::pair<const char*, QString*>{"RunType", &options.runType},
                               std::pair<const char*, QString*>{"LabID", &options.labId},
                               std::pair<const char*, QString*>{"ClientName", &options.clientName},
                               std::pair<const char*, QString*>{"SampleName", &options.sampleName}})
        if (ChildText(root, name, text)) *field = text;
    return true;
}

QString ReportAlarmName(int dbId)
{
    static const std::pair<int, const char*> kNames[] = {
        {152, " Tape Movement Alarm"},
        {346, " RTC Battery Alarm"},
        {347, " Sensor Temperature Alarm"},
        {348, " Sensor LED Current Alarm"},
        {349, " Stream 1 Normal Run Deviation Alarm"},
        {350, " Stream 1 Normal Run Alarm 1"},
        {352, " Stream 1 Calibration Run Deviation Alarm"},
        {353, " Stream 1 Calibration Run Alarm 1"},
        {355, " Stream 1 Reference Run Deviation Alarm"},
        {356, " Stream 1 Reference Run Alarm 1"},
        {358, " Stream 1 Zero Run Deviation Alarm"},
        {359, " Stream 1 Zero Run Alarm 1"},
        {361, " Stream 2 Normal Run Deviation Alarm"},
        {362, " Stream 2 Normal Run Alarm 1"},
        {364, " Stream 2 Calibration Run Deviation Alarm"},
        {365, " Stream 2 Calibration Run Alarm 1"},
        {367, " Stream 2 Reference Run Deviation Alarm"},
        {368, " Stream 2 Reference Run Alarm 1"},
        {370, " Stream 2 Zero Run Deviation Alarm"},
        {371, " Stream 2 Zero Run Alarm 1"},
        {407, " System Alarm"},
        {409, " Sensor Communication Alarm"},
        {473, " Max Tape Adv. Alarm"},
        {504, " Stream 1 Normal Run PAA Alarm"},
        {505, " Stream 2 Normal Run PAA Alarm"},
        {509, " Max Analysis Time Alarm"},
        {518, " Low Tape Alarm"},
        {519, " Tape Length Alarm"},
        {539, " Sensor Calibration Alarm"},
    };
    for (const auto& [id, name] : kNames)
        if (id == dbId) return QString::fromLatin1(name);
    return QString();
}

QString ReportFileText(const ReportContent& c)
{
    QString text;
    const auto line = [&text](const QString& s) { text += s + QLatin1Char('\n'); };
    line(QString::fromLatin1(kTitle));
    line(QString());
    line(QStringLiteral("Lab ID: ") + c.labId);
    line(QStringLiteral("Sample ID: ") + c.sampleId);
    line(QStringLiteral("Sample Name: ") + c.sampleName);
    line(QStringLiteral("Client Name: ") + c.clientName);
    line(QStringLiteral("Date/Time: ") + c.dateTime);
    if (c.activeStream == 1 || c.activeStream == 2)
        line(ResultLabel(c.activeStream) + c.result + QLatin1Char(' ') + c.unit);
    else
        line(QString());
    if (c.alarmOn) line(QString::fromLatin1(kAlarmLine) + c.alarmName);
    return text;
}

QString NextFreeReportPath(const QString& baseName, int number)
{
    const QString base = QDir::isAbsolutePath(baseName) ? baseName : platform::UserDataFile(baseName);
    // Bounded: a folder holding this many reports of one name is not searched on.
    for (int n = number; n < number + 100000; ++n) {
        const QString path = base + QString::number(n) + QStringLiteral(".rpt");
        if (!QFileInfo::exists(path)) return path;
    }
    return QString();
}

bool SaveReportFile(const QString& path, const ReportContent& content, QString& error)
{
    if (path.isEmpty()) {
        error = QStringLiteral("no free report file name");
        return false;
    }
    return platform::SaveWhole(path, ReportFileText(content).toLocal8Bit(), &error);
}

namespace {

// Draws the report in printer units: left margin 40, a gap of 20 between a label and its value,
// lines as high as an "X" of the current font.
class ReportPainter {
public:
    ReportPainter(QPrinter& printer, QPainter& painter) : printer_(printer), p_(painter)
    {
        pageWidth_ = painter.device()->width();
        pageHeight_ = painter.device()->height();
    }

    void Draw(const ReportContent& c)
    {
        SetFont(10, false);
        Head(c);
        if (y_ > pageHeight_ - LineHeight() - 200) NewPage(c);
        if (c.activeStream == 1 || c.activeStream == 2) {
            const QString label = ResultLabel(c.activeStream);
            Labelled(label, c.result + QStringLiteral("  ") + c.unit);
        }
        y_ += LineHeight();
        y_ += LineHeight();
        if (c.alarmOn) {
            SetFont(10, true);
            Text(kMargin, QString::fromLatin1(kAlarmLine) + QLatin1Char(' '));
            y_ += LineHeight();
            SetFont(10, false);
            Text(kMargin, c.alarmName);
            y_ += LineHeight();
        }
    }

private:
    static constexpr int kMargin = 40;
    static constexpr int kGap = 20;

    void SetFont(int points, bool bold)
    {
        QFont font = p_.font();
        font.setPointSize(points);
        font.setBold(bold);
        p_.setFont(font);
    }
    int LineHeight() const { return p_.fontMetrics().boundingRect(QLatin1Char('X')).height(); }
    int TextWidth(const QString& s) const { return p_.fontMetrics().horizontalAdvance(s); }
    void Text(int x, const QString& s) { p_.drawText(x, y_ + p_.fontMetrics().ascent(), s); }
    void Centred(int y, const QString& s)
    {
        const int x = std::max(kMargin, pageWidth_ / 2 - TextWidth(s) / 2);
        p_.drawText(x, y + p_.fontMetrics().ascent(), s);
    }
    // A bold label and, one label width plus the gap to its right, the value in normal type.
    void Labelled(const QString& label, const QString& value)
    {
        SetFont(10, true);
        Text(kMargin, label);
        const int labelWidth = TextWidth(QString(label.size(), QLatin1Char('n')));
        SetFont(10, false);
        Text(kMargin + labelWidth + kGap, value);
        y_ += LineHeight();
    }
    void Head(const ReportContent& c)
    {
        SetFont(10, false);
        Centred(pageHeight_ - 200 + LineHeight(), QStringLiteral("Page %1").arg(page_));
        y_ = 205;
        SetFont(18, false);
        Centred(y_, QString::fromLatin1(kTitle));
        y_ += LineHeight();
        SetFont(10, false);
        y_ += LineHeight();
        Labelled(QStringLiteral("Lab ID: "), c.labId);
        Labelled(QStringLiteral("Sample ID: "), c.sampleId);
        Labelled(QStringLiteral("Sample Name: "), c.sampleName);
        Labelled(QStringLiteral("Client Name: "), c.clientName);
        Labelled(QStringLiteral("Date/Time: "), c.dateTime);
    }
    void NewPage(const ReportContent& c)
    {
        printer_.newPage();
        ++page_;
        Head(c);
    }

    QPrinter& printer_;
    QPainter& p_;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int page_ = 1;
    int y_ = 0;
};

}  // namespace

bool PrintReport(QPrinter& printer, const ReportContent& content, QString& error)
{
    if (!printer.isValid()) {
        error = QStringLiteral("no printer is available");
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("the printer could not be started");
        return false;
    }
    ReportPainter(printer, painter).Draw(content);
    if (!painter.end()) {
        error = QStringLiteral("the printout could not be finished");
        return false;
    }
    return true;
}
