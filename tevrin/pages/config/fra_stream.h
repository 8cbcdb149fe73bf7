#pragma once
// One stream of the Stream page: its gain factor, zero offset and analysis units, and a tab
// for each of its five analysis sets. Made four times, once per stream, from the tables of
// stream_sets.h.
#include "tevrin/pages/config/stream_sets.h"

#include <QFrame>

#include <array>

class QTabWidget;
class TQLabeledEdit;
class TfraAnaSetDefn;

// Marks the shown tab of a tab control in the highlight colour, now and whenever another tab
// is shown.
void HighlightShownTab(QTabWidget* tabs);

class TfraStream : public QFrame {
    Q_OBJECT
public:
    TfraStream(QWidget* parent, int stream);

    int Stream() const { return stream_; }
    // The set frames in tab order: H2S, calibration, reference 1, reference 2, zero.
    const std::array<TfraAnaSetDefn*, streamsets::kSetTabs>& Sets() const { return sets_; }
    QTabWidget* PageControlAnaSetDefns() const { return tabs_; }
    // The image index a set tab shows (2 as laid out; 1 while its set runs on time, 0 not).
    int TabImageIndex(int tab) const;

    TQLabeledEdit* ledGainFactor = nullptr;
    TQLabeledEdit* ledZeroOffset = nullptr;
    TQLabeledEdit* glAnalysisUnit = nullptr;

    // The stream's own points, then each set's in tab order (registration order).
    std::vector<int> RegisteredIds() const;

protected:
    bool event(QEvent* e) override;

private:
    void SetTabImage(int tab, int image);

    int stream_;
    QTabWidget* tabs_ = nullptr;
    std::array<TfraAnaSetDefn*, streamsets::kSetTabs> sets_{};
};
