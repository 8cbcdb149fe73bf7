#pragma once
// How a device command reports back to the main window: six operations keyed by text.
// The main window implements them; a key it does not know has no effect and gives the
// default result (false, -1, 0.0). The keys in use are listed in CommandKeys below.
#include <cstdint>
#include <string>

class ICommandOwner {
public:
    virtual ~ICommandOwner() = default;

    virtual void SetFlag(std::string key, bool value) = 0;
    virtual void SetNumber(std::string key, int32_t value) = 0;
    virtual void SetText(std::string key, std::string text) = 0;
    virtual bool GetFlag(std::string key) = 0;
    virtual int32_t Request(std::string key, void* argument) = 0;
    // A date-time as a day count since 30 December 1899 with the time of day as fraction.
    virtual double GetDate(std::string key, int32_t value) = 0;

    // Results for a key the owner does not know.
    static constexpr bool kDefaultFlag = false;
    static constexpr int32_t kDefaultRequest = -1;
    static constexpr double kDefaultDate = 0.0;
};

// Every key the commands use, grouped by operation.
namespace CommandKeys {

// SetFlag
inline constexpr const char* tbtnLogoff = "tbtnLogoff";           // Logoff button enabled := value
inline constexpr const char* SetLogOff = "SetLogOff";             // StateMgr::SetLogOff
inline constexpr const char* SetLogOn = "SetLogOn";               // StateMgr::SetLogOn
inline constexpr const char* tbtnLogon = "tbtnLogon";             // Logon button enabled := value (+ off-line look when true)
inline constexpr const char* SetDatabaseConfigFileTypeID = "SetDatabaseConfigFileTypeID";
inline constexpr const char* tbtnExit = "tbtnExit";               // Exit button and menu item enabled := value
inline constexpr const char* AuditFinish = "AuditFinish";
inline constexpr const char* UpdateLogView = "UpdateLogView";
inline constexpr const char* ReadALog2 = "ReadALog2";
inline constexpr const char* SaveLogFile = "SaveLogFile";
inline constexpr const char* EnablePages = "EnablePages";
inline constexpr const char* DisablePages = "DisablePages";

// SetNumber
inline constexpr const char* localPBarMax = "localPBarMax";

// SetText
inline constexpr const char* StatusLineSpecialPanel = "StatusLineSpecialPanel";

// GetFlag
inline constexpr const char* LoggingOn = "LoggingOn";             // true: NOT logged on
inline constexpr const char* tbtnPollDown = "tbtnPollDown";
inline constexpr const char* tbtnBypass = "tbtnBypass";

// Request
inline constexpr const char* SendToDatabase = "SendToDatabase";
inline constexpr const char* DateToTimestampToken = "DateToTimestampToken";
inline constexpr const char* Exit = "Exit";

// GetDate
inline constexpr const char* TimestampTokenToDate = "TimestampTokenToDate";

// The text the main window stamps on the database for "SetDatabaseConfigFileTypeID".
inline constexpr const char* DatabaseConfigFileTypeText = "Sentrel DataBase Config v1.00a";

}  // namespace CommandKeys
