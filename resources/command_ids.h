// Command ids of the main menu, its accelerators and the mouse bindings, by name.
#pragma once

#include <array>
#include <cstdint>

namespace tesmo::cmd {

enum : uint16_t {
  // File
  New = 40352, OpenImage = 40037, FirstFile = 40390, PreviousFile = 40124, NextFile = 40123,
  LastFile = 40391, NoLoop = 40439, Loop = 40440, Close = 40003, CloseAll = 40222, Save = 40002,
  SaveAs = 40035, DeleteToTrash = 40244, DeleteFile = 40245, Rename = 40246, CopyToFolder = 40247,
  MoveToFolder = 40248, Properties = 40388, FileInformation = 40036, ExifInformation = 40198,
  Batch = 40583, Quit = 40631,
  // Edit
  ImageSize = 40230, CanvasSize = 40229, Scissor = 40629, Trim = 40540, RotateCcw90 = 40157,
  Rotate180 = 40234, RotateCw90 = 40159, RotateArbitrary = 40396, FlipHorizontal = 40283,
  FlipVertical = 40284, RotationAdjustNone = 40350, RotationAdjustExif = 40351, Connect = 40603,
  Divide = 40361, AlphaNew = 40240, AlphaDelete = 40241, AlphaImport = 40596, AlphaSwap = 40242,
  AlphaNegative = 40243, LosslessTransform = 40623, Cut = 40430, Copy = 40425, Paste = 40433,
  RightClickXY = 40610, RightClickRgbDecimal = 40614, RightClickRgbHex = 40613, Undo = 40553,
  // View
  OsdFps = 40203, OsdCursorInfo = 40336, OsdPip = 40568, PipThumbnail = 40503,
  PipCursorPosition = 40537, OsdHistogram = 40570, OsdFileInfo = 40218, OsdExifInfo = 40202,
  MarkerSet = 40356, MarkerClearAll = 40357, FaceDetection = 40639, Grid = 40325,
  HyperList = 40403, ChannelRgb = 40249, ChannelAlpha = 40251, VisibleR = 40572, VisibleG = 40573,
  VisibleB = 40574, DefaultChannelRgb = 40252, DefaultChannelAlpha = 40253,
  BackgroundFill = 40470, BackgroundImage = 40471, BackgroundSetting = 40634, FullScreen = 40458,
  AlwaysOnTop = 40339, Refresh = 40621, ReferenceUpperLeft = 40524, ReferenceCenter = 40525,
  AdjustNone = 40483, AdjustInsideScreen = 40485, ZoomIn = 40256, ZoomInPrecise = 40343,
  ActualPixels = 40371, ZoomOutPrecise = 40344, ZoomOut = 40257, ZoomArbitrary = 40385,
  ZoomTypeA = 40258, ZoomTypeB = 40259, ZoomTypeC = 40641, ZoomTypeD = 40642, ZoomTypeE = 40643,
  ZoomTypeF = 40644, ScaleUpToFit = 40582, ScaleDownToFit = 40581, DefaultScaleActual = 40598,
  DefaultScalePrevious = 40600,
  // Option
  DummyFileGenerator = 40262, FallingObjectController = 40263, FilePackModule = 40264,
  PathGenerator = 40640, LstGenerator = 40648, FontConvertModule = 40265,
  ScriptCompileModule = 40266, ImageEditor1 = 40624, ImageEditor2 = 40625, BinaryEditor = 40626,
  DeleteMacFiles = 40334, CalibrateMonitor = 40064, TransferPhotos = 40584, Unmount = 40585,
  AutoSyncOff = 40587, AutoSyncOn = 40588, TransferCopyAll = 40589, TransferMoveAll = 40590,
  KeyAssignment = 40638, Preferences = 40061,
  // Help
  Manual = 40030, HomePage = 40375, AboutPlugin = 40042, About = 40591,
};

}  // namespace tesmo::cmd
