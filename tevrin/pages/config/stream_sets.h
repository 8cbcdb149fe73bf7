#pragma once
// The analyzer points of the Stream page: for each of the four streams its own settings and,
// for each of its five set tabs (run kinds), the points of one analysis-set definition; the
// run-request points of every run kind. The frames are made once per stream and set from
// these tables.
#include "brannix/database_glue.h"

#include <array>

namespace streamsets {

constexpr int kStreams = 4;
constexpr int kSetTabs = 5;

// The set tabs in their order on a stream frame, numbered as the run requests count kinds:
// 1 H2S (sample), 3 calibration, 4 reference 1, 5 reference 2, 6 zero (2, total sulphur, has
// no tab).
constexpr std::array<int, kSetTabs> kTabKinds = {1, 3, 4, 5, 6};

// The points of one set definition, in the order the page registers them. 0: no point.
enum Field {
    Name, ConsecRuns, RunsToAvg, CalGasConc, Time, Day, Hour, Minute, SampleDelay, SampleInterval, Tsc, Switching,
    AO1Enable, AO1Function, AO1Channel, AO2Enable, AO2Function, AO2Channel,
    DevEnable, DevLimit, DevBits, HighEnable, HighLimit, HighBits,
    PaaEnable, PaaLimit, PaaBits, Duration, LockEnable, LockLimit, LockBits, StrmCalUsed,
    kFieldCount
};
using SetIds = std::array<TDbId, kFieldCount>;

// The set on tab `tab` (0..4) of stream `stream` (1..4).
const SetIds& SetOf(int stream, int tab);

// The points of a stream frame itself.
struct StreamIds {
    TDbId gain, zeroOffset, analysisUnits;
    TDbId calCorrEnable, zeroCorrEnable, timedAnalysisEnable;
};
const StreamIds& StreamOf(int stream);

// Run requests: the point of run kind `kind` (1..6) of stream `stream` (1..4), and the text
// that asks before the run is requested.
TDbId RunRequestId(int stream, int kind);
const char* RunRequestQuestion(int kind);
// The request button of a set tab: caption and hint.
const char* RequestKindCaption(int kind);   // "Sample" / "H2S", "Calibration", ...

}  // namespace streamsets
