#pragma once

#include <string>

// A shared library loaded at run time (dlopen, LoadLibrary) and kept loaded for the rest of the
// process: pointers taken from it stay valid.
class SharedLibrary
{
public:
    // Loads the first of `names` that the system finds; none loaded is a normal state.
    template <typename... Names> [[nodiscard]] static SharedLibrary load(const Names&... names)
    {
        SharedLibrary library;
        ((library.m_handle = library.m_handle ? library.m_handle : open(names)), ...);
        return library;
    }

    [[nodiscard]] bool isLoaded() const { return m_handle != nullptr; }

    // Sets `function` to the library's symbol `name`; false (and `function` null) when missing.
    template <typename Function>
    [[nodiscard]] bool resolve(const char* name, Function*& function) const
    {
        function = reinterpret_cast<Function*>(symbol(name));
        return function != nullptr;
    }

private:
    using Address = void (*)();
    [[nodiscard]] static void* open(const std::string& name);
    [[nodiscard]] Address symbol(const char* name) const;

    void* m_handle = nullptr;
};
