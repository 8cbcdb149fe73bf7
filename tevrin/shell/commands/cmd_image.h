#pragma once
// The commands that carry a firmware image between a file and the analyzer's image memory:
//   "UpgradeCommand" UpgradeCommand  opens the link without reading the analyzer's database and
//                                    marks the window logged on (the upgrade road's connect)
//   "WriteImage"  WriteImageCommand  the image file to the analyzer, 200 bytes per block, each
//                                    block followed by busy polls until the analyzer has stored it
//   "ReadImage"   ReadImageCommand   the image memory back into "K41rb.tmp" in the per-user data
//                                    folder, over the length of the chosen image
// The two image commands end at once, silently, while the window is logged off, and take the image path set with
// SetFileName before the post (the text argument is not read).
//
// Block layout of an image of L bytes: the analyzer receives the first L - 1 bytes (the last
// byte of the file is neither sent nor read back), as full blocks of 200 bytes at addresses
// 0, 200, 400, ... and one final block holding the rest (0 to 199 bytes). The read-back file
// therefore holds L - 1 bytes, which is what the upgrade's compare expects. For an L that is
// not a multiple of 200 these are L / 200 full blocks and a final block of (L mod 200) - 1
// bytes; for a multiple of 200 the last block goes out as the final one with 199 bytes, so a
// block never claims more than 200 bytes.
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/shell/commands/command.h"

#include <QString>

#include <cstdint>

class QIODevice;
class QProgressBar;

namespace image {

constexpr int kBlockBytes = kMemoryBlockData;   // 200
// Images whose sent part would pass the analyzer's 32-bit address range are refused.
constexpr qint64 kMaxImageLength = qint64(1) << 32;

struct Layout {
    qint64 length = 0;       // the image file's length L (at least 1)
    qint64 fullBlocks = 0;   // blocks of 200 bytes before the final one
    uint8_t lastCount = 0;   // bytes in the final block (0..199)

    static Layout Of(qint64 length);
    // Full blocks and the final one: the progress steps of one pass.
    qint64 Blocks() const { return fullBlocks + 1; }
    uint32_t LastAddress() const { return uint32_t(fullBlocks * kBlockBytes); }
};

// The bar the image commands advance by one per block written and one per block read back
// (the upgrade window's). WriteImage sets its range to both passes and its position to 0.
// Without a bar (or once it is destroyed) nothing is advanced.
void SetProgressBar(QProgressBar* bar);
QProgressBar* ProgressBar();

// The read-back file's path: "K41rb.tmp" in the per-user data folder (in the current folder
// when there is none).
QString ReadBackPath();
inline constexpr const char* kReadBackFileName = "K41rb.tmp";

}  // namespace image

class UpgradeCommand : public Command {
public:
    void Execute() override;
};

struct ImageFileParams {
    QString fileName;
};

class WriteImageCommand : public CommandWithParameters<ImageFileParams> {
public:
    static constexpr int kBusyPollLimit = 80;
    static constexpr int kBusyPollMs = 200;

    // The image the next post writes.
    void SetFileName(const QString& path) { Staged().fileName = path; }
    void Execute() override;

    // Sends one block and polls until the analyzer has stored it; false (having said why) when
    // the request or a poll failed or the analyzer was still busy after 80 polls. The file is
    // only carried along; the command closes it.
    bool WriteBlock(const MemoryBlock& block, QIODevice& file);
};

class ReadImageCommand : public CommandWithParameters<ImageFileParams> {
public:
    // The image whose length the next post reads back.
    void SetFileName(const QString& path) { Staged().fileName = path; }
    void Execute() override;

    // Reads one block and appends its data to the file: as many bytes as the reply's count
    // says, never more than asked for. False (having said why) when the read failed.
    bool ReadBlock(uint32_t address, uint8_t count, QIODevice& file);

    // The image length found by the last run (0 before it was known).
    qint64 ImageLength() const { return imageLength_; }

private:
    qint64 imageLength_ = 0;
};
