#pragma once
// The enumerator of one folder, from IFsDir::OpenEnumeratorA. It is started once; after its end it is
// only deleted. The entries "." and ".." may come; every consumer skips them. Used on the user-interface
// thread only; the enumerator does not own its listener.

class IFsDirEnumListener;

class IFsDirEnum {
public:
    virtual ~IFsDirEnum() = default;

    // Must come before StartEnumA.
    virtual void SetListener(IFsDirEnumListener* listener) = 0;
    // Delivers every entry, then the end (IFsDirEnumListener). With details false the modification
    // times may be left unset, which spares a query per entry. The result says only whether the
    // enumeration could start; the answers may come inside this call.
    virtual unsigned long StartEnumA(bool details) = 0;
    // Ends the enumeration early: the end comes before the next entry. May be called from OnGetEntry.
    virtual void StopEnumA() = 0;
};
