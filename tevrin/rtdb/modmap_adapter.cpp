#include "tevrin/rtdb/modmap_adapter.h"

#include "tevrin/rtdb/database_point.h"
#include "platform/save_file.h"

#include <QFile>

#include <cstring>

namespace {

// mode, start register, width, FORMAT, ACCESS, LSMS, header run
const MBKindInfo kKinds[kModbusKindCount] = {
    {kModbusEnron, 1001, 1, 8, -1, 0, 0},        // 0 coils
    {kModbusEnron, 3001, 1, 5, -1, 0, 1},        // 1 shorts
    {kModbusEnron, 5001, 1, 4, -1, 0, 2},        // 2 longs
    {kModbusEnron, 7001, 1, 0, -1, 0, 3},        // 3 floats
    {kModbusEnron, 701, 1, 0, -1, 0, -1},        // 4 archive
    {kModbusModicon16, 1, 1, 8, 1, 0, 1},        // 5 output status
    {kModbusModicon16, 10001, 1, 8, 0, 0, 0},    // 6 input status
    {kModbusModicon16, 30001, 1, 5, 0, 0, 2},    // 7 input registers
    {kModbusModicon16, 40001, 1, 5, 1, 0, 3},    // 8 holding registers
    {kModbusModicon32, 1, 1, 8, 1, 0, 1},        // 9 output status
    {kModbusModicon32, 10001, 1, 8, 0, 0, 0},    // 10 input status
    {kModbusModicon32, 30001, 1, 2, 0, 0, 2},    // 11 short input registers
    {kModbusModicon32, 30001, 2, 1, 0, 1, 2},    // 12 long input registers
    {kModbusModicon32, 30001, 2, 0, 0, 1, 2},    // 13 float input registers
    {kModbusModicon32, 40001, 1, 2, 1, 0, 3},    // 14 short holding registers
    {kModbusModicon32, 40001, 2, 1, 1, 1, 3},    // 15 long holding registers
    {kModbusModicon32, 40001, 2, 0, 1, 1, 3},    // 16 float holding registers
};

ModmapAdapter* g_adapter = nullptr;

bool EntryInUse(const ModmapEntry& e)
{
    return e.LSMS || e.FORMAT || e.ACCESS || e.UNIQUEID;
}

}  // namespace

const MBKindInfo* MBKind(int kind)
{
    if (kind < 0 || kind >= kModbusKindCount)
        return nullptr;
    return &kKinds[kind];
}

ModmapAdapter* ModmapAdapter::Instance()
{
    if (!g_adapter)
        g_adapter = new ModmapAdapter();
    return g_adapter;
}

void ModmapAdapter::DestroyInstance()
{
    delete g_adapter;
    g_adapter = nullptr;
}

ModmapAdapter::ModmapAdapter()
{
    Clear();
}

void ModmapAdapter::Clear()
{
    std::memset(&image_, 0, sizeof image_);
    for (int& k : kinds_)
        k = 0;
    count_ = 0;
}

DatabasePoint* ModmapAdapter::PointAt(int i) const
{
    if (i < 0 || i >= count_ || !lookup_)
        return nullptr;
    return lookup_(image_.entries[i].UNIQUEID);
}

int ModmapAdapter::KindFromBytes(int i) const
{
    const ModmapEntry& e = image_.entries[i];
    switch (image_.header.mode) {
    case kModbusEnron:
        switch (e.FORMAT) {
        case 0: return 3;
        case 4: return 2;
        case 5: return 1;
        case 8: return 0;
        default: return 0;
        }
    case kModbusModicon16:
        if (e.FORMAT == 5) return e.ACCESS ? 8 : 7;
        if (e.FORMAT == 8) return e.ACCESS ? 5 : 6;
        return 0;
    case kModbusModicon32:
        switch (e.FORMAT) {
        case 0: return e.ACCESS ? 16 : 13;
        case 1: return e.ACCESS ? 15 : 12;
        case 2: return e.ACCESS ? 14 : 11;
        case 8: return e.ACCESS ? 9 : 10;
        default: return 0;
        }
    default:
        return 0;
    }
}

int ModmapAdapter::RegisterKind(int i) const
{
    if (i < 0 || i >= count_)
        return 0;
    return kinds_[i];
}

bool ModmapAdapter::IsWritable(int i) const
{
    if (i < 0 || i >= kModbusMaxEntries)
        return false;
    return image_.entries[i].ACCESS == 1;
}

ModmapEntry ModmapAdapter::EntryAt(int i) const
{
    if (i < 0 || i >= kModbusMaxEntries)
        return ModmapEntry{};
    return image_.entries[i];
}

bool ModmapAdapter::AddEntry(int kind, const DatabasePoint* point, bool writable)
{
    const MBKindInfo* info = MBKind(kind);
    if (!info || !point || count_ >= kModbusMaxEntries)
        return false;
    ModmapEntry& e = image_.entries[count_];
    e.LSMS = info->lsms;
    e.FORMAT = info->format;
    e.ACCESS = info->access >= 0 ? static_cast<uint8_t>(info->access) : (writable ? 1 : 0);
    e.UNIQUEID = point->GetDbId();
    kinds_[count_] = kind;
    ++count_;
    return true;
}

bool ModmapAdapter::SetImage(const ModmapImage& image)
{
    if (image.header.mode >= kModbusModeCount) {
        lastError_ = QStringLiteral("Unknown Modbus map mode %1.").arg(image.header.mode);
        return false;
    }
    int counted = 0;
    for (const ModbusRun& run : image.header.runs)
        counted += run.count;
    if (counted > kModbusMaxEntries) {
        lastError_ = QStringLiteral("The Modbus map counts %1 entries; it holds at most %2.")
                         .arg(counted)
                         .arg(kModbusMaxEntries);
        return false;
    }
    image_ = image;
    count_ = counted;
    for (int i = 0; i < kModbusMaxEntries; ++i)
        kinds_[i] = KindFromBytes(i);
    // The ENRON archive is counted by no run: its entries follow the counted ones.
    if (image_.header.mode == kModbusEnron) {
        while (count_ < kModbusMaxEntries && EntryInUse(image_.entries[count_]))
            kinds_[count_++] = kArchiveEnronKind;
    }
    lastError_.clear();
    return true;
}

int ModmapAdapter::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = QStringLiteral("Cannot open \"%1\": %2").arg(fileName, file.errorString());
        return 3;   // a file that cannot be read is a failed load like any other
    }
    const QByteArray bytes = file.read(kImageSize + 1);
    if (bytes.size() != kImageSize || !file.atEnd()) {
        lastError_ = QStringLiteral("\"%1\" is not a Modbus list file: it holds %2 bytes, a list file holds %3.")
                         .arg(fileName)
                         .arg(bytes.size() > kImageSize ? QStringLiteral("more than %1").arg(kImageSize)
                                                        : QString::number(bytes.size()))
                         .arg(kImageSize);
        return 3;
    }
    ModmapImage image;
    std::memcpy(&image, bytes.constData(), sizeof image);
    if (!SetImage(image)) {
        lastError_ = QStringLiteral("\"%1\" is not a Modbus list file: %2").arg(fileName, lastError_);
        return 3;
    }
    return 0;
}

void ModmapAdapter::RecountRuns()
{
    int counts[4] = {0, 0, 0, 0};
    for (int i = 0; i < count_; ++i) {
        const MBKindInfo* info = MBKind(kinds_[i]);
        if (info && info->mode == image_.header.mode && info->headerPair >= 0)
            ++counts[info->headerPair];
    }
    // Runs start where the entries of their groups stand: groups follow one another in the
    // layout's order (ENRON: the runs' own order; MODICON: output status first).
    static const int kEnronOrder[4] = {0, 1, 2, 3};
    static const int kModiconOrder[4] = {1, 0, 2, 3};
    const int* order = image_.header.mode == kModbusEnron ? kEnronOrder : kModiconOrder;
    int start = 0;
    for (int g = 0; g < 4; ++g) {
        ModbusRun& run = image_.header.runs[order[g]];
        run.start = static_cast<uint16_t>(start);
        run.count = static_cast<uint16_t>(counts[order[g]]);
        start += counts[order[g]];
    }
}

int ModmapAdapter::SaveToFile(const QString& fileName)
{
    RecountRuns();
    platform::SaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = QStringLiteral("Cannot create \"%1\": %2").arg(fileName, file.errorString());
        return 1;
    }
    const bool handed = file.write(reinterpret_cast<const char*>(&image_), sizeof image_) == qint64(sizeof image_);
    QString why;
    if (!platform::CommitWhole(file, &why) || !handed) {
        lastError_ = QStringLiteral("Cannot write \"%1\": %2").arg(fileName, why);
        return 1;
    }
    lastError_.clear();
    return 0;
}
