// Windows kernel: time, debug output, modules and resources, old-style files.
#pragma once

#include "win/base.h"

DWORD GetTickCount();
void Sleep(DWORD milliseconds);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void OutputDebugStringA(LPCSTR text);

HMODULE GetModuleHandleA(LPCSTR module_name);

#define RT_BITMAP MAKEINTRESOURCEA(2)

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resource_data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

#define OF_READ 0x00000000
#define HFILE_ERROR ((HFILE)-1)

HFILE _lopen(LPCSTR path, int mode);
UINT _lread(HFILE file, LPVOID buffer, UINT count);
HFILE _lclose(HFILE file);
