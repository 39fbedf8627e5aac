#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A shared library loaded at run time (dlopen) and kept loaded for the rest of the process:
// pointers taken from it stay valid.
class SharedLibrary
{
public:
    using Address = void (*)();

    // One function of a table: its name in the library, and the table's member that gets its
    // address.
    class Symbol
    {
    public:
        template <typename Function>
        Symbol(const char* name, Function*& function)
            : m_name(name)
            , m_function(&function)
            , m_assign([](void* target, Address address) {
                *static_cast<Function**>(target) = reinterpret_cast<Function*>(address);
            })
        { }

    private:
        friend class SharedLibrary;
        const char* m_name;
        void* m_function;
        void (*m_assign)(void*, Address);
    };

    // Loads the first of `names` that the system finds; none loaded is a normal state.
    [[nodiscard]] static SharedLibrary load(std::initializer_list<const char*> names);

    [[nodiscard]] bool isLoaded() const { return m_handle != nullptr; }

    // Sets each symbol's function; false when one is missing.
    [[nodiscard]] bool resolve(const std::vector<Symbol>& symbols) const;

private:
    [[nodiscard]] static void* open(const std::string& name);
    [[nodiscard]] Address symbol(const char* name) const;

    void* m_handle = nullptr;
};

// A table of functions from the first of `libraryNames` that the system finds, loaded on the
// first call and kept for the life of the process; null when the library or one of the functions
// is missing. `symbols(table)` lists the table's members with their names.
template <typename Table, typename Symbols>
[[nodiscard]] const Table* functionTable(
    std::initializer_list<const char*> libraryNames, Symbols symbols)
{
    static const std::optional<Table> table = [&]() -> std::optional<Table> {
        const SharedLibrary library = SharedLibrary::load(libraryNames);
        Table functions {};
        if (!library.isLoaded() || !library.resolve(symbols(functions)))
            return std::nullopt;
        return functions;
    }();
    return table ? &*table : nullptr;
}
