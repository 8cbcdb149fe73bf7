// Identifies the library; the exported interface lives in the other units of this folder.
extern "C" const char* PollardVersion() { return "1.0"; }
