#pragma once
// The steps of a firmware upgrade as the upgrade window shows them: top steps, each with the
// label it colours and its sub-steps in order. Done steps are blue, active ones blink between
// yellow and black, idle ones are black. One list for the whole process (the upgrade window and
// the maintenance page share it), created on first use and freed with the main window.
#include <QColor>
#include <QPointer>

#include <cstdint>
#include <vector>

class QLabel;

struct Step {
    enum State : uint8_t { Idle = 0, Active = 1, Done = 2 };

    QPointer<QLabel> label;
    uint8_t state = Idle;
    std::vector<Step> children;
};

class UpgradeSteps {
public:
    static UpgradeSteps& Instance();
    static void Destroy();

    static QColor DoneColour() { return QColor(0, 0, 255); }       // blue
    static QColor BlinkColour() { return QColor(255, 255, 0); }    // yellow
    static QColor IdleColour() { return QColor(0, 0, 0); }         // black

    // Replaces the list.
    void Clear() { steps_.clear(); }
    // Appends a top step and returns its index.
    int AddStep(QLabel* label, const std::vector<QLabel*>& children);

    // Top step `step` takes `state`; `sub` names one of its sub-steps or is -1 for all:
    //   Done, all:   the top label and every sub-step label blue, every sub-step done;
    //   Done, one:   that sub-step's label blue;
    //   Idle:        the top label and every sub-step label black, every sub-step idle;
    //   Active:      no colour changes;
    // and a named sub-step takes `state` too. A step or sub-step out of range is ignored.
    void SetState(int step, int sub, uint8_t state);
    // The blink tick: every active top step and every active sub-step (also under a top step
    // that isn't active) turns yellow on one tick and black on the next.
    void Blink();

    const std::vector<Step>& Steps() const { return steps_; }
    static QColor LabelColour(const QLabel* label);

private:
    UpgradeSteps() = default;

    std::vector<Step> steps_;
    bool phase_ = false;
};
