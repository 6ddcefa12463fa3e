#include "demo_keyboard.h"

namespace {

LPDIRECTINPUT7 direct_input = nullptr;
LPDIRECTINPUTDEVICE7 keyboard = nullptr;

}  // namespace

BOOL OpenDemoKeyboard(HINSTANCE instance, HWND window) {
  if (DirectInputCreateEx(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A,
                          reinterpret_cast<LPVOID*>(&direct_input), nullptr) != DI_OK) {
    direct_input = nullptr;
    return FALSE;
  }
  if (direct_input->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A,
                                   reinterpret_cast<LPVOID*>(&keyboard), nullptr) != DI_OK) {
    keyboard = nullptr;
    CloseDemoKeyboard();
    return FALSE;
  }
  if (keyboard->SetDataFormat(&c_dfDIKeyboard) != DI_OK ||
      keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) != DI_OK) {
    CloseDemoKeyboard();
    return FALSE;
  }
  keyboard->Acquire();
  return TRUE;
}

void CloseDemoKeyboard() {
  if (keyboard != nullptr) {
    keyboard->Unacquire();
    keyboard->Release();
    keyboard = nullptr;
  }
  if (direct_input != nullptr) {
    direct_input->Release();
    direct_input = nullptr;
  }
}

BOOL EscapeHeld() {
  if (keyboard == nullptr)
    return FALSE;
  BYTE keys[256];
  HRESULT result = keyboard->GetDeviceState(sizeof(keys), keys);
  if (result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED) {
    keyboard->Acquire();
    result = keyboard->GetDeviceState(sizeof(keys), keys);
  }
  return result == DI_OK && (keys[DIK_ESCAPE] & 0x80) != 0;
}
