#include "midi/audio/shared_library.h"

#include <windows.h>

void* SharedLibrary::open(const std::string& name)
{
    return LoadLibraryA(name.c_str());
}

SharedLibrary::Address SharedLibrary::symbol(const char* name) const
{
    return reinterpret_cast<Address>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}
