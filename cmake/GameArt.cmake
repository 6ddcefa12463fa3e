# Links the game's four bitmaps into a target as bitmap resources.
include(BitmapResources OPTIONAL)

function(orv_link_game_art target)
  orv_link_bitmap_resources(${target} LANGUAGE 1041 RESOURCES
    BACKIMAGE ${PROJECT_SOURCE_DIR}/assets/backimage.bmp
    STRINGS ${PROJECT_SOURCE_DIR}/assets/strings.bmp
    MENU ${PROJECT_SOURCE_DIR}/assets/menu.bmp
    CHARACTER ${PROJECT_SOURCE_DIR}/assets/character.bmp)
endfunction()
