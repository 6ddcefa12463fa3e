// IUnknown for every DirectDraw and DirectInput object of the platform: reference
// counting, the interface check of QueryInterface and the journal entries of all three.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "core/diagnostics.h"
#include "core/open_call.h"
#include "win/base.h"

namespace orv::platform {

// Objects whose last reference was released. Their shells stay allocated, so that
// a call through a stale pointer answers an error instead of touching freed memory;
// they are freed when the platform state is reset.
class ReleasedObjects {
 public:
  struct Shell {
    virtual ~Shell() = default;
  };
  static void Keep(Shell* shell);
  static void FreeAll();
};

// The reference count and end of an object, whatever its interface.
class ComLifetime : public ReleasedObjects::Shell {
 public:
  ComLifetime() { Diag().ObjectCreated(); }
  ComLifetime(const ComLifetime&) = delete;
  ComLifetime& operator=(const ComLifetime&) = delete;

  bool released() const { return released_; }
  ULONG references() const { return references_; }
  // The platform's own references (a surface's on its palette, a device's on its input
  // object): not calls of the program, so not journaled.
  ULONG Retain() { return released_ ? 0 : ++references_; }
  ULONG Drop();
  // Ends the object whatever its reference count.
  void EndLife() {
    while (!released_)
      Drop();
  }

 protected:
  // Frees the object's resources as its last reference goes.
  virtual void OnFinalRelease() {}
  // True while the last reference is the platform's rather than the program's (a back
  // buffer's belongs to its flipping chain): the program's Release then stops at one.
  virtual bool PlatformHoldsLastReference() const { return false; }

 private:
  ULONG references_ = 1;
  bool released_ = false;
};

// IUnknown of `Interface`, implemented by `Object`, which declares
//   kInterfaceName   the journal's name of the interface: "IDirectDrawSurface7"
//   kInterfaces      the IIDs QueryInterface answers with the object itself
//   kReleasedResult  what every call answers once the object is released
// and opens each of its own methods with OpenCall(*this, ...).
template <typename Object, typename Interface>
class ComObject : public Interface, public ComLifetime {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) final {
    static const std::string operation = Operation("QueryInterface");
    if (auto fault = OpenCall(kInjectedResult, operation, handle()))
      return *fault;
    if (object == nullptr)
      return E_POINTER;
    *object = nullptr;
    if (released())
      return Object::kReleasedResult;
    if (std::none_of(std::begin(Object::kInterfaces), std::end(Object::kInterfaces),
                     [&](const IID* answered) { return IsEqualIID(iid, *answered); })) {
      return E_NOINTERFACE;
    }
    Retain();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }

  ULONG AddRef() final {
    static const std::string operation = Operation("AddRef");
    OpenCall(kCannotFail, operation, handle());
    return Retain();
  }

  ULONG Release() final {
    static const std::string operation = Operation("Release");
    OpenCall(kCannotFail, operation, handle());
    if (!released() && references() == 1 && PlatformHoldsLastReference())
      return 1;
    return Drop();
  }

 protected:
  // The address the program holds, as the journal names the object.
  const Interface* handle() const { return this; }

 private:
  static std::string Operation(std::string_view method) {
    return std::string(Object::kInterfaceName) + "::" + std::string(method);
  }
};

}  // namespace orv::platform
