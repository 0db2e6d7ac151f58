#pragma once

#include "ptcl/IPtclPlugIn.h"

#include <QList>
#include <QString>

// One loaded plug-in: the object its entry point made, the interface asked of it, the library
// and the file it came from.
struct TPlugInStruct {
    tk::IPlugInUnknown* plugInObject = nullptr;
    tk::PlugInGuid interfaceId{};
    void* libraryHandle = nullptr;
    void* interfaceReference = nullptr;
    QString fileName;
};

// Loads plug-in libraries, obtains an interface from the object each one registers, keeps a
// record of it and unloads it again. The manager keeps each object alive through its own record
// and never counts references on the interface it hands out.
class TPlugInManager {
public:
    TPlugInManager() = default;
    ~TPlugInManager();
    TPlugInManager(const TPlugInManager&) = delete;
    TPlugInManager& operator=(const TPlugInManager&) = delete;

    // Loads fileName, calls its "RegisterPlugIn" export with the owner and flag and asks the
    // object for interfaceId. Answers false, with the library released, when any step fails.
    bool LoadPlugIn(const QString& fileName, const tk::PlugInGuid& interfaceId,
                    void*& interfaceReference, quint8 flag);
    // Unloads every plug-in whose interface is interfaceReference and sets it to nullptr.
    bool UnloadPlugIn(void*& interfaceReference);

    int count() const { return m_plugIns.size(); }

private:
    static void destroy(TPlugInStruct& record);

    QList<TPlugInStruct> m_plugIns;
    void* m_owner = nullptr; // handed to each entry point; none in this program
};
