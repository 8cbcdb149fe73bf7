#include "tevrin/shell/commands/cmd_image.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"
#include "platform/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

using namespace CommandKeys;

namespace image {

namespace {
QPointer<QProgressBar> g_bar;
}

Layout Layout::Of(qint64 length)
{
    Layout l;
    l.length = length;
    const qint64 sent = length > 0 ? length - 1 : 0;
    l.fullBlocks = sent / kBlockBytes;
    l.lastCount = uint8_t(sent % kBlockBytes);
    return l;
}

void SetProgressBar(QProgressBar* bar) { g_bar = bar; }
QProgressBar* ProgressBar() { return g_bar.data(); }

QString ReadBackPath()
{
    const QString folder = SecurityChk::Instance().GetFolder();
    return folder.isEmpty() ? QString::fromLatin1(kReadBackFileName) : QDir(folder).filePath(kReadBackFileName);
}

}  // namespace image

namespace {

void StepProgress()
{
    if (QProgressBar* bar = image::ProgressBar()) bar->setValue(bar->value() + 1);
}

// Opens the image for reading and takes its length. Missing, unreadable, empty or oversized
// images are reported here and give nothing (the file is then closed).
std::optional<image::Layout> OpenImage(QFile& file)
{
    if (file.fileName().isEmpty() || !QFileInfo(file.fileName()).isFile()) {
        platform::MessageDlg(QStringLiteral("Image file doesn't exist!\n"), platform::DlgType::Warning, platform::mbOK);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        platform::MessageDlg(QStringLiteral("Image file can't be read!\n") + file.errorString(),
                             platform::DlgType::Warning, platform::mbOK);
        return std::nullopt;
    }
    const qint64 length = file.size();
    if (length <= 0) {
        file.close();
        platform::ShowMessage(QStringLiteral("Image file length is zero!"));
        return std::nullopt;
    }
    if (length > image::kMaxImageLength) {
        file.close();
        platform::ShowMessage(QStringLiteral("Image file is too large!"));
        return std::nullopt;
    }
    return image::Layout::Of(length);
}

// The next count bytes of the image into data; false when the file gives fewer.
bool ReadExactly(QIODevice& file, uint8_t* data, int count)
{
    return count == 0 || file.read(reinterpret_cast<char*>(data), count) == count;
}

// The pages disabled and the application busy from the first block to the end of the write;
// every way out undoes both.
class WriteBracket {
public:
    explicit WriteBracket(ICommandOwner* owner) : owner_(owner)
    {
        if (owner_) owner_->SetFlag(DisablePages, true);
        StateMgr::Instance().SetBusy();
    }
    ~WriteBracket()
    {
        try {
            Close();
        } catch (...) {
            // Already on a failure's way out.
        }
    }
    WriteBracket(const WriteBracket&) = delete;
    WriteBracket& operator=(const WriteBracket&) = delete;

    void Close()
    {
        if (!open_) return;
        open_ = false;
        StateMgr::Instance().SetIdle();
        if (owner_) owner_->SetFlag(EnablePages, true);
    }

private:
    ICommandOwner* owner_;
    bool open_ = true;
};

}  // namespace

// --- UpgradeCommand ---------------------------------------------------------------------------

void UpgradeCommand::Execute()
{
    SetText(StatusLineSpecialPanel, "Logon...");
    SetFlag(DisablePages, true);
    const int r = cmd::OpenLink(Owner(), [this] { SetFlag(EnablePages, true); });
    if (r < 0) return;
    if (r != 0) {
        // No link: the window stays logged off.
        SetFlag(EnablePages, true);
        SetText(StatusLineSpecialPanel, "");
        return;
    }
    SetFlag(EnablePages, true);
    SetText(StatusLineSpecialPanel, "Logon Successful.");
    SetFlag(tbtnLogon, false);
    SetFlag(tbtnLogoff, true);
    SetFlag(SetLogOn, true);
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}

// --- WriteImage ----------------------------------------------------------------------------

void WriteImageCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Writing Image...");

    QFile file(Params().fileName);
    const std::optional<image::Layout> layout = OpenImage(file);
    if (!layout) return;

    const qint64 blocks = layout->Blocks();
    SetNumber(localPBarMax, int32_t(blocks));
    if (QProgressBar* bar = image::ProgressBar()) {
        bar->setRange(0, int(2 * blocks));
        bar->setValue(0);
    }

    WriteBracket bracket(Owner());
    MemoryBlock block{};
    for (qint64 k = 0; k < layout->fullBlocks; ++k) {
        block.address = uint32_t(k * image::kBlockBytes);
        block.count = image::kBlockBytes;
        if (!ReadExactly(file, block.data, image::kBlockBytes)) {
            platform::ShowMessage(QStringLiteral("Write Image fail!"));
            return;
        }
        if (!WriteBlock(block, file)) return;
    }

    std::memset(block.data, 0, sizeof block.data);
    block.address = layout->LastAddress();
    block.count = layout->lastCount;
    if (!ReadExactly(file, block.data, block.count)) {
        platform::ShowMessage(QStringLiteral(" Write Image fail!"));
        return;
    }
    if (!WriteBlock(block, file)) return;

    file.close();
    SetText(StatusLineSpecialPanel, "Write Image Finished.");
    bracket.Close();
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}

bool WriteImageCommand::WriteBlock(const MemoryBlock& block, QIODevice& /*file*/)
{
    try {
        CommDBPointFacade::Instance()->WriteImageBlock(block);
    } catch (...) {
        platform::ShowMessage(QStringLiteral(" Write Image fail!"));
        return false;
    }

    bool busy = true;
    int polls = 0;
    try {
        do {
            SetText(StatusLineSpecialPanel, "Writing Image...");
            busy = CommDBPointFacade::Instance()->IsImageWriteBusy();
            platform::Clock().SleepMs(kBusyPollMs);
            ++polls;
        } while (busy && polls < kBusyPollLimit);
    } catch (...) {
        SetNumber(localPBarMax, 0);
        SetText(StatusLineSpecialPanel, "Write Image fail!");
        return false;
    }
    if (busy) {
        SetNumber(localPBarMax, 1);
        SetText(StatusLineSpecialPanel, "Write Image fail!");
        return false;
    }
    SetText(StatusLineSpecialPanel, "Writing Image...");
    StepProgress();
    return true;
}

// --- ReadImage -----------------------------------------------------------------------------

void ReadImageCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading Image...");

    SecurityChk::Instance().ChangeToFolder();
    imageLength_ = 0;
    // An earlier copy never stands in for this one: it goes first, and the new copy appears
    // only once every block has been read.
    const QString readBackPath = image::ReadBackPath();
    if (QFileInfo::exists(readBackPath)) QFile::remove(readBackPath);

    std::optional<image::Layout> layout;
    {
        QFile file(Params().fileName);
        layout = OpenImage(file);
    }
    if (!layout) return;
    imageLength_ = layout->length;

    platform::SaveFile readBack(readBackPath);
    if (!readBack.open(QIODevice::WriteOnly)) {
        platform::ShowMessage(QStringLiteral("Read Image fail!"));
        return;
    }
    SetNumber(localPBarMax, int32_t(layout->Blocks()));

    for (qint64 k = 0; k < layout->fullBlocks; ++k)
        if (!ReadBlock(uint32_t(k * image::kBlockBytes), image::kBlockBytes, readBack)) return;
    if (!ReadBlock(layout->LastAddress(), layout->lastCount, readBack)) return;

    QString why;
    if (!platform::CommitWhole(readBack, &why)) {
        platform::ShowMessage(QStringLiteral("Read Image fail!\n%1").arg(why));
        return;
    }
    SetText(StatusLineSpecialPanel, "Read Image Finished.");
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}

bool ReadImageCommand::ReadBlock(uint32_t address, uint8_t count, QIODevice& file)
{
    bool stored = false;
    try {
        CommDBPointFacade* facade = CommDBPointFacade::Instance();
        const MemoryBlock block = facade->ReadImageBlock(address, count);
        const int take = std::min<int>({block.count, count, kMemoryBlockData});
        // A reply cut short of its own count is a failed read, not a shorter block: only bytes
        // that arrived go into the copy.
        const int arrived = facade->LastReplyLength() - 2 - int(offsetof(MemoryBlock, data));
        stored = arrived >= take && file.write(reinterpret_cast<const char*>(block.data), take) == take;
    } catch (...) {
        stored = false;
    }
    if (!stored) {
        platform::ShowMessage(QStringLiteral(" Read Image fail!"));
        return false;
    }
    StepProgress();
    SetText(StatusLineSpecialPanel, "Reading Image...");
    return true;
}
