#include "tevrin/shell/upgrade_steps.h"

#include <QLabel>
#include <QPalette>

namespace {

UpgradeSteps* g_steps = nullptr;

void Colour(const QPointer<QLabel>& label, const QColor& colour)
{
    if (!label) return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

UpgradeSteps& UpgradeSteps::Instance()
{
    if (!g_steps) g_steps = new UpgradeSteps();
    return *g_steps;
}

void UpgradeSteps::Destroy()
{
    delete g_steps;
    g_steps = nullptr;
}

QColor UpgradeSteps::LabelColour(const QLabel* label)
{
    return label ? label->palette().color(QPalette::WindowText) : QColor();
}

int UpgradeSteps::AddStep(QLabel* label, const std::vector<QLabel*>& children)
{
    Step step;
    step.label = label;
    for (QLabel* child : children) {
        Step c;
        c.label = child;
        step.children.push_back(c);
    }
    steps_.push_back(std::move(step));
    return int(steps_.size()) - 1;
}

void UpgradeSteps::SetState(int step, int sub, uint8_t state)
{
    if (step < 0 || step >= int(steps_.size())) return;
    Step& top = steps_[size_t(step)];
    if (sub >= int(top.children.size())) return;
    top.state = state;
    if (state == Step::Done) {
        if (sub < 0) {
            Colour(top.label, DoneColour());
            for (Step& c : top.children) {
                Colour(c.label, DoneColour());
                c.state = Step::Done;
            }
        } else {
            Colour(top.children[size_t(sub)].label, DoneColour());
        }
    } else if (state == Step::Idle) {
        Colour(top.label, IdleColour());
        for (Step& c : top.children) {
            Colour(c.label, IdleColour());
            c.state = Step::Idle;
        }
    }
    if (sub >= 0) top.children[size_t(sub)].state = state;
}

void UpgradeSteps::Blink()
{
    const QColor colour = phase_ ? IdleColour() : BlinkColour();
    for (Step& top : steps_) {
        if (top.state == Step::Active) Colour(top.label, colour);
        for (Step& c : top.children)
            if (c.state == Step::Active) Colour(c.label, colour);
    }
    phase_ = !phase_;
}
