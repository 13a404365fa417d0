#pragma once
// Places compared by what they are: a storage (IFsBrowser::GetStorageName) and a path in it, whichever
// browser objects serve them. A share does not tell case apart, so its paths are compared without it.
// Used on the user-interface thread only, with browsers that are alive.

#include <string>

class IFsBrowser;

// Whether the browser's paths name one file whatever their case.
bool FoldsCase(const IFsBrowser& browser);
// Whether both browsers reach the same storage: of the same name, or of names noted as one storage.
bool SameStorage(const IFsBrowser& a, const IFsBrowser& b);
// Notes that the storages of two names are one (a share reached by two names of its server, as a probe
// found): from then on, for as long as the program runs, places on both are compared as on one.
void NoteSameStorage(const std::wstring& a, const std::wstring& b);
// Whether pathA of a and pathB of b are one place.
bool SamePlace(const IFsBrowser& a, const std::wstring& pathA, const IFsBrowser& b,
               const std::wstring& pathB);
// Whether path of b lies inside folder of a, or is that folder; folder ends with its separator.
bool IsInsideFolder(const IFsBrowser& a, const std::wstring& folder, const IFsBrowser& b,
                    const std::wstring& path);
