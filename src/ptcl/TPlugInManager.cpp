#include "ptcl/TPlugInManager.h"

#include <QFile>

#include <dlfcn.h>

TPlugInManager::~TPlugInManager() {
    while (!m_plugIns.isEmpty()) {
        TPlugInStruct record = m_plugIns.takeLast();
        destroy(record);
    }
}

bool TPlugInManager::LoadPlugIn(const QString& fileName, const tk::PlugInGuid& interfaceId,
                                void*& interfaceReference, quint8 flag) {
    // RTLD_LOCAL keeps the plug-in's symbols from mixing with the program's or another plug-in's.
    void* library = dlopen(QFile::encodeName(fileName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    tk::IPlugInUnknown* object = nullptr;
    void* reference = nullptr;
    try {
        auto registerPlugIn =
            reinterpret_cast<tk::RegisterPlugInFunction>(dlsym(library, "RegisterPlugIn"));
        if (registerPlugIn)
            object = registerPlugIn(m_owner, flag);
        if (object && !object->QueryInterface(interfaceId, &reference)) {
            reference = nullptr;
            // An object without the interface is destroyed while its code is still loaded.
            object->Release();
        }
    } catch (...) {
        // A library that throws out of its entry point cannot be trusted with its object.
        reference = nullptr;
    }
    if (!reference) {
        dlclose(library);
        return false;
    }
    // QueryInterface added a reference; the record's object holds the one the entry point gave.
    static_cast<tk::IPlugInUnknown*>(reference)->Release();
    m_plugIns.append({object, interfaceId, library, reference, fileName});
    interfaceReference = reference;
    return true;
}

bool TPlugInManager::UnloadPlugIn(void*& interfaceReference) {
    bool found = false;
    for (qsizetype i = m_plugIns.size() - 1; i >= 0; --i) {
        if (m_plugIns.at(i).interfaceReference != interfaceReference)
            continue;
        interfaceReference = nullptr;
        TPlugInStruct record = m_plugIns.takeAt(i);
        destroy(record);
        found = true;
    }
    return found;
}

void TPlugInManager::destroy(TPlugInStruct& record) {
    if (record.plugInObject)
        record.plugInObject->Release();
    if (record.libraryHandle)
        dlclose(record.libraryHandle);
}
