#pragma once
// What depends on a network folder's or a local place's browser, so that it is let go of before that
// browser goes or its place moves. Used on the user-interface thread only, with browsers that are alive.

class IFsBrowser;
class RemoteFolder;

// Whether browser reaches its files through the folder's browser: it is that browser, the classic client
// that serves for it, or the browser of an archive lying on either (at any depth). False for null.
bool RestsOnFolder(const IFsBrowser* browser, const RemoteFolder* folder);

// Whether browser is base or the browser of an archive lying on it (at any depth). False for null.
bool RestsOnBrowser(const IFsBrowser* browser, const IFsBrowser* base);
