#include "midi/audio/shared_library.h"

SharedLibrary SharedLibrary::load(std::initializer_list<const char*> names)
{
    SharedLibrary library;
    for (const char* name : names) {
        if (!library.isLoaded())
            library.m_handle = open(name);
    }
    return library;
}

bool SharedLibrary::resolve(const std::vector<Symbol>& symbols) const
{
    for (const Symbol& s : symbols) {
        const Address address = symbol(s.m_name);
        if (address == nullptr)
            return false;
        s.m_assign(s.m_function, address);
    }
    return true;
}
