#pragma once
// Declarations of the exported routines, for the library itself and for code that links it
// directly (its tests). The program does not include this: it resolves the routines by name
// through the function types and the name table of ombrel_api.h.
#include "ombrel/ombrel_api.h"

#define OMBREL_EXPORT __attribute__((visibility("default")))

// Each export gets the exact type that the loader's function pointer uses.
extern "C" {
OMBREL_EXPORT void Initialize(void);
OMBREL_EXPORT void Cleanup(void);
OMBREL_EXPORT void DoMyBroadcast(QWidget* control, TMessage* message, bool skipSelf, bool stopOnResult);
OMBREL_EXPORT void EnableGroup(QWidget* control);
OMBREL_EXPORT void DisableGroup(QWidget* control);
OMBREL_EXPORT void LocalStatusBarMsg(QWidget* owner, const char* text, uint32_t colour, bool beep);
OMBREL_EXPORT int GetHelpContextVESKA(QObject* object);
OMBREL_EXPORT void RequestPoll(int n);
OMBREL_EXPORT void RequestRead(int n);
OMBREL_EXPORT bool IsUpdateMode(void);
OMBREL_EXPORT bool IsFactoryMode(void);
OMBREL_EXPORT int GetIniFile(char* out, int outSize);
OMBREL_EXPORT int CharArr2AnsiString(const char* chars, int maxLength, char* out, int outSize);
OMBREL_EXPORT int FormatFlt(float value, char* out, int outSize);
OMBREL_EXPORT double TimestampTokenToDate(uint32_t token);
OMBREL_EXPORT uint32_t DateToTimestampToken(double dateTime);
OMBREL_EXPORT void GetDUTDescriptions(OmbrelAddLine add, void* context);
OMBREL_EXPORT int GetUnitDescriptions(int group, OmbrelAddLine add, void* context);
OMBREL_EXPORT int GetDUTDesc(int group, char* out, int outSize);
OMBREL_EXPORT int GetUnitsDesc(uint16_t code, char* out, int outSize);
OMBREL_EXPORT double UnitConvert(int group, int fromUnit, int toUnit, float value);
OMBREL_EXPORT int msec2secA(uint32_t milliseconds, char* out, int outSize);
OMBREL_EXPORT int samp2secA(uint32_t samples, char* out, int outSize);
OMBREL_EXPORT int secA2msec(const char* text);
OMBREL_EXPORT int secA2samp(const char* text, bool* ok);
OMBREL_EXPORT void StdDevAndMean(const double* values, int n, double* mean, double* standardDeviation);
}
