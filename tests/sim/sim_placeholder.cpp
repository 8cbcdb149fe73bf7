// The simulator's core and wire server live in core/ and wire/.
namespace sim { int kUnitMarker = 0; }
