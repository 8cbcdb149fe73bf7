#pragma once
// The Alarms page (page 11): a light for every system alarm, the analysis alarms of each stream
// and the analog input limits. The page polls through the main window and writes nothing.
#include "tevrin/pages/page_frame.h"

#include <array>
#include <vector>

class QWidget;
class TQImageBase;
class TQLabel;

class TfrmAlarm : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmAlarm(QWidget* owner);

    // The points the page registers now, in order: the system and stream-1 alarms, the analog
    // input limits and the four locks, then the lights of the streams 2 to 4 that exist.
    std::vector<int> PagePoints() const;
    // Streams (1..4) whose panels show; 1 before a stream count arrived.
    int StreamsShown() const { return streamsShown_; }

    TQLabel* lblStream4() const { return lblStream4_; }
    TQLabel* QLabel71() const { return qLabel71_; }
    QWidget* StreamPanel(int stream) const { return streamPanels_[static_cast<size_t>(stream - 1)]; }

protected:
    std::vector<int> FixedPointsBefore() const override { return PagePoints(); }
    bool RegistersBoundControls() const override { return false; }

private:
    void ShowStreams(int streams);
    TQImageBase* AddLight(QWidget* parent, const QString& name, int dbId, const QString& caption, bool system = false);

    std::array<QWidget*, 4> streamPanels_{};
    TQLabel* lblStream4_ = nullptr;
    TQLabel* qLabel71_ = nullptr;
    int streamsShown_ = 1;
};
