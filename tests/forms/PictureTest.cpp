#include "TestForm.h"

#include "forms/Picture.h"
#include "forms/PngDecoder.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using formstest::RaisedBy;
using formstest::TestForm;

namespace {

// A 32-bit drawing surface filled with one colour, to let controls paint into it.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    int width_;
    int height_;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

// The colour of one pixel of a decoded picture.
COLORREF PixelOf(const forms::Picture& picture, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture.Bitmap());
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

// Where the canvas differs from the picture seen through an offset, or "" when nowhere.
std::string CompareArea(const Canvas& canvas, const forms::Picture& picture, int left, int top, int width, int height,
                        int pictureX, int pictureY) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture.Bitmap());
    std::string difference;
    for (int y = top; y < top + height && difference.empty(); ++y) {
        for (int x = left; x < left + width; ++x) {
            if (canvas.At(x, y) != GetPixel(dc, x + pictureX, y + pictureY)) {
                difference = "at " + std::to_string(x) + "," + std::to_string(y);
                break;
            }
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return difference;
}

} // namespace

TEST(Picture, LoadsEachPngResourceWithItsSize) {
    struct Case {
        int id, width, height;
    };
    for (const Case& c :
         {Case{IDP_SETUP_BACKGROUND, 640, 480}, Case{IDP_MESSAGEBOX_BACKGROUND, 480, 320}, Case{IDP_ICON_INFO, 78, 59},
          Case{IDP_ICON_QUESTION, 78, 58}, Case{IDP_ICON_ERROR, 78, 59}, Case{IDP_ICON_WARNING, 78, 59}}) {
        const forms::Picture picture(c.id);
        EXPECT_TRUE(picture) << c.id;
        EXPECT_NE(picture.Bitmap(), nullptr) << c.id;
        EXPECT_EQ(picture.Width(), c.width) << c.id;
        EXPECT_EQ(picture.Height(), c.height) << c.id;
        BITMAP bitmap{};
        ASSERT_EQ(GetObjectW(picture.Bitmap(), sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
        EXPECT_EQ(bitmap.bmWidth, c.width) << c.id;
        EXPECT_EQ(bitmap.bmHeight, c.height) << c.id;
    }
}

TEST(Picture, KeepsTheColoursOfThePicture) {
    // The icons stand on the navy of the message box's band, the wizard's picture is white at its
    // top left corner: red and blue must not change places on the way from the file.
    const forms::Picture icon(IDP_ICON_INFO);
    const COLORREF navy = PixelOf(icon, 0, 0);
    EXPECT_LT(GetRValue(navy), 60);
    EXPECT_LT(GetGValue(navy), 90);
    EXPECT_GT(GetBValue(navy), 70);
    EXPECT_GT(GetBValue(navy), GetRValue(navy) + 40);
    const forms::Picture background(IDP_SETUP_BACKGROUND);
    const COLORREF corner = PixelOf(background, 2, 2);
    EXPECT_GE(GetRValue(corner), 240);
    EXPECT_GE(GetGValue(corner), 240);
    EXPECT_GE(GetBValue(corner), 240);
}

TEST(Picture, AMissingResourceRaisesARunTimeError) {
    const auto raised = RaisedBy([] { forms::Picture picture(4711); });
    EXPECT_NE(raised.Number, 0);
    EXPECT_FALSE(raised.Description.empty());
    // The icon is a resource too, but no picture.
    EXPECT_NE(RaisedBy([] { forms::Picture picture(IDI_TVXSETUP); }).Number, 0);
}

TEST(Picture, ADamagedPictureRaisesPathFileAccessError) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDP_ICON_INFO), MAKEINTRESOURCEW(10));
    ASSERT_NE(resource, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
    const std::vector<uint8_t> whole(bytes, bytes + SizeofResource(module, resource));
    std::vector<uint8_t> noSignature = whole;
    noSignature[1] = 'X';
    std::vector<uint8_t> cutShort(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    for (const std::vector<uint8_t>* damaged : {&noSignature, &cutShort}) {
        const auto raised = RaisedBy([&] { forms::DecodePng(damaged->data(), damaged->size()); });
        EXPECT_EQ(raised.Number, 75);
        EXPECT_EQ(raised.Description, "Bilddaten beschädigt");
    }
    EXPECT_EQ(forms::DecodePng(whole.data(), whole.size()).Width, 78);
}

TEST(Picture, AnEmptyPictureDrawsNothing) {
    const forms::Picture empty;
    EXPECT_FALSE(empty);
    Canvas canvas(20, 20, RGB(255, 0, 255));
    const RECT area{0, 0, 20, 20};
    empty.DrawCentred(canvas.Dc(), area);
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 0, 255));
}

TEST(Image, DrawsItsPictureUnscaledCentredAndClippedToTheControl) {
    TestForm form;
    HWND image = form.Picture().Handle();
    RECT client{};
    GetClientRect(image, &client);
    ASSERT_EQ(client.right, 56);
    ASSERT_EQ(client.bottom, 49);
    Canvas canvas(80, 70, RGB(255, 0, 255));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = TestForm::kIdPicture;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = image;
    item.hDC = canvas.Dc();
    item.rcItem = client;
    SendMessageW(GetParent(image), WM_DRAWITEM, TestForm::kIdPicture, reinterpret_cast<LPARAM>(&item));

    // The 78 x 59 picture centred in 56 x 49 pixels: 11 columns and 5 rows are cut off on each side.
    const forms::Picture picture(IDP_ICON_INFO);
    EXPECT_EQ(CompareArea(canvas, picture, 0, 0, 56, 49, 11, 5), "");
    EXPECT_EQ(canvas.At(56, 0), RGB(255, 0, 255));
    EXPECT_EQ(canvas.At(0, 49), RGB(255, 0, 255));
    EXPECT_EQ(canvas.At(79, 69), RGB(255, 0, 255));
}

TEST(FormBackground, ThePictureStandsUnscaledAndCentredOnTheBackColour) {
    TestForm form;
    Canvas canvas(400, 340, RGB(255, 0, 255));
    SendMessageW(form.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    // 480 x 320 pixels in a client area of 400 x 340: 40 columns cut off on each side, 10 rows
    // of the back colour above and below.
    const forms::Picture picture(IDP_MESSAGEBOX_BACKGROUND);
    EXPECT_EQ(CompareArea(canvas, picture, 0, 10, 400, 320, 40, -10), "");
    for (int x : {0, 150, 399}) {
        EXPECT_EQ(canvas.At(x, 0), RGB(255, 255, 255)) << x;
        EXPECT_EQ(canvas.At(x, 9), RGB(255, 255, 255)) << x;
        EXPECT_EQ(canvas.At(x, 330), RGB(255, 255, 255)) << x;
        EXPECT_EQ(canvas.At(x, 339), RGB(255, 255, 255)) << x;
    }
}

TEST(FormBackground, ATransparentTextBoxShowsThePartOfThePictureBehindIt) {
    TestForm form;
    // Over the band's lettering and the brush stroke: 0/260 pixels of the client area, where
    // picture pixel 40/250 is.
    auto& box = form.Add<forms::TextBox>(form, 300, forms::Place{0, 195, 225, 45}, 9, "");
    HWND window = box.Handle();
    Canvas canvas(300, 60, RGB(255, 0, 255));
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()), reinterpret_cast<LPARAM>(window)));
    ASSERT_NE(brush, nullptr);
    const RECT all{0, 0, 300, 60};
    FillRect(canvas.Dc(), &all, brush);
    const forms::Picture picture(IDP_MESSAGEBOX_BACKGROUND);
    EXPECT_EQ(CompareArea(canvas, picture, 0, 0, 300, 60, 40, 250), "");
}
