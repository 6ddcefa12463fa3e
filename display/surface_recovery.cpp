// Bringing lost surfaces back: the primary (with its back buffer), then each
// off-screen surface with its bitmap drawn anew. Palette and colour keys survive.
// A sheet whose bitmap could not be copied back is marked, and copied again before it
// is next drawn from.
#include <iterator>

#include "display/bitmap_loading.h"
#include "display/display.h"
#include "shared/game_globals.h"

namespace {
struct Sheet {
  LPDIRECTDRAWSURFACE7 DisplayObjects::*surface;
  LPCSTR bitmap_name;
};
constexpr Sheet kSheets[] = {
    {&DisplayObjects::BackImageSurface, "BACKIMAGE"},
    {&DisplayObjects::StringsSurface, "STRINGS"},
    {&DisplayObjects::MenuSurface, "MENU"},
    {&DisplayObjects::CharacterSurface, "CHARACTER"},
};

// Copies the sheet's bitmap into it again and keeps its mark while that fails.
HRESULT ReloadSheet(int index) {
  const Sheet& sheet = kSheets[index];
  const HRESULT result = ReloadBitmapSurface(Game.Display.*sheet.surface, sheet.bitmap_name);
  const DWORD mark = DWORD{1} << index;
  if (result == DD_OK)
    Game.SheetsToReload &= ~mark;
  else
    Game.SheetsToReload |= mark;
  return result;
}
}  // namespace

HRESULT RestoreSurfaces() {
  HRESULT result = Game.Display.PrimarySurface->Restore();
  if (result != DD_OK)
    return result;

  // Every sheet is tried; the first failure, of a restore or of a reload, is the result.
  HRESULT first_failure = DD_OK;
  for (int i = 0; i < static_cast<int>(std::size(kSheets)); ++i) {
    result = (Game.Display.*kSheets[i].surface)->Restore();
    if (result == DD_OK)
      result = ReloadSheet(i);
    if (first_failure == DD_OK)
      first_failure = result;
  }
  return first_failure;
}

HRESULT ReloadPendingSheet(LPDIRECTDRAWSURFACE7 surface) {
  if (Game.SheetsToReload == 0)
    return DD_OK;
  for (int i = 0; i < static_cast<int>(std::size(kSheets)); ++i) {
    if (Game.Display.*kSheets[i].surface == surface && (Game.SheetsToReload & (DWORD{1} << i)))
      return ReloadSheet(i);
  }
  return DD_OK;
}
