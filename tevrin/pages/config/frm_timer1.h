#pragma once
// The Timers page (page 16): the analyzer's twelve weekly timers on two tabs of six. The
// timers travel as one 144-byte block (twelve 12-byte records): it comes in through the
// structure observer whenever the database's timer manager publishes it, and goes back at the
// main window's write (QM_BEFOREPOST). The page writes no single point.
#include "tevrin/pages/page_frame.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/analyzer_records.h"

#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class TfrmTimer1;
}
class QTabWidget;
class TfrmTimerSetup;
class TQStructOberver;

using TimerBytes = std::array<uint8_t, kTimerBlockSize>;

class TfrmTimer1 : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmTimer1(QWidget* owner);
    ~TfrmTimer1() override;

    void LoadFromRecords(const TimerBytes& block);
    // The block from the twelve timers. False, with the reason in error and block untouched,
    // when a timer's hour or minute is not valid.
    bool PackRecords(TimerBytes& block, QString* error) const;

    TfrmTimerSetup* Timer(int number) const { return timers_.at(static_cast<size_t>(number - 1)); }   // 1..12
    QTabWidget* PageControl() const;
    // The hidden test toggle ("T"): down sets every timer to everyday at 8:00 with every box
    // checked, up clears them; then says what the written block must hold.
    void btnTestClick(bool down);

protected:
    // Only the stream count.
    std::vector<int> FixedPointsBefore() const override { return {DataBase::kStreamsDbId}; }
    bool RegistersBoundControls() const override { return false; }
    void OnRegisterDatabase(TMessage& m) override;
    // Stores the block unless the page was never shown. An invalid timer is reported and stores
    // nothing; while the page is current it also refuses the post (non-zero result), so that
    // nothing is written.
    void OnBeforePost(TMessage& m) override;

private:
    std::unique_ptr<Ui::TfrmTimer1> ui;
    std::array<TfrmTimerSetup*, kTimerCount> timers_{};
    TQStructOberver* observer_ = nullptr;
};
