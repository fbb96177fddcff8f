#pragma once

#include "platform/RegistryKey.h"

#include <cstdint>
#include <string>

namespace lumarra {

// The program's way to the registry: a store bound to one key, named by a path
// that begins with a root name ("HKEY_CURRENT_USER\Software\Orvella\Korimba").
// Values are read and written below that key or below sub-keys named
// relative to it. Every operation returns 1 on success and 0 on failure, and
// a failed read leaves the caller's variable as it was, which is how callers
// apply their defaults. Writes create missing keys; reads never create any.
//
// The store keeps no key open between calls, and is not shared between
// threads. Null names count as empty: the key itself, or its unnamed value.
class RegistryStore {
public:
    explicit RegistryStore(const std::string& path);
    virtual ~RegistryStore() = default;

    // Path handling.
    virtual int SetPath(const std::string& path);
    virtual std::string GetPath() const;
    virtual std::string NormalizeKeyPath(const std::string& text) const;
    virtual int ParsePath(const std::string& text, RegistryRoot& root, std::string& subKey) const;
    virtual int ResolvePath(const char* relative, RegistryRoot& root, std::string& subKey) const;
    virtual int IsValid() const;

    // Handle layer: values of an open key.
    virtual int DeleteValue(const RegistryKey& key, const char* name);
    virtual int WriteString(const RegistryKey& key, const char* name, const char* text);
    virtual int ReadString(const RegistryKey& key, const char* name, std::string& text);
    virtual int WriteDword(const RegistryKey& key, const char* name, uint32_t value);
    virtual int ReadDword(const RegistryKey& key, const char* name, uint32_t& value);
    virtual int WriteDword(const RegistryKey& key, const char* name, int32_t value);
    virtual int ReadDword(const RegistryKey& key, const char* name, int32_t& value);
    virtual int WriteWord(const RegistryKey& key, const char* name, uint16_t value);
    virtual int ReadWord(const RegistryKey& key, const char* name, uint16_t& value);
    virtual int WriteBinary(const RegistryKey& key, const char* name, const void* data, uint32_t size);
    virtual int ReadBinary(const RegistryKey& key, const char* name, void* data, uint32_t& size);
    virtual int QueryValueType(const RegistryKey& key, const char* name, uint32_t& type);
    virtual int CreateKey(const RegistryKey& key, const char* subKey);
    virtual int DeleteKeyTree(const RegistryKey& key, const char* name);

    // Sub-key layer: the same with a sub-key of the open key, created by
    // writes and opened for the call only.
    virtual int DeleteValue(const RegistryKey& key, const char* subKey, const char* name);
    virtual int WriteString(const RegistryKey& key, const char* subKey, const char* name, const char* text);
    virtual int ReadString(const RegistryKey& key, const char* subKey, const char* name, std::string& text);
    virtual int WriteDword(const RegistryKey& key, const char* subKey, const char* name, uint32_t value);
    virtual int ReadDword(const RegistryKey& key, const char* subKey, const char* name, uint32_t& value);
    virtual int WriteDword(const RegistryKey& key, const char* subKey, const char* name, int32_t value);
    virtual int ReadDword(const RegistryKey& key, const char* subKey, const char* name, int32_t& value);
    virtual int WriteWord(const RegistryKey& key, const char* subKey, const char* name, uint16_t value);
    virtual int ReadWord(const RegistryKey& key, const char* subKey, const char* name, uint16_t& value);
    virtual int WriteBinary(const RegistryKey& key, const char* subKey, const char* name, const void* data,
        uint32_t size);
    virtual int ReadBinary(const RegistryKey& key, const char* subKey, const char* name, void* data, uint32_t& size);
    virtual int QueryValueType(const RegistryKey& key, const char* subKey, const char* name, uint32_t& type);

    // Store layer: the same with a path relative to the store's key.
    virtual int DeleteValue(const char* relative, const char* name);
    virtual int WriteString(const char* relative, const char* name, const char* text);
    virtual int ReadString(const char* relative, const char* name, std::string& text);
    virtual int WriteDword(const char* relative, const char* name, uint32_t value);
    virtual int ReadDword(const char* relative, const char* name, uint32_t& value);
    virtual int WriteDword(const char* relative, const char* name, int32_t value);
    virtual int ReadDword(const char* relative, const char* name, int32_t& value);
    virtual int WriteWord(const char* relative, const char* name, uint16_t value);
    virtual int ReadWord(const char* relative, const char* name, uint16_t& value);
    virtual int WriteBinary(const char* relative, const char* name, const void* data, uint32_t size);
    virtual int ReadBinary(const char* relative, const char* name, void* data, uint32_t& size);
    virtual int QueryValueType(const char* relative, const char* name, uint32_t& type);
    virtual int CreateKey(const char* relative);
    // Deletes the whole tree, refusing the store's root and the system's main
    // top-level keys.
    virtual int DeleteKey(const char* relative);

    // Convenience: the store layer with strings.
    virtual int DeleteValue(const std::string& relative, const std::string& name);
    virtual int WriteString(const std::string& relative, const std::string& name, const std::string& text);
    virtual int ReadString(const std::string& relative, const std::string& name, std::string& text);
    virtual int WriteDword(const std::string& relative, const std::string& name, uint32_t value);
    virtual int ReadDword(const std::string& relative, const std::string& name, uint32_t& value);
    virtual int WriteDword(const std::string& relative, const std::string& name, int32_t value);
    virtual int ReadDword(const std::string& relative, const std::string& name, int32_t& value);
    virtual int WriteWord(const std::string& relative, const std::string& name, uint16_t value);
    virtual int ReadWord(const std::string& relative, const std::string& name, uint16_t& value);
    virtual int QueryValueType(const std::string& relative, const std::string& name, uint32_t& type);
    virtual int DeleteKey(const std::string& relative);

    // Every operation opens and closes its own keys and every change is
    // written at once, so there is nothing to open, close or flush; these
    // succeed for callers that ask anyway.
    virtual int Open();
    virtual int Close();
    virtual int Flush();

private:
    template <typename Operation>
    int WithOpenedSubKey(const RegistryKey& key, const char* subKey, uint32_t access, Operation operation);
    template <typename Operation>
    int WithCreatedSubKey(const RegistryKey& key, const char* subKey, Operation operation);
    template <typename Operation>
    int WithStoreRoot(const char* relative, Operation operation);
    int DeleteValueByPath(const RegistryKey& key, const std::string& path);

    int m_valid = 0;
    RegistryRoot m_root = RegistryRoot::None;
    std::string m_path;
    std::string m_subKey;
};

}
