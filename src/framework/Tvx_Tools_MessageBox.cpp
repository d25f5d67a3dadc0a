#include "Tvx_Tools.h"

#include "ErrorTrap.h"
#include "Tarvex.h"
#include "Tvx_Errors.h"
#include "Tvx_UFMessageBox.h"
#include "Tvx_Userforms.h"

#include <cmath>

using runtime::Variant;

namespace {

constexpr const char* kLocation = "Tvx_Tools.MessageBox";

// The selector value as one of 0 to last, or -1 for any other value (a fraction included).
int Selector(const Variant& value, int last) {
    const double number = value.ToDouble();
    for (int candidate = 0; candidate <= last; ++candidate) {
        if (number == candidate) {
            return candidate;
        }
    }
    return -1;
}

// The text box alignment for 0 left, 1 centre, 2 right.
int16_t TextAlignOf(int selector) { return static_cast<int16_t>(selector + 1); }

} // namespace

Variant Tvx_Tools::MessageBox(const Variant& ATitle, const Variant& AIconType, const Variant& ABigText,
                              const Variant& ABigHorAlignment, const Variant& AText, const Variant& AHorAlignment,
                              const Variant& AVertAlignment, const Variant& ADefaultButton,
                              const Variant& ACancelButton, const Variant& ACaptionButton0,
                              const Variant& ACaptionButton1, const Variant& ACaptionButton2,
                              const Variant& ACaptionButton3) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    auto report = [&](const char* argumentName) {
        trap([&] { Required(RootObject().Errors()).MessageBoxInternalErrorStandard(argumentName, kLocation); });
    };

    Tvx_UFMessageBox* box = nullptr;
    trap([&] { box = Required(RootObject().Userforms()).MessageBox(); });
    auto window = [&]() -> Tvx_UFMessageBox& { return Required(box); };

    trap([&] { window().Caption(ATitle.ToString()); });

    // Icon.
    trap([&] { window().IconInfo().Visible(false); });
    trap([&] { window().IconQuestion().Visible(false); });
    trap([&] { window().IconError().Visible(false); });
    trap([&] { window().IconWarning().Visible(false); });
    int icon = -1;
    trap([&] { icon = Selector(AIconType, 3); });
    switch (icon) {
    case 0:
        trap([&] { window().IconInfo().Visible(true); });
        break;
    case 1:
        trap([&] { window().IconQuestion().Visible(true); });
        break;
    case 2:
        trap([&] { window().IconError().Visible(true); });
        break;
    case 3:
        trap([&] { window().IconWarning().Visible(true); });
        break;
    default:
        report("AIconType");
        break;
    }

    // Headline.
    trap([&] { window().TextBoxBig().Text(ABigText.ToString()); });
    int bigAlignment = -1;
    trap([&] { bigAlignment = Selector(ABigHorAlignment, 2); });
    if (bigAlignment >= 0) {
        trap([&] { window().TextBoxBig().TextAlign(TextAlignOf(bigAlignment)); });
    } else {
        report("ABigHorAlignment");
    }

    // Body position: below the headline when there is one, so that the body always ends above the
    // buttons.
    bool withHeadline = true;
    trap([&] { withHeadline = !ABigText.ToString().empty(); });
    if (withHeadline) {
        trap([&] { window().TextBox().Top(46); });
        trap([&] { window().TextBox().Height(134.75); });
    } else {
        trap([&] { window().TextBox().Top(12); });
        trap([&] { window().TextBox().Height(168.75); });
    }

    // Body text.
    trap([&] { window().TextBox().Text(AText.ToString()); });
    int alignment = -1;
    trap([&] { alignment = Selector(AHorAlignment, 2); });
    if (alignment >= 0) {
        trap([&] { window().TextBox().TextAlign(TextAlignOf(alignment)); });
    } else {
        report("AHorAlignment");
    }

    // Line count, and the line feeds that place the body vertically.
    int32_t lineCount = 0;
    trap([&] { window().TextBox().SetFocus(); });
    trap([&] { lineCount = window().TextBox().LineCount(); });
    const int32_t lineLimit = withHeadline ? 13 : 17;
    bool placeVertically = false;
    trap([&] { placeVertically = lineCount < lineLimit && !(AVertAlignment == Variant(0)); });
    if (placeVertically) {
        int32_t lineFeeds = 0;
        int vertical = -1;
        trap([&] { vertical = Selector(AVertAlignment, 2); });
        if (vertical == 1) {
            lineFeeds = static_cast<int32_t>(std::trunc(lineLimit / 2.0 - lineCount / 2.0));
        } else if (vertical == 2) {
            lineFeeds = lineLimit - lineCount;
        } else {
            report("AVertAlignment");
        }
        for (int32_t i = 0; i < lineFeeds; ++i) {
            trap([&] { window().TextBox().Text("\n" + window().TextBox().Text()); });
        }
    }

    // Buttons: the row is chosen by the last caption given.
    for (int row = 0; row <= 3; ++row) {
        for (int index = 0; index <= row; ++index) {
            trap([&] { window().RowButton(row, index).Visible(false); });
        }
    }
    const Variant* captions[] = {&ACaptionButton0, &ACaptionButton1, &ACaptionButton2, &ACaptionButton3};
    int row = 0;
    for (int candidate = 3; candidate >= 1; --candidate) {
        if (!captions[candidate]->IsMissing()) {
            row = candidate;
            break;
        }
    }
    for (int k = 0; k <= row; ++k) {
        trap([&] { window().RowButton(row, k).Caption(captions[k]->ToString()); });
    }
    for (int index = 0; index <= 3; ++index) {
        trap([&] { window().RowButton(row, index).Visible(true); });
    }

    for (int index = 0; index <= 3; ++index) {
        trap([&] { window().RowButton(row, index).Default(false); });
    }
    int defaultButton = -1;
    trap([&] { defaultButton = Selector(ADefaultButton, 3); });
    if (defaultButton >= 0) {
        trap([&] { window().RowButton(row, defaultButton).Default(true); });
        trap([&] { window().RowButton(row, defaultButton).SetFocus(); });
    } else {
        report("ADefaultButton");
    }

    for (int index = 0; index <= 3; ++index) {
        trap([&] { window().RowButton(row, index).Cancel(false); });
    }
    int cancelButton = -1;
    trap([&] { cancelButton = Selector(ACancelButton, 3); });
    if (cancelButton >= 0) {
        trap([&] { window().RowButton(row, cancelButton).Cancel(true); });
    } else {
        report("ACancelButton");
    }

    trap([&] { window().Show(); });
    trap([&] { result = window().Reply(); });
    return result;
}

Variant Tvx_Tools::MessageBoxSimple(const Variant& AText) { return MessageBoxInfo(AText); }

Variant Tvx_Tools::MessageBoxInfo(const Variant& AText) {
    return MessageBox("Tarvex Hinweis", 0, "", 0, AText, 1, 1, 0, 0, "Ok");
}

Variant Tvx_Tools::MessageBoxQuestion(const Variant& AText) {
    return MessageBox("Tarvex Frage", 1, "", 0, AText, 1, 1, 0, 0, "Ja", "Nein");
}
