// Identifies the library; the controls live in the other units of this folder.
extern "C" const char* BrannixVersion() { return "1.0"; }
