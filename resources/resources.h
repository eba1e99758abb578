// Resource templates of the viewer (data only):
//   "IDR_MENU_JA"  the main menu with every command id, Japanese and English labels, submenus,
//                  separators, check items and radio groups, in display order
//   "IDR_ACCEL"    the accelerator table
#pragma once

#include "platform/menu_template.h"

namespace tesmo::resources {

const platform::MenuTemplate& main_menu();        // "IDR_MENU_JA"
const platform::AccelTemplate& accelerators();    // "IDR_ACCEL"

// Submenu ids (below 100), so that whole menus can be greyed by id.
enum SubmenuId : uint16_t {
  MenuFile = 1, MenuEdit = 2, MenuView = 3, MenuOption = 4, MenuHelp = 5,
  // nested submenus take ids from 10 upward in display order
  MenuFileOpen = 10, MenuFileOperation = 11, MenuFileInformation = 12,
  MenuEditRotateCanvas = 13, MenuEditConnectDivide = 14, MenuEditAlphaChannel = 15,
  MenuEditClipboard = 16, MenuEditAdjustments = 17, MenuEditTransform = 18,
  MenuEditSpecialFx = 19, MenuEditBlend = 20,
  MenuViewOsd = 21, MenuViewMarker = 22, MenuViewChannel = 23, MenuViewBackground = 24,
  MenuViewWindow = 25, MenuViewZoom = 26,
  MenuOptionDevelopmentTools = 27, MenuOptionExternalApplication = 28,
  MenuOptionCrossPlatform = 29, MenuOptionDigitalCamera = 30,
};

}  // namespace tesmo::resources
