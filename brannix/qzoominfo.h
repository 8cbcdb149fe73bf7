#pragma once
// Zoom history of a chart: a bounded stack of up to 50 rectangles, so that a step back
// returns to the view before the last zoom.
#include <QObject>
#include <array>
#include <cstdint>

struct TZoomRect {
    float a = 0, b = 0, c = 0, d = 0;   // as given to AddZoom (x min, x max, y min, y max)
    bool operator==(const TZoomRect& o) const { return a == o.a && b == o.b && c == o.c && d == o.d; }
};

class TQZoomInfo : public QObject {
    Q_OBJECT
public:
    static constexpr int kCapacity = 50;

    explicit TQZoomInfo(QObject* parent = nullptr) : QObject(parent) {}

    // Records a rectangle on top; once 50 are held, further ones are not recorded.
    void AddZoom(float a, float b, float c, float d);
    // Drops the top entry and returns the one below it; at the bottom the first entry is
    // returned again.
    TZoomRect GetPreviousZoom();
    // Empties the stack (the entries are kept, only the level goes).
    void ClearZoomInfo() { level_ = -1; }
    // The index of the top entry; -1 when empty.
    int16_t GetZoomLevel() const { return level_; }

private:
    std::array<TZoomRect, kCapacity> entries_{};
    int16_t level_ = -1;
};
