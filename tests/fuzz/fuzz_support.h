#pragma once
// What every fuzz harness needs once per process: an offscreen application object, a home
// folder of its own (data folder, settings, files the harness writes) and message boxes that
// answer at once. libFuzzer runs a harness's LLVMFuzzerInitialize before the first input;
// the replay test of the normal build does the same.
#include "platform/clock.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

void Init();

// A file of the harness's home folder holding exactly these bytes; its path.
QString WriteFile(const QString& name, const uint8_t* data, size_t size);

// Writes a settings file (an absolute path) holding exactly these bytes. Qt keeps a parsed ini
// file while its size and time stay the same: each call gives the file a time of its own, so
// that each input is read afresh. False when the file cannot be written.
bool WriteSettingsFile(const QString& path, const uint8_t* data, size_t size);

// Sleeping only moves the time on: the pauses of busy polls and dials cost nothing.
class QuickClock : public platform::IClock {
public:
    int64_t NowMs() override { return now_; }
    void SleepMs(int ms) override { now_ += ms > 0 ? ms : 0; }

private:
    int64_t now_ = 0;
};

// Aborts (a finding) when the condition fails, in every build.
void Require(bool condition, const char* what);

}  // namespace fuzz

// Each harness defines these two.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
