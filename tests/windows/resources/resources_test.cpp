// The program's resources as Windows loads them: this test links the same compiled
// resource script as the program, so its own module carries the icons, logo, cursor,
// texts, version block and manifest.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/text_catalog.h"
#include "resource.h"

namespace uvantic {
namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

// A 32-bit top-down DIB selected into a memory DC, for drawing and reading pixels back.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF background) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_.get());
    for (int i = 0; i < width * height; ++i) bits_[i] = ToPixel(background);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const std::uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) n += At(x, y) == colour;
    }
    return n;
  }

 private:
  static std::uint32_t ToPixel(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  int width_, height_;
  UniqueHBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The images of one icon group as stored in the file: size and colour depth of each.
struct StoredImage {
  int width, height, bitCount;
};

std::vector<StoredImage> StoredIcons(int id) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  std::vector<StoredImage> images;
  HRSRC group = FindResourceW(Self(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!group) return images;
  const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(Self(), group)));
  const auto* entries = reinterpret_cast<const GroupEntry*>(dir + 3);
  for (WORD i = 0; i < dir[2]; ++i) {
    HRSRC image = FindResourceW(Self(), MAKEINTRESOURCEW(entries[i].id), RT_ICON);
    if (!image) continue;
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Self(), image)));
    // An icon image stores its colour bits and mask one above the other.
    images.push_back({header->biWidth, header->biHeight / 2, header->biBitCount});
  }
  return images;
}

BOOL CALLBACK CollectIconGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<int>*>(found)->push_back(static_cast<int>(
        reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

// Both halves of an icon's bitmaps, released together.
struct IconBitmaps {
  explicit IconBitmaps(HICON icon) {
    ICONINFO info = {};
    ok = GetIconInfo(icon, &info) != FALSE;
    isIcon = info.fIcon != FALSE;
    hotSpot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    mask.reset(info.hbmMask);
    colour.reset(info.hbmColor);
  }
  bool ok = false;
  bool isIcon = false;
  POINT hotSpot = {};
  UniqueHBitmap mask, colour;
};

TEST(ProgramIcon, HoldsSixteenThirtyTwoAndFortyEightPixelsAtSixteenColours) {
  const std::vector<StoredImage> images = StoredIcons(IDI_PROGRAM);
  ASSERT_EQ(images.size(), 3u);
  const int sizes[] = {16, 32, 48};
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(images[i].width, sizes[i]);
    EXPECT_EQ(images[i].height, sizes[i]);
    EXPECT_EQ(images[i].bitCount, 4) << sizes[i] << " pixels";
  }
}

TEST(ProgramIcon, IsTheFirstIconGroupSoExplorerShowsIt) {
  std::vector<int> groups;
  EnumResourceNamesW(Self(), RT_GROUP_ICON, CollectIconGroup,
                     reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.front(), IDI_PROGRAM);
}

TEST(ProgramIcon, LoadsAtEachSizeWithTransparentCorners) {
  for (const int size : {16, 32, 48}) {
    UniqueHIcon icon(static_cast<HICON>(
        LoadImageW(Self(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon) << size;
    Canvas canvas(size, size, kMagenta);
    DrawIconEx(canvas.dc(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.At(0, size - 1), kMagenta) << size;
    EXPECT_EQ(canvas.At(size - 1, 0), kMagenta) << size;
    EXPECT_GT(size * size - canvas.Count(kMagenta), size * size / 5) << size;
  }
}

class StateIcon : public testing::TestWithParam<int> {};

TEST_P(StateIcon, IsOneSixteenPixelImageAtSixteenColours) {
  const std::vector<StoredImage> images = StoredIcons(GetParam());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 16);
  EXPECT_EQ(images[0].height, 16);
  EXPECT_EQ(images[0].bitCount, 4);
}

// The plug is partly silver, so only the icon's own mask may decide what is
// transparent: drawn over another colour, silver stays and the corners show through.
TEST_P(StateIcon, KeepsSilverOpaqueAndItsCornersTransparent) {
  UniqueHIcon icon(static_cast<HICON>(
      LoadImageW(Self(), MAKEINTRESOURCEW(GetParam()), IMAGE_ICON, 16, 16, 0)));
  ASSERT_TRUE(icon);
  Canvas canvas(16, 16, kMagenta);
  DrawIconEx(canvas.dc(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_GT(canvas.Count(kSilver), 0);
  EXPECT_EQ(canvas.At(0, 0), kMagenta);
  EXPECT_EQ(canvas.At(15, 0), kMagenta);
  EXPECT_EQ(canvas.At(0, 15), kMagenta);
}

// The same through an image list with a mask, as the device list shows them.
TEST_P(StateIcon, DrawsThroughAMaskedImageList) {
  UniqueHImageList list(ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 1, 0));
  UniqueHIcon icon(static_cast<HICON>(
      LoadImageW(Self(), MAKEINTRESOURCEW(GetParam()), IMAGE_ICON, 16, 16, 0)));
  ASSERT_EQ(ImageList_AddIcon(list.get(), icon.get()), 0);
  Canvas canvas(16, 16, kWhite);
  ImageList_Draw(list.get(), 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_GT(canvas.Count(kSilver), 0);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  EXPECT_EQ(canvas.At(0, 15), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Resources, StateIcon,
                         testing::Values(IDI_STATE_NORMAL, IDI_STATE_DISABLED,
                                         IDI_STATE_DRIVER_NOT_LOADED));

TEST(StateIcons, DifferFromEachOther) {
  std::vector<std::vector<COLORREF>> pictures;
  for (const int id : {IDI_STATE_NORMAL, IDI_STATE_DISABLED, IDI_STATE_DRIVER_NOT_LOADED}) {
    UniqueHIcon icon(
        static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
    Canvas canvas(16, 16, kMagenta);
    DrawIconEx(canvas.dc(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) pixels.push_back(canvas.At(x, y));
    }
    pictures.push_back(pixels);
  }
  EXPECT_NE(pictures[0], pictures[1]);
  EXPECT_NE(pictures[0], pictures[2]);
  EXPECT_NE(pictures[1], pictures[2]);
}

UniqueHBitmap LoadLogo() {
  return UniqueHBitmap(static_cast<HBITMAP>(
      LoadImageW(Self(), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

TEST(Logo, IsA109By26PixelBitmapWithAnAlphaChannel) {
  UniqueHBitmap logo = LoadLogo();
  ASSERT_TRUE(logo);
  DIBSECTION dib = {};
  ASSERT_EQ(GetObjectW(logo.get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  EXPECT_EQ(dib.dsBm.bmWidth, 109);
  EXPECT_EQ(std::abs(dib.dsBm.bmHeight), 26);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
}

// AlphaBlend with AC_SRC_ALPHA expects every colour already multiplied by its alpha;
// a colour brighter than its alpha would draw a light fringe round the letters.
TEST(Logo, HasPremultipliedColoursAndATransparentBackground) {
  UniqueHBitmap logo = LoadLogo();
  ASSERT_TRUE(logo);
  DIBSECTION dib = {};
  GetObjectW(logo.get(), sizeof(dib), &dib);
  const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
  ASSERT_NE(bits, nullptr);
  int clear = 0, solid = 0, notPremultiplied = 0;
  for (int i = 0; i < dib.dsBm.bmWidth * std::abs(dib.dsBm.bmHeight); ++i) {
    const std::uint8_t* p = bits + 4 * i;
    const std::uint8_t alpha = p[3];
    notPremultiplied += p[0] > alpha || p[1] > alpha || p[2] > alpha;
    clear += alpha == 0;
    solid += alpha == 255;
  }
  EXPECT_EQ(notPremultiplied, 0);
  EXPECT_GT(clear, 109 * 26 / 3);
  EXPECT_GT(solid, 109 * 26 / 8);
}

TEST(Logo, AlphaBlendsOverTheBackgroundInBlue) {
  UniqueHBitmap logo = LoadLogo();
  ASSERT_TRUE(logo);
  Canvas canvas(109, 26, kWhite);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, logo.get());
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_TRUE(AlphaBlend(canvas.dc(), 0, 0, 109, 26, source, 0, 0, 109, 26, blend));
  SelectObject(source, old);
  DeleteDC(source);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  EXPECT_EQ(canvas.At(108, 25), kWhite);
  int blue = 0;
  for (int y = 0; y < 26; ++y) {
    for (int x = 0; x < 109; ++x) {
      const COLORREF c = canvas.At(x, y);
      blue += GetBValue(c) > 150 && GetRValue(c) < 60;
    }
  }
  EXPECT_GT(blue, 109 * 26 / 8);
}

TEST(HandPointer, IsAMonochrome32PixelCursorWithItsHotSpotAtTheFingertip) {
  HCURSOR cursor = LoadCursorW(Self(), MAKEINTRESOURCEW(IDC_HAND_POINTER));
  ASSERT_NE(cursor, nullptr);
  IconBitmaps bitmaps(cursor);
  ASSERT_TRUE(bitmaps.ok);
  EXPECT_FALSE(bitmaps.isIcon);
  EXPECT_EQ(bitmaps.hotSpot.x, 12);
  EXPECT_EQ(bitmaps.hotSpot.y, 4);
  // A monochrome cursor keeps its AND and XOR masks one above the other.
  EXPECT_EQ(bitmaps.colour.get(), nullptr);
  const SIZE mask = BitmapSize(bitmaps.mask.get());
  EXPECT_EQ(mask.cx, 32);
  EXPECT_EQ(mask.cy, 64);
}

// The hot spot is the black tip of the finger: drawn over a colour, the pixel there
// is black and the one above it lets the colour through.
TEST(HandPointer, HotSpotIsTheTopPixelOfTheFinger) {
  HCURSOR cursor = LoadCursorW(Self(), MAKEINTRESOURCEW(IDC_HAND_POINTER));
  ASSERT_NE(cursor, nullptr);
  Canvas canvas(32, 32, kMagenta);
  DrawIconEx(canvas.dc(), 0, 0, cursor, 32, 32, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.At(12, 4), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(12, 3), kMagenta);
  EXPECT_EQ(canvas.At(12, 6), kWhite);
  EXPECT_EQ(canvas.At(0, 0), kMagenta);
}

// The window's texts: English whole, each language whose catalogue was built found under
// the LANGUAGE its loader asks for, and English for what a language lacks. The
// window's tables hold none of uvfind's texts.
TEST(TextCatalog, EachLanguageFindsItsOwnTableAndEnglishForWhatItLacks) {
  const ResourceTexts english(Language::English, Self());
  EXPECT_EQ(english.Text(TextId::MenuWhatsThis), L"&What's This?");
  EXPECT_EQ(english.Text(TextId::LabelList), L"The following &Uvantic devices have been installed:");
  EXPECT_EQ(english.Text(TextId::RowDescriptionWords), L"Status: {status} ({words}), USB Cable ID: {cable}");
  const std::wstring built = UVANTIC_TEXT_LANGUAGES;  // "en,de,..."
  std::set<std::wstring> sentences;  // one language's, found under another's id, would come twice
  for (int i = 0; i <= static_cast<int>(Language::ChineseSimplified); ++i) {
    const auto language = static_cast<Language>(i);
    SCOPED_TRACE(std::string(LanguageTag(language).begin(), LanguageTag(language).end()));
    const bool translated = language != Language::English &&
                            (L"," + built + L",").find(L"," + std::wstring(LanguageTag(language)) + L",") != std::wstring::npos;
    const ResourceTexts texts(language, Self());
    for (const TextId id : {TextId::MenuWhatsThis, TextId::StatusDriverNotLoaded, TextId::WordsNotServed}) {
      EXPECT_EQ(texts.Text(id) != english.Text(id), translated) << static_cast<int>(id);
    }
    EXPECT_EQ(texts.Text(TextId::UsageText), L"");
    if (translated || language == Language::English) {
      EXPECT_TRUE(sentences.insert(texts.Text(TextId::WordsNotServed)).second);
    }
  }
}

std::vector<std::uint8_t> OwnVersionInfo() {
  wchar_t path[MAX_PATH * 4];
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  DWORD ignored = 0;
  std::vector<std::uint8_t> data(GetFileVersionInfoSizeW(path, &ignored));
  if (data.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data())) {
    data.clear();
  }
  return data;
}

TEST(VersionInfo, IsVersionOneForFileAndProductInUsEnglishUnicode) {
  std::vector<std::uint8_t> data = OwnVersionInfo();
  ASSERT_FALSE(data.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &size));
  ASSERT_GE(size, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);
}

TEST(VersionInfo, NamesTheProgramAndItsVersionInItsStrings) {
  std::vector<std::uint8_t> data = OwnVersionInfo();
  ASSERT_FALSE(data.empty());
  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } expected[] = {
      {L"FileDescription", L"Uvantic Finder"},   {L"ProductName", L"Uvantic Finder"},
      {L"CompanyName", L"Uvantic"},              {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},              {L"InternalName", L"UvanticFinder.exe"},
      {L"OriginalFilename", L"UvanticFinder.exe"},
      {L"LegalCopyright", L"Copyright \u00A9 2026 Uvantic"},
  };
  for (const auto& [name, value] : expected) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* text = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &size))
        << "missing " << testing::PrintToString(std::wstring(name));
    EXPECT_STREQ(text, value);
  }
}

// The embedded manifest asks for version 6 of the common controls; the loader
// honours it only if the manifest is well formed. The version-6 library is the one
// from the side-by-side store (Wine's copy there still calls itself 5.81).
TEST(Manifest, SelectsCommonControlsVersionSix) {
  const INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&init));
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(comctl, path, static_cast<DWORD>(std::size(path)));
  std::wstring lower = path;
  CharLowerW(lower.data());
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << testing::PrintToString(lower);
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::wstring::npos)
      << testing::PrintToString(lower);
}

}  // namespace
}  // namespace uvantic
