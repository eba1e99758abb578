// The tag tables of the Exif reader: item names and how each value is shown, per section.
#include "formats/exif/exif_rules.h"

namespace tesmo::exif {
namespace {

constexpr Named kCompression[] = {{1, "非圧縮"}, {6, "JPEG 圧縮"}};
constexpr Named kPhotometric[] = {{2, "R:G:B"}, {6, "Y:Cb:Cr"}};
constexpr Named kPlanar[] = {{1, "Chunky Format"}, {2, "Planar Format"}};
constexpr Named kPositioning[] = {{1, "Centered"}, {2, "Co-Sited"}};
constexpr Named kOrientationNames[] = {
    {1, "標準"},       {2, "左右反転"},
    {3, "180 度回転"}, {4, "上下反転"},
    {5, "左右反転 + 左に 90 度回転"}, {6, "右に 90 度回転"},
    {7, "左右反転 + 右に 90 度回転"}, {8, "左に 90 度回転"}};
constexpr Named kUnits[] = {{2, "インチ (inch)"}, {3, "センチ メートル (cm)"}};
constexpr Named kExposureProgram[] = {
    {1, "マニュアル"},     {2, "標準プログラム"},          {3, "絞り優先"},
    {4, "シャッター優先"}, {5, "クリエイティブ プログラム"}, {6, "アクション プログラム"},
    {7, "ポートレート モード"}, {8, "風景モード"}};
constexpr Named kMetering[] = {{0, "不明"},        {1, "平均"}, {2, "中央部重点"},
                               {3, "スポット"},    {4, "マルチ スポット"},
                               {5, "マルチ パターン (分割)"}, {6, "部分"}, {255, "その他"}};
constexpr Named kLightSource[] = {
    {0, "不明"},          {1, "昼光"},           {2, "蛍光燈"},         {3, "白熱電球"},
    {4, "フラッシュ"},    {9, "晴天"},           {10, "曇り"},          {11, "Shade"},
    {12, "D 5700 - 7100K"}, {13, "N 4600 - 5400K"}, {14, "W 3900 - 4500K"}, {15, "WW 3200 - 3700K"},
    {17, "標準ライト A"}, {18, "標準ライト B"}, {19, "標準ライト C"}, {20, "D55"},
    {21, "D65"},          {22, "D75"},           {23, "D50"},           {24, "ISO studio tungsten"},
    {255, "その他"}};
constexpr Named kColourSpace[] = {{1, "sRGB"}, {0xFFFF, "Uncalibrated"}};
constexpr Named kSensing[] = {{2, "One-chip color area sensor"},   {3, "Two-chip color area sensor"},
                              {4, "Three-chip color area sensor"}, {5, "Color sequential area sensor"},
                              {7, "Trilinear sensor"},             {8, "Color sequential linear sensor"}};
constexpr Named kFileSource[] = {{3, "DSC"}};
constexpr Named kSceneType[] = {{1, "直接撮影"}};
constexpr Named kCustomRendered[] = {{0, "Normal process"}, {1, "Custom process"}};
constexpr Named kExposureMode[] = {{0, "Auto exposure"}, {1, "Manual exposure"}, {2, "Auto bracket"}};
constexpr Named kWhiteBalance[] = {{0, "オート"}, {1, "マニュアル"}};
constexpr Named kSceneCapture[] = {{0, "Standard"}, {1, "Landscape"}, {2, "Portrait"}, {3, "Night scene"}};
constexpr Named kGainControl[] = {{0, "None"},          {1, "Low gain up"},    {2, "High gain up"},
                                  {3, "Low gain down"}, {4, "High gain down"}};
constexpr Named kSoftHard[] = {{0, "標準"}, {1, "ソフト"}, {2, "ハード"}};
constexpr Named kSaturation[] = {{0, "標準"}, {1, "低い"}, {2, "高い"}};
constexpr Named kDistanceRange[] = {{0, "不明"}, {1, "マクロ"}, {2, "Close view"}, {3, "Distant view"}};

using S = Show;

// The "[開発中]" items (still being worked on) show no value.
constexpr Rule kMain[] = {
    {256, "画像の幅", S::kPixels},
    {257, "画像の高さ", S::kPixels},
    {258, "画素のビット深度", S::kBitsPerSample},
    {259, "圧縮", S::kEnum, kCompression},
    {262, "ピクセル構成", S::kEnum, kPhotometric},
    {270, "タイトル", S::kText},
    {271, "メーカー名", S::kText},
    {272, "機種名", S::kText},
    {273, "　[開発中] StripOffsets", S::kEmpty},
    {274, "画像の方向", S::kOrientation, kOrientationNames},
    {277, "ピクセルあたりのサンプル数", S::kPlain},
    {278, "Rows Per Strip", S::kPlain},
    {279, "　[開発中] Strip Byte Conunts", S::kEmpty},
    {282, "解像度 - 幅", S::kResolution},
    {283, "解像度 - 高さ", S::kResolution},
    {284, "Planar Configuration", S::kEnum, kPlanar},
    {296, "解像度 - 単位", S::kEnum, kUnits},
    {301, "　[開発中] Transfer Function", S::kEmpty},
    {305, "ソフトウェア", S::kText},
    {306, "作成日時", S::kText},
    {315, "アーティスト名", S::kText},
    {318, "　[開発中] White Point", S::kEmpty},
    {319, "　[開発中] Primary Chromaticities", S::kEmpty},
    {513, "JPEG Interchange Format", S::kOffsetBytes},
    {514, "JPEG Interchange Format Length", S::kOffsetBytes},
    {529, "　[開発中] Y:Cb:Cr Coefficients", S::kEmpty},
    {530, "Y:Cb:Cr Sub Sampling", S::kSubSampling},
    {531, "Y:Cb:Cr Positioning", S::kEnum, kPositioning},
    {532, "　[開発中] Reference Black White", S::kEmpty},
    {33432, "コピーライト", S::kText},
    {34665, "Exif IFD へのオフセット", S::kOffsetBytes},
    {34853, "GPS IFD へのオフセット", S::kOffsetBytes},
    {50341, "PrintIM IFD へのオフセット", S::kOffsetBytes},
};

constexpr Rule kSub[] = {
    {33434, "露光時間", S::kExposureTime},
    {33437, "F ナンバー", S::kFNumber},
    {34850, "露出制御モード", S::kEnum, kExposureProgram},
    {34852, "Spectral Sensitivity", S::kText},
    {34855, "ISO 感度", S::kPlain},
    {34856, "　[開発中] OECF", S::kEmpty},
    {36864, "Exif バージョン", S::kVersion},
    {36867, "撮影日時", S::kText},
    {36868, "保存日時", S::kText},
    {37121, "チャンネルの構成", S::kComponents},
    {37122, "Compressed Bits Per Pixel", S::kFraction},
    {37377, "シャッター スピード", S::kShutterSpeed},
    {37378, "絞り値", S::kApexAperture},
    {37379, "撮影対象物の明るさ", S::kBrightness},
    {37380, "露光補正量", S::kExposureBias},
    {37381, "開放絞り値", S::kApexAperture},
    {37382, "被写体までの距離", S::kMetres},
    {37383, "測光モード", S::kEnum, kMetering},
    {37384, "光源", S::kEnum, kLightSource},
    {37385, "フラッシュ", S::kFlash},
    {37386, "焦点距離", S::kFocalLength},
    {37396, "　[開発中] Subject Area", S::kEmpty},
    {37500, "　[開発中] メーカー ノート", S::kEmpty},
    {37510, "　[開発中] ユーザー コメント", S::kEmpty},
    {37520, "作成日時 (精細)", S::kText},
    {37521, "撮影日時 (精細)", S::kText},
    {37522, "保存日時 (精細)", S::kText},
    {40960, "FlashPix バージョン", S::kVersion},
    {40961, "色空間", S::kEnum, kColourSpace},
    {40962, "画像の幅", S::kPixels},
    {40963, "画像の高さ", S::kPixels},
    {40964, "音声ファイルの名前", S::kText},
    {40965, "Interoperability IFD へのオフセット", S::kOffsetHex},
    {41483, "Flash Energy", S::kFlashEnergy},
    {41484, "　[開発中] Spatial Frequency Response", S::kEmpty},
    {41486, "CCD 画素密度 - 幅", S::kFraction},
    {41487, "CCD 画素密度 - 高さ", S::kFraction},
    {41488, "CCD 画素密度 - 単位", S::kEnum, kUnits},
    {41492, "　[開発中] Subject Location", S::kEmpty},
    {41493, "CCD 感度", S::kFraction},
    {41495, "イメージ センサーの種類", S::kEnum, kSensing},
    {41728, "ファイル ソース", S::kByteEnum, kFileSource},
    {41729, "シーンの種類", S::kByteEnum, kSceneType},
    {41730, "　[開発中] CFAPattern", S::kEmpty},
    {41985, "Custom Rendered", S::kEnum, kCustomRendered},
    {41986, "Exposure Mode", S::kEnum, kExposureMode},
    {41987, "ホワイト バランス", S::kEnum, kWhiteBalance},
    {41988, "デジタル ズーム率", S::kFraction},
    {41989, "焦点距離 (35mm フィルム カメラ換算)", S::kFocal35},
    {41990, "Scene Capture Type", S::kEnum, kSceneCapture},
    {41991, "ゲイン コントロール", S::kEnum, kGainControl},
    {41992, "コントラスト", S::kEnum, kSoftHard},
    {41993, "彩度", S::kEnum, kSaturation},
    {41994, "シャープネス", S::kEnum, kSoftHard},
    {41995, "　[開発中] Device Setting Description", S::kEmpty},
    {41996, "Subject Distance Range", S::kEnum, kDistanceRange},
    {42016, "Image Unique ID", S::kText},
};

constexpr Rule kInterop[] = {
    {1, "Interoperability Index", S::kText},
    {2, "Interoperability Version", S::kVersion},
    {4096, "Related Image File Format", S::kText},
    {4097, "Related Image Width", S::kPlain},
    {4098, "Related Image Length", S::kPlain},
};

}  // namespace

std::span<const Rule> main_rules() { return kMain; }
std::span<const Rule> sub_rules() { return kSub; }
std::span<const Rule> interop_rules() { return kInterop; }

const Rule* find_rule(std::span<const Rule> rules, uint16_t tag) {
  for (const Rule& r : rules) {
    if (r.tag == tag) return &r;
  }
  return nullptr;
}

}  // namespace tesmo::exif
