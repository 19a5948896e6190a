#pragma once

namespace zumzik {

class TFiler;

// The base of the objects that can be copied into one another and stored in a description.
// Copying is a double dispatch: the target's Assign handles the sources it knows, and hands the
// others to the source's AssignTo, which fails unless the source knows the target.
class TPersistent {
public:
    virtual ~TPersistent() = default;

    // Copies this object into dest; the base knows no target and fails.
    virtual void AssignTo(TPersistent& dest) const;
    // Declares the stored properties that are not plain values; the base has none.
    virtual void DefineProperties(TFiler& filer);
    // Copies source into this object; the base asks the source to do it, and fails for null.
    virtual void Assign(const TPersistent* source);

    // The name under which errors show the object's class.
    virtual const char* ClassName() const = 0;

protected:
    // Raises "Cannot assign a <source's class> to a <this class>".
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

} // namespace zumzik
