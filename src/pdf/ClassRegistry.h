#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pdf/PdfErrors.h"

// A class that can be constructed by name: the process-wide class registry maps names to
// these. Each kind of registered class (fonts, image creators) is a TNamedClassOf<Base, Args>
// that builds a Base from Args.
class TNamedClass {
  public:
    virtual ~TNamedClass() = default;
};

template <class Base, class... Args>
class TNamedClassOf final : public TNamedClass {
  public:
    using Factory = std::unique_ptr<Base> (*)(Args...);
    explicit TNamedClassOf(Factory factory) : factory_(factory) {}

    std::unique_ptr<Base> Create(Args... args) const { return factory_(args...); }

    // The class of Derived, constructed from Args.
    template <class Derived>
    static std::unique_ptr<TNamedClassOf> Of() {
        return std::make_unique<TNamedClassOf>([](Args... args) -> std::unique_ptr<Base> {
            return std::make_unique<Derived>(args...);
        });
    }

  private:
    Factory factory_;
};

// Registers (or replaces) the class under the name. Called at program start, before any
// document exists, through each module's explicit registration function
// (RegisterStandardFonts, ...); the registry owns the class objects for the process's life.
void RegisterNamedClass(std::unique_ptr<TNamedClass> cls, std::string_view name);

// The class registered under a name equal to the given one without regard to letter case;
// EClassNotFound "Class %s not found" when there is none.
const TNamedClass& FindNamedClass(std::string_view name);

// FindNamedClass, answering only a class of the wanted kind; a class of another kind is as
// good as none ("Class %s not found").
template <class ClassKind>
const ClassKind& FindNamedClassOf(std::string_view name) {
    const auto* cls = dynamic_cast<const ClassKind*>(&FindNamedClass(name));
    if (!cls) throw EClassNotFound("Class " + std::string(name) + " not found");
    return *cls;
}
