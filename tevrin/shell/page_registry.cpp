#include "tevrin/shell/page_registry.h"

#include <QLayout>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace {
PageRegistry* g_registry = nullptr;
}

PageRegistry& PageRegistry::Instance()
{
    if (!g_registry) g_registry = new PageRegistry();
    return *g_registry;
}

bool PageRegistry::Exists() { return g_registry != nullptr; }

void PageRegistry::Destroy()
{
    delete g_registry;
    g_registry = nullptr;
}

void PageRegistry::SetFrame(QWidget* frame, int i)
{
    if (i < 0 || i >= kSlots) return;
    frames_[static_cast<size_t>(i)] = frame;
}

QWidget* PageRegistry::Frame(int i) const
{
    return i >= 0 && i < kSlots ? frames_[static_cast<size_t>(i)] : nullptr;
}

void PageRegistry::Place(int p, int i)
{
    QWidget* frame = Frame(i);
    QWidget* sheet = pageControl_ ? pageControl_->widget(p) : nullptr;
    if (!frame || !sheet) return;
    QLayout* layout = sheet->layout();
    if (!layout) {
        layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    // The frame sits in a borderless scrolling area that fills the sheet, so that a page larger
    // than the window scrolls instead of stretching the main window past the screen.
    auto* area = new QScrollArea(sheet);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(frame);
    layout->addWidget(area);
}
