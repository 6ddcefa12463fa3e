// Reference counting shared by every DirectDraw and DirectInput object of the platform.
#pragma once

#include <memory>
#include <vector>

#include "core/diagnostics.h"
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

// Implements IUnknown for one interface. Subclasses free their resources in
// OnFinalRelease() and check released() at the top of every method.
template <typename Interface>
class ComObject : public Interface, public ReleasedObjects::Shell {
 public:
  ComObject() { Diag().ObjectCreated(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(REFIID, void** object) override {
    if (object != nullptr)
      *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override {
    if (released_)
      return 0;
    return ++references_;
  }
  ULONG Release() override {
    if (released_)
      return 0;
    if (--references_ > 0)
      return references_;
    released_ = true;
    Diag().ObjectDestroyed();
    OnFinalRelease();
    ReleasedObjects::Keep(this);
    return 0;
  }

  bool released() const { return released_; }
  ULONG references() const { return references_; }

 protected:
  virtual void OnFinalRelease() {}

 private:
  ULONG references_ = 1;
  bool released_ = false;
};

}  // namespace orv::platform
