#pragma once

#include <cstdint>
#include <memory>

class TStream;

// How an object is written where it is used.
enum TPdfObjectKind : std::uint8_t {
    okDirect = 0,    // its value syntax, inline; owned by its container
    okIndirect = 1,  // "n g R"; registered with and owned by the cross-reference table
    okVirtual = 2,   // "n g R"; a reference proxy (TPdfVirtualObject) naming an indirect object
};

// Base of every PDF value. Not copyable: objects are linked by identity.
class TPdfObject {
  public:
    TPdfObject() = default;
    virtual ~TPdfObject();
    TPdfObject(const TPdfObject&) = delete;
    TPdfObject& operator=(const TPdfObject&) = delete;

    TPdfObjectKind Kind() const { return kind_; }
    std::int32_t ObjectNumber() const { return objectNumber_; }
    std::int32_t GenerationNumber() const { return generationNumber_; }

    // The value syntax; the base writes nothing. Streams update their Length while writing.
    virtual void WriteValue(TStream& stream);
    // The form used where the object is referenced: the value, or "n g R".
    void WriteTo(TStream& stream);
    // "n g obj" CR LF value CR LF "endobj" CR LF; only for registered objects.
    void WriteIndirect(TStream& stream);
    // n > 0 makes the object indirect with that number, anything else direct.
    void AssignObjectNumber(std::int32_t n);

  protected:
    void SetKind(TPdfObjectKind kind) { kind_ = kind; }

  private:
    TPdfObjectKind kind_ = okDirect;
    std::int32_t objectNumber_ = -1;
    std::int32_t generationNumber_ = 0;
};

// Registers and resolves indirect objects. Its one implementation is TPdfXref, which owns
// every object it registers.
class TPdfObjectMgr {
  public:
    virtual ~TPdfObjectMgr() = default;

    // Takes a direct object over, numbers it and makes it indirect; answers it.
    virtual TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) = 0;
    // The registered object with that number.
    virtual TPdfObject* ObjectAt(std::int32_t number) const = 0;

    // AddObject keeping the static type: `auto& d = mgr.Register(std::make_unique<...>(...));`
    template <class T>
    T& Register(std::unique_ptr<T> object) {
        T* raw = object.get();
        AddObject(std::move(object));
        return *raw;
    }
};
