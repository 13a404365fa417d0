#pragma once
// Places compared by what they are: a storage (IFsBrowser::GetStorageName) and a path in it, whichever
// browser objects serve them. A share does not tell case apart, so its paths are compared without it.
// Used on the user-interface thread only, with browsers that are alive.

#include <string>

class IFsBrowser;

// Whether the browser's paths name one file whatever their case.
bool FoldsCase(const IFsBrowser& browser);
// Whether both browsers reach the same storage.
bool SameStorage(const IFsBrowser& a, const IFsBrowser& b);
// Whether pathA of a and pathB of b are one place.
bool SamePlace(const IFsBrowser& a, const std::wstring& pathA, const IFsBrowser& b,
               const std::wstring& pathB);
// Whether path of b lies inside folder of a, or is that folder; folder ends with its separator.
bool IsInsideFolder(const IFsBrowser& a, const std::wstring& folder, const IFsBrowser& b,
                    const std::wstring& path);
