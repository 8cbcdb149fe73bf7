#pragma once
// The process-wide list of the main window's page frames by tab index, and the page control
// they hang on. It holds the frames but does not own them: the main window does.
#include <array>

class QTabWidget;
class QWidget;

class PageRegistry {
public:
    static constexpr int kSlots = 20;   // slots 17 to 19 stay empty

    static PageRegistry& Instance();
    static bool Exists();
    // Forgets the list (the frames stay with their owner).
    static void Destroy();

    void SetPageControl(QTabWidget* pages) { pageControl_ = pages; }
    QTabWidget* PageControl() const { return pageControl_; }
    // Stores a frame in slot i; a slot outside 0..19 is ignored.
    void SetFrame(QWidget* frame, int i);
    // The frame of slot i, or nullptr.
    QWidget* Frame(int i) const;
    // Makes frame i the content of tab sheet p, inside a scrolling area that fills the sheet.
    // Nothing when either is missing.
    void Place(int p, int i);

private:
    PageRegistry() = default;
    std::array<QWidget*, kSlots> frames_{};
    QTabWidget* pageControl_ = nullptr;
};
