#include "brannix/qzoominfo.h"

void TQZoomInfo::AddZoom(float a, float b, float c, float d)
{
    if (level_ >= kCapacity - 1) return;
    ++level_;
    entries_[static_cast<size_t>(level_)] = TZoomRect{a, b, c, d};
}

TZoomRect TQZoomInfo::GetPreviousZoom()
{
    level_ = level_ > 0 ? static_cast<int16_t>(level_ - 1) : int16_t(0);
    return entries_[static_cast<size_t>(level_)];
}
