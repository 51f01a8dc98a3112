// A loadable library without DSM_Entry, for the tests of a source manager library that lacks
// its entry point.

extern "C" __attribute__((visibility("default"))) int NotTheEntry() { return 0; }
