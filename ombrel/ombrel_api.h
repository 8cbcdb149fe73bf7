#pragma once
// Ombrel, the shared GUI routines: the exported call interface as the loading side sees it.
//
// The program loads libombrel.so by file name and resolves every routine by its plain name
// (no decoration). This header holds, in one place, the names and the C function types of
// every export, so that the loader binds them from the table below and never spells a name
// twice:
//
//     #define BIND(name) name##_ = reinterpret_cast<OmbrelFn_##name>(lib.resolve(#name));
//     OMBREL_EXPORTS(BIND)
//
// Conventions shared by all exports
// - Widgets and the message record are passed as pointers to the caller's own Qt objects
//   (both sides use the same Qt libraries); in C they are opaque pointers.
// - Text going in is a NUL-terminated byte string (UTF-8 where it is shown on screen).
// - Text coming out ("out text") is written into the caller's buffer `out` of `outSize` bytes,
//   like snprintf: at most outSize - 1 bytes and a terminating NUL (nothing when out is null or
//   outSize <= 0). The result is the full length of the text without the NUL, so a result of
//   outSize or more means the text was cut; call with (nullptr, 0) to learn the length.
// - Lists of names are handed out one name at a time through OmbrelAddLine, in order. The
//   caller starts from an empty list of its own.
// - Date-times are the classic day count: days since 30 December 1899 as a double, the time of
//   day as the fraction (0.5 is noon), local wall-clock time.
// - Nothing is kept between calls; no export changes a process-wide setting.
#include <stdint.h>

#ifdef __cplusplus
class QObject;
class QWidget;
class TMessage;   // platform/messages.h: one window message {Msg, WParam, LParam, Result}
extern "C" {
#else
#include <stdbool.h>
typedef struct QObject QObject;
typedef struct QWidget QWidget;
typedef struct TMessage TMessage;
#endif

// Colours for LocalStatusBarMsg: 0x00RRGGBB for a plain colour, or one of the system colours
// below (taken from the application's palette when used).
#define OMBREL_CL_WINDOW 0x80000005u       // window background (palette Base)
#define OMBREL_CL_WINDOWTEXT 0x80000008u   // window text (palette WindowText)
#define OMBREL_CL_BTNFACE 0x8000000Fu      // button face (palette Button)
#define OMBREL_CL_GRAYTEXT 0x80000011u     // grey (disabled) text

// The token DateToTimestampToken gives for a date-time that a token cannot carry (before the
// year 2000, after 2063, not a number). Its hour field is 31, so it never stands for a real
// time, and TimestampTokenToDate turns it into 0.0.
#define OMBREL_INVALID_TOKEN 0xFFFFFFFFu

// Receives one name of a list. `context` is the caller's own pointer, passed through.
typedef void (*OmbrelAddLine)(void* context, const char* line);

// --- Library ---------------------------------------------------------------------------------
// Does nothing; the library owns nothing. Called once after the exports are bound.
typedef void (*OmbrelFn_Initialize)(void);
// Does nothing.
typedef void (*OmbrelFn_Cleanup)(void);

// --- Controls --------------------------------------------------------------------------------
// Delivers `message` (synchronously, as an event) to `control` unless skipSelf, then depth
// first to every widget below it, a parent before its children and a child's whole subtree
// before its next sibling; the children are read afresh at every step, and widgets that are
// windows of their own (dialogs, top-level widgets) are not entered. With stopOnResult the
// first non-zero message->Result ends the whole walk. Null control or message: nothing.
typedef void (*OmbrelFn_DoMyBroadcast)(QWidget* control, TMessage* message, bool skipSelf,
                                       bool stopOnResult);
// Enable / disable a control and its direct child widgets; a QGroupBox also gets its text
// colour set to window text (enable) or grey text (disable).
typedef void (*OmbrelFn_EnableGroup)(QWidget* control);
typedef void (*OmbrelFn_DisableGroup)(QWidget* control);
// Writes `text` into the first QStatusBar among the direct children of `owner`: into panel 0
// when the bar has panels, else as the bar's own message (QStatusBar::showMessage, simple
// mode). A bar's panels are the widgets it lays out (its direct child widgets but its size
// grip, in child order); panel 0 gets the text as its "text" property (a QLabel's text).
// Sets the bar's background to `colour` (see OMBREL_CL_*), repaints it and beeps when `beep`
// is set. No status bar: no effect, no beep.
typedef void (*OmbrelFn_LocalStatusBarMsg)(QWidget* owner, const char* text, uint32_t colour,
                                           bool beep);
// The help context of an object: its "HelpContextVESKA" property as an int, 0 when it has
// none (or when object is null).
typedef int (*OmbrelFn_GetHelpContextVESKA)(QObject* object);
// Send the main form (platform::MainForm) the message WM_REQUEST_POLL / WM_REQUEST_READ with
// WParam n and LParam 0. No main form: nothing.
typedef void (*OmbrelFn_RequestPoll)(int n);
typedef void (*OmbrelFn_RequestRead)(int n);
// Always false: the library keeps no user level.
typedef bool (*OmbrelFn_IsUpdateMode)(void);
typedef bool (*OmbrelFn_IsFactoryMode)(void);
// The path of the per-user settings file: the per-user data folder + "/VESKA.INI" (UTF-8).
// Only computed; the file is never read or written.
typedef int (*OmbrelFn_GetIniFile)(char* out, int outSize);

// --- Text ------------------------------------------------------------------------------------
// A fixed-width character field of at most maxLength bytes to text: a byte above 0xB0 ends
// the field (0xFF padding), so does a NUL; trailing blanks and control characters are removed.
// A null field, a field starting with NUL or a maxLength <= 0 gives the empty text. The bytes
// are copied unchanged.
typedef int (*OmbrelFn_CharArr2AnsiString)(const char* chars, int maxLength, char* out,
                                           int outSize);
// A single-precision analyzer value as display text, '.' as decimal separator whatever the
// locale: "%.2f" above 100, "%.3f" above 10, "%.4f" above 1, "%.5f" above 0, "0" for zero;
// "NAN" when the exponent field is 254 or 255 (infinities, NaNs, magnitudes of 2^127 and up).
typedef int (*OmbrelFn_FormatFlt)(float value, char* out, int outSize);

// --- Timestamp token -------------------------------------------------------------------------
// Token bits, least significant first: second 0-5, minute 6-11, hour 12-16, day 17-21,
// month 22-25, year - 2000 26-31.
// The date-time of a token; month 0 or above 12 reads as 1, day 0 as 1; a token whose fields
// form no real date and time (31 April, hour 24 ...) gives 0.0. Thread-safe.
typedef double (*OmbrelFn_TimestampTokenToDate)(uint32_t token);
// The token of a date-time, milliseconds dropped. A date-time outside the years 2000 to 2063
// (or not a finite number) is refused with OMBREL_INVALID_TOKEN. Thread-safe.
typedef uint32_t (*OmbrelFn_DateToTimestampToken)(double dateTime);

// --- Units -----------------------------------------------------------------------------------
// Engineering units: 22 groups (0 to 21), each with its units in a fixed order.
// The 22 group names, in order.
typedef void (*OmbrelFn_GetDUTDescriptions)(OmbrelAddLine add, void* context);
// The unit names of a group, in order; returns the unit count (0 and no names for a group
// outside 0..21 or without units).
typedef int (*OmbrelFn_GetUnitDescriptions)(int group, OmbrelAddLine add, void* context);
// The name of a group, "unknown type" for one outside 0..21.
typedef int (*OmbrelFn_GetDUTDesc)(int group, char* out, int outSize);
// The name of a unit, code = group + 256 * unit; "unknown units" when there is no such unit.
typedef int (*OmbrelFn_GetUnitsDesc)(uint16_t code, char* out, int outSize);
// Converts a value between two units of one group. Temperature (group 11) by its offsets, the
// clock group (21) unchanged, every other group through its base unit. A group or unit that
// does not exist (or a group without units) gives NaN. In the temperature group an unknown
// target unit leaves the value unconverted and an unknown source unit counts as Centigrade.
typedef double (*OmbrelFn_UnitConvert)(int group, int fromUnit, int toUnit, float value);

// --- Time units and statistics -----------------------------------------------------------------
// Milliseconds as seconds text "s.mmm" (1500 gives "1.500").
typedef int (*OmbrelFn_msec2secA)(uint32_t milliseconds, char* out, int outSize);
// Samples (60 per second) as seconds text "s.mmm" (90 gives "1.500").
typedef int (*OmbrelFn_samp2secA)(uint32_t samples, char* out, int outSize);
// Seconds text to milliseconds: "1.5" gives 1500, ".25" 250, "2." 2000; fraction digits past the
// third are cut; a leading minus makes the whole value negative ("-1.5" gives -1500). Blank
// text gives 0. A text that is not a decimal number (or whose milliseconds
// do not fit an int) gives 0 after the message box "\"<text>\" is not numeric".
typedef int (*OmbrelFn_secA2msec)(const char* text);
// Seconds text to samples (60 per second), read as secA2msec reads it: "1.5" gives 90, "0.017"
// gives 1, "-1.5" gives -90. Instead of raising a conversion error, a text that is not
// a decimal number (or out of range) gives 0 and sets *ok to false; *ok is true otherwise
// (ok may be null).
typedef int (*OmbrelFn_secA2samp)(const char* text, bool* ok);
// Mean and sample standard deviation (divisor n - 1) of n values. One value: the value and a
// deviation of 0; no values (n <= 0 or values null): 0 and 0. Constant data give exactly 0.
// mean and standardDeviation may be null.
typedef void (*OmbrelFn_StdDevAndMean)(const double* values, int n, double* mean,
                                       double* standardDeviation);

#ifdef __cplusplus
}  // extern "C"
#endif

// Every export, by name. X(name) is applied once per export; its function type is
// OmbrelFn_##name and its symbol in the library is the plain name.
#define OMBREL_EXPORTS(X) \
    X(Initialize)            \
    X(Cleanup)               \
    X(EnableGroup)           \
    X(DisableGroup)          \
    X(LocalStatusBarMsg)     \
    X(CharArr2AnsiString)    \
    X(DoMyBroadcast)         \
    X(FormatFlt)             \
    X(GetHelpContextVESKA)   \
    X(TimestampTokenToDate)  \
    X(DateToTimestampToken)  \
    X(IsUpdateMode)          \
    X(IsFactoryMode)         \
    X(GetIniFile)            \
    X(RequestPoll)           \
    X(RequestRead)           \
    X(msec2secA)             \
    X(secA2msec)             \
    X(samp2secA)             \
    X(secA2samp)             \
    X(StdDevAndMean)         \
    X(GetDUTDescriptions)    \
    X(GetUnitDescriptions)   \
    X(GetDUTDesc)            \
    X(GetUnitsDesc)          \
    X(UnitConvert)

// The eleven that the program binds at start-up, in the order it binds them.
#define OMBREL_STARTUP_EXPORTS(X) \
    X(Initialize)                 \
    X(Cleanup)                    \
    X(EnableGroup)                \
    X(DisableGroup)               \
    X(LocalStatusBarMsg)          \
    X(CharArr2AnsiString)         \
    X(DoMyBroadcast)              \
    X(FormatFlt)                  \
    X(GetHelpContextVESKA)        \
    X(TimestampTokenToDate)       \
    X(DateToTimestampToken)

#ifdef __cplusplus
// The file name the program loads, from its own folder.
inline constexpr const char* kOmbrelLibraryFile = "libombrel.so";
#endif
