#pragma once
// What every fuzz harness needs once per process: an offscreen application object, a home
// folder of its own (data folder, settings, files the harness writes) and message boxes that
// answer at once. libFuzzer runs a harness's LLVMFuzzerInitialize before the first input;
// the replay test of the normal build does the same.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

void Init();

// A file of the harness's home folder holding exactly these bytes; its path.
QString WriteFile(const QString& name, const uint8_t* data, size_t size);

// Aborts (a finding) when the condition fails, in every build.
void Require(bool condition, const char* what);

}  // namespace fuzz

// Each harness defines these two.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
