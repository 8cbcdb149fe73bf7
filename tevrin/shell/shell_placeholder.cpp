// Main window and command layer units live beside this file.
namespace shell { int kUnitMarker = 0; }
