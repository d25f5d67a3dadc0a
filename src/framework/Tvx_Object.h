#pragma once

class Tarvex;

// What a general object reference of the program can do, whatever the class behind it: tell its
// class name (the error reports show it) and terminate. The root terminates its services, and the
// dialog owner its windows, through this interface without naming their classes.
class Tvx_Object {
public:
    virtual ~Tvx_Object() = default;
    virtual const char* TypeName() const noexcept = 0;
    virtual void ClassTerminate() = 0;

protected:
    Tvx_Object() = default;
    Tvx_Object(const Tvx_Object&) = delete;
    Tvx_Object& operator=(const Tvx_Object&) = delete;
};
