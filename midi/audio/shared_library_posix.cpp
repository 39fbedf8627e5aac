#include "midi/audio/shared_library.h"

#include <dlfcn.h>

void* SharedLibrary::open(const std::string& name)
{
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

// POSIX gives symbols as void*; a function's address may be taken through it (dlsym's contract).
SharedLibrary::Address SharedLibrary::symbol(const char* name) const
{
    return reinterpret_cast<Address>(dlsym(m_handle, name));
}
