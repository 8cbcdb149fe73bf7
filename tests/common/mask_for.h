#pragma once
// Holds the process's file-creation mask at a value while it lives.
#include <sys/stat.h>

namespace testsupport {

class MaskFor {
public:
    explicit MaskFor(mode_t mask) : old_(::umask(mask)) {}
    ~MaskFor() { ::umask(old_); }
    MaskFor(const MaskFor&) = delete;
    MaskFor& operator=(const MaskFor&) = delete;

private:
    mode_t old_;
};

}  // namespace testsupport
