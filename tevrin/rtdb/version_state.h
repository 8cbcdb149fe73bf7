#pragma once
// Whether the analyzer's database version is one the catalogue knows. The catalogue factory
// sets it at every logon; the application state (StateMgr) reads it to keep the user out of
// Update mode when the version is unknown. A process-wide flag, 1 until a logon says otherwise.
class VersionState {
public:
    static void SetVersionKnown(int known);
    static int VersionKnown();
};
