// Real-time database units live beside this file.
namespace rtdb { int kUnitMarker = 0; }
