#include "tevrin/rtdb/write_trace.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace write_trace {

namespace {

TimeSource& Source()
{
    static TimeSource source;
    return source;
}

std::string Num(long long v) { return std::to_string(v); }

template <typename T>
T Take(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

std::string TwoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

}  // namespace

void SetTimeSource(TimeSource source) { Source() = std::move(source); }

std::string TimeStamp()
{
    const QDateTime now = Source() ? Source()() : QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return Num(d.year()) + "/" + Num(d.month()) + "/" + Num(d.day()) + " " + Num(t.hour()) + ":" + Num(t.minute()) +
           ":" + Num(t.second()) + " " + Num(t.msec()) + "ms";
}

std::string Field(const std::string& text, int width)
{
    if (static_cast<int>(text.size()) >= width) return text.substr(0, static_cast<size_t>(width));
    return text + std::string(static_cast<size_t>(width) - text.size(), ' ');
}

std::string Separator() { return std::string(kSeparatorWidth, '-'); }

std::string TokenDateText(uint32_t token)
{
    const int second = static_cast<int>(token & 0x3F);
    const int minute = static_cast<int>((token >> 6) & 0x3F);
    const int hour = static_cast<int>((token >> 12) & 0x1F);
    int day = static_cast<int>((token >> 17) & 0x1F);
    int month = static_cast<int>((token >> 22) & 0x0F);
    const int year = 2000 + static_cast<int>((token >> 26) & 0x3F);
    if (month == 0 || month > 12) month = 1;
    if (day == 0) day = 1;

    const bool valid = QDate::isValid(year, month, day) && hour < 24 && minute < 60 && second < 60;
    int y = 1899, mo = 12, dd = 30, h = 0, mi = 0, s = 0;   // the zero date
    if (valid) {
        y = year;
        mo = month;
        dd = day;
        h = hour;
        mi = minute;
        s = second;
    }
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    return std::string(kMonthNames[mo - 1]) + " " + Num(dd) + ", " + Num(y) + " " + Num(h12) + ":" + TwoDigits(mi) +
           ":" + TwoDigits(s) + " " + (h < 12 ? "AM" : "PM");
}

std::vector<std::string> TimerSection(const uint8_t* timerBlock)
{
    std::vector<std::string> lines;
    lines.push_back("TimerXConfiguration");
    for (int k = 0; k < kTimerCount; ++k) {
        const TimerRecord r = TimerRecordOf(timerBlock + k * kTimerRecordSize);
        lines.push_back(Field("Timer " + Num(k), 10) + Field("Schedule Enable=" + Num(r.ScheduleEnable), 20) +
                        Field("DayOfWeek=" + Num(r.DayOfWeek), 20) + Field("Schedule Hour=" + Num(r.ScheduleHour), 20) +
                        Field("Schedule Minute=" + Num(r.ScheduleMinute), 20) +
                        Field("Analysis Enable=" + Num(r.AnalysisEnable), 20) +
                        Field("Analysis=" + Num(static_cast<int32_t>(r.Analysis)), 20) +
                        Field("Sequencer Enable=" + Num(r.SequencerEnable), 20) + Field("Sequencer=" + Num(r.Sequencer), 20));
    }
    lines.push_back(Separator());
    return lines;
}

std::vector<std::string> SequencerSection(const uint8_t* bytes)
{
    const SequencerBlock b = SequencerBlockOf(bytes);
    const auto entryLine = [](const SequencerEntry& e) {
        return Field("Stream=" + Num(e.Stream), 20) + Field("Run=" + Num(e.Run), 20);
    };
    std::vector<std::string> lines;
    lines.push_back(Separator());
    lines.push_back(Field("Sequencer Configuration", 30) + TimeStamp());
    lines.push_back(Field("Enable=" + Num(b.Enable), 20) + Field("Depth=" + Num(b.Depth), 20) +
                    Field("Manual Enable=" + Num(b.ManualEnable), 20) +
                    Field("Manual Digital Input=" + Num(b.ManualDigitalInput), 30));
    lines.push_back("Automatic Sequencer");
    for (const SequencerEntry& e : b.Automatic) lines.push_back(entryLine(e));
    for (const ManualSequence& s : b.Manual) {
        lines.push_back(Field("Manual Sequence", 20) + Field("Enable=" + Num(s.Enable), 20) + Field("Loop=" + Num(s.Loop), 20) +
                        Field("Digital Input=" + Num(s.DigitalInput), 20) + Field("Depth=" + Num(s.Depth), 20));
        for (const SequencerEntry& e : s.Entries) lines.push_back(entryLine(e));
    }
    lines.push_back(Separator());
    return lines;
}

std::vector<std::string> ModbusSection(const ModbusHeader& header, const uint8_t* entries)
{
    static const char* const kModeNames[3] = {"ENRON", "MODICON16", "MODICON32"};
    static const char* const kEnronLabels[4] = {"coils", "shorts", "longs", "floats"};
    static const char* const kModiconLabels[4] = {"status inputs", "status outputs", "register inputs",
                                                  "register outputs"};
    constexpr int kEntrySize = 5;
    constexpr int kEntries = 100;

    std::vector<std::string> lines;
    lines.push_back(Separator());
    const std::string mode = header.mode < 3 ? kModeNames[header.mode] : "";
    lines.push_back(Field("Modbus List", 20) + Field("Mode=" + mode, 20) + TimeStamp());
    for (int i = 0; i < 4; ++i) {
        const char* label = header.mode == 0 ? kEnronLabels[i] : kModiconLabels[i];
        lines.push_back(Field(label, 20) + Field(Num(header.runs[i].start), 20) + Field(Num(header.runs[i].count), 20));
    }
    lines.push_back(Field("ModbusMap", 20));
    lines.push_back(Field("LSMS", 20) + Field("FORMAT", 20) + Field("ACCESS", 20) + Field("UNIQUEID", 20));
    for (int i = 0; i < kEntries; ++i) {
        const uint8_t* e = entries + i * kEntrySize;
        lines.push_back(Field(Num(e[0]), 20) + Field(Num(e[1]), 20) + Field(Num(e[2]), 20) +
                        Field(Num(Take<uint16_t>(e + 3)), 20));
    }
    lines.push_back(Separator());
    return lines;
}

std::vector<std::string> LogConfigSection(const LogConfigRecord (&records)[kLogCount])
{
    std::vector<std::string> lines;
    lines.push_back(Separator());
    lines.push_back(Field("Log Configuration", 20) + TimeStamp());
    for (const LogConfigRecord& r : records) {
        lines.push_back(Field("LogRecord", 20) + Field("LOG_NUMBER" + Num(r.LOG_NUMBER), 20));
        lines.push_back(Field("LOG Enable=" + Num(r.Enable), 20) + Field("Frequency=" + Num(r.Frequency), 20) +
                        Field("LogIdCode=" + Num(r.LogIdCode), 20) +
                        Field("ParametersInLog=" + Num(r.ParametersInLog), 20));
        for (uint16_t id : r.UniqueId) lines.push_back(Field("UniqueId=" + Num(id), 20));
    }
    lines.push_back(Separator());
    return lines;
}

QString TraceFilePath() { return platform::UserDataFile(QString::fromLatin1(kFileName)); }

bool AppendLines(const std::vector<std::string>& lines, const QString& filePath)
{
    if (lines.empty()) return true;
    QByteArray bytes;
    for (const std::string& line : lines) {
        bytes.append(line.data(), static_cast<qsizetype>(std::min<size_t>(line.size(), kMaxLineText)));
        bytes.append(" \n");
    }
    QFile file(filePath);
    // Unbuffered, so that a section that only partly fits can be taken back.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        platform::ShowMessage(QString::fromLatin1(kOpenFailedMessage) + QStringLiteral("\n") + file.errorString());
        return false;
    }
    const qint64 before = file.size();
    errno = 0;
    if (file.write(bytes) == bytes.size()) return true;
    // A section is appended whole or not at all.
    const QString why = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
    file.resize(before);
    platform::ShowMessage(QString::fromLatin1(kWriteFailedMessage) + QStringLiteral("\n") + why);
    return false;
}

bool WriteLog(const std::string& text, const QString& fileName)
{
    const QString path = QFileInfo(fileName).isAbsolute() ? fileName : platform::UserDataFile(fileName);
    return AppendLines({text}, path);
}

}  // namespace write_trace
