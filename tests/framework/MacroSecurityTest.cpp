#include "forms/Units.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_UFMacroSecurity.h"
#include "framework/Tvx_Userforms.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::DialogAnswerer;

namespace {

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT PlaceInParent(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

std::vector<std::wstring> SplitAtCrLf(const std::wstring& text) {
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (size_t found; (found = text.find(L"\r\n", start)) != std::wstring::npos; start = found + 2) {
        pieces.push_back(text.substr(start, found - start));
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

class MacroSecurityTest : public testing::Test {
protected:
    Tvx_UFMacroSecurity& Notice() { return *root_.Userforms()->MacroSecurity(); }
    HWND Ok() { return GetDlgItem(Notice().hwnd(), Tvx_UFMacroSecurity::kIdOk); }
    HWND LabelWelcome() { return GetDlgItem(Notice().hwnd(), Tvx_UFMacroSecurity::kIdLabelWelcome); }

    Tarvex root_;
};

} // namespace

TEST_F(MacroSecurityTest, WindowHasItsCaptionAndClientArea) {
    EXPECT_EQ(WindowTextOf(Notice().hwnd()), L"Hinweis zur Makro-Sicherheit");
    RECT client{};
    GetClientRect(Notice().hwnd(), &client);
    // 319.5 x 272.25 pt
    EXPECT_EQ(client.right, 426);
    EXPECT_EQ(client.bottom, 363);
}

TEST_F(MacroSecurityTest, WindowBackgroundIsWhite) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 426;
    info.bmiHeader.biHeight = -363;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, 426, 363};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    SendMessageW(Notice().hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    for (auto [x, y] : {std::pair{0, 0}, {425, 362}, {200, 340}, {5, 300}}) {
        EXPECT_EQ(GetPixel(dc, x, y), RGB(255, 255, 255)) << x << "," << y;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(MacroSecurityTest, OkIsTheDefaultAndCancelButtonAtItsPlace) {
    ASSERT_NE(Ok(), nullptr);
    EXPECT_EQ(&Notice().Ok(), forms::Control::FromHandle(Ok()));
    const RECT place = PlaceInParent(Ok());
    // 132/234, 54 x 21.75 pt
    EXPECT_EQ(place.left, 176);
    EXPECT_EQ(place.top, 312);
    EXPECT_EQ(place.right - place.left, 72);
    EXPECT_EQ(place.bottom - place.top, 29);
    EXPECT_EQ(WindowTextOf(Ok()), L"Ok");
    EXPECT_TRUE(Notice().Ok().Default());
    EXPECT_TRUE(Notice().Ok().Cancel());
    EXPECT_EQ(GetWindowLongPtrW(Ok(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_STREQ(FontOf(Ok()).lfFaceName, L"Tahoma");
    EXPECT_EQ(FontOf(Ok()).lfHeight, -11);
}

TEST_F(MacroSecurityTest, LabelWelcomeIsALockedTextBoxAtItsPlace) {
    ASSERT_NE(LabelWelcome(), nullptr);
    const RECT place = PlaceInParent(LabelWelcome());
    // 12/12, 294 x 207.75 pt
    EXPECT_EQ(place.left, 16);
    EXPECT_EQ(place.top, 16);
    EXPECT_EQ(place.right - place.left, 392);
    EXPECT_EQ(place.bottom - place.top, 277);
    const auto style = GetWindowLongPtrW(LabelWelcome(), GWL_STYLE);
    EXPECT_NE(style & ES_READONLY, 0);
    EXPECT_NE(style & ES_MULTILINE, 0);
    EXPECT_EQ(style & WS_BORDER, 0);
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), 0);
    EXPECT_FALSE(Notice().LabelWelcome().TabStop());
    EXPECT_STREQ(FontOf(LabelWelcome()).lfFaceName, L"Tahoma");
    EXPECT_EQ(FontOf(LabelWelcome()).lfHeight, -11);
    EXPECT_EQ(FontOf(LabelWelcome()).lfWeight, FW_NORMAL);
}

TEST_F(MacroSecurityTest, LabelWelcomeIsBlackOnTheWindowBackground) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkMode(dc, TRANSPARENT);
    auto brush = SendMessageW(Notice().hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(LabelWelcome()));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    DeleteDC(dc);
}

TEST_F(MacroSecurityTest, TextHasItsParagraphsSeparatedAsWritten) {
    const std::wstring text = WindowTextOf(LabelWelcome());
    EXPECT_EQ(text.rfind(L"Ab Microsoft Word 2000 benötigen Makros", 0), 0u);
    EXPECT_EQ(Notice().LabelWelcome().Text(), Tvx_UFMacroSecurity::NoticeText());

    const auto pieces = SplitAtCrLf(text);
    ASSERT_EQ(pieces.size(), 8u) << "five paragraphs, an empty line before the third, fourth and fifth";
    EXPECT_EQ(pieces[0], L"Ab Microsoft Word 2000 benötigen Makros in der Sicherheitsstufe \"Hoch\" ein Zertifikat. "
                         L"Da die Tarvex kostenlos angeboten werden und solch ein Zertifikat einige hundert Dollar pro "
                         L"Jahr kostet, ist ein Erwerb für uns leider nicht möglich.");
    EXPECT_EQ(pieces[1], L"Der Setup stellt daher automatisch die Sicherheitsstufe \"Niedrig\" ein. Im Normalfall ist "
                         L"dies unproblematisch, falls Sie aber häufig Dokumente von unterschiedlichen Quellen öffnen, "
                         L"können Sie Word dennoch folgendermaßen vor Makro-Viren schützen ...");
    EXPECT_EQ(pieces[2], L"");
    EXPECT_EQ(pieces[3], L"- Sie können im Menü unter \"Extras\" > \"Optionen\" > \"Sicherheit\" > \"Makrosicherheit\" "
                         L"nach dem Setup die Sicherheitsstufe \"Mittel\" einstellen. Hiermit können Sie die Tarvex "
                         L"dennoch ausführen, müssen dies aber bei jedem Start von Word bestätigen.");
    EXPECT_EQ(pieces[4], L"");
    EXPECT_EQ(pieces[5].rfind(L"- ", 0), 0u);
    EXPECT_NE(pieces[5].find(L"Virenscanner"), std::wstring::npos);
    EXPECT_EQ(pieces[6], L"");
    EXPECT_NE(pieces[7].find(L"Microsoft"), std::wstring::npos);
    EXPECT_EQ(pieces[7].back(), L'.');
    for (const auto& piece : pieces) {
        EXPECT_EQ(piece.find_first_of(L"\r\n"), std::wstring::npos);
        // A neutral wording: no product, shop or web address.
        EXPECT_EQ(piece.find(L"http"), std::wstring::npos);
        EXPECT_EQ(piece.find(L"www."), std::wstring::npos);
    }
}

TEST_F(MacroSecurityTest, ShownWithTheFocusOnOkAndHiddenByIt) {
    HWND window = Notice().hwnd();
    DialogAnswerer answerer;
    answerer.Click("Ok");
    Notice().Show();
    ASSERT_TRUE(answerer.Done());
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Window, window);
    EXPECT_EQ(seen[0].Title, "Hinweis zur Makro-Sicherheit");
    EXPECT_EQ(seen[0].Buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(seen[0].FocusedButton, "Ok");
    EXPECT_EQ(seen[0].DefaultButton, "Ok");
    EXPECT_EQ(seen[0].Body.rfind("Ab Microsoft Word 2000 benötigen Makros", 0), 0u);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MacroSecurityTest, OkEnterEscTheCloseBoxAndAnOutsideCloseAllHideItAndItCanBeShownAgain) {
    Tvx_UFMacroSecurity* notice = &Notice();
    HWND window = notice->hwnd();
    const std::vector<void (*)(DialogAnswerer&)> answers = {
        [](DialogAnswerer& a) { a.Click("Ok"); }, [](DialogAnswerer& a) { a.Enter(); },
        [](DialogAnswerer& a) { a.Escape(); }, [](DialogAnswerer& a) { a.CloseBox(); },
        [](DialogAnswerer& a) { a.CloseFromOutside(); }};
    for (int round = 0; round < 2; ++round) {
        for (size_t answer = 0; answer < answers.size(); ++answer) {
            DialogAnswerer answerer;
            answers[answer](answerer);
            root_.Userforms()->MacroSecurity()->Show();
            ASSERT_TRUE(answerer.Done()) << "answer " << answer;
            const auto seen = answerer.Seen();
            ASSERT_EQ(seen.size(), 1u);
            // The same window every time, hidden, not unloaded.
            EXPECT_EQ(seen[0].Window, window) << "answer " << answer;
            EXPECT_EQ(seen[0].FocusedButton, "Ok") << "answer " << answer;
            EXPECT_EQ(root_.Userforms()->MacroSecurity(), notice);
            EXPECT_TRUE(IsWindow(window)) << "answer " << answer;
            EXPECT_FALSE(IsWindowVisible(window)) << "answer " << answer;
            EXPECT_TRUE(notice->forms::Form::IsLoaded());
            EXPECT_TRUE(notice->IsInitialized());
            EXPECT_TRUE(root_.Userforms()->IsCreated(2));
        }
    }
}

TEST_F(MacroSecurityTest, AnUnloadByTheProgramIsNotRefused) {
    HWND window = Notice().hwnd();
    Notice().Unload();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(Notice().forms::Form::IsLoaded());
}
