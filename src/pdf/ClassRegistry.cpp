#include "pdf/ClassRegistry.h"

#include <map>

namespace {

// Letter case is folded for ASCII only, as the registered names are ASCII.
std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::map<std::string, std::unique_ptr<TNamedClass>>& Registry() {
    static std::map<std::string, std::unique_ptr<TNamedClass>> registry;
    return registry;
}

}  // namespace

void RegisterNamedClass(std::unique_ptr<TNamedClass> cls, std::string_view name) {
    if (!cls) return;
    Registry()[FoldCase(name)] = std::move(cls);
}

const TNamedClass& FindNamedClass(std::string_view name) {
    const auto it = Registry().find(FoldCase(name));
    if (it == Registry().end()) throw EClassNotFound("Class " + std::string(name) + " not found");
    return *it->second;
}
