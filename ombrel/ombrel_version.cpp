// Identifies the library; the exported routines live in the other units of this folder.
extern "C" const char* OmbrelVersion() { return "1.0"; }
