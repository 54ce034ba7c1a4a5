// The code of the version-resource fixture: a DLL needs something to export.
extern "C" __declspec(dllexport) int VersionFixtureMarker() { return 7; }
