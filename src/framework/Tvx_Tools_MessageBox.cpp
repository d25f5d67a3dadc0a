#include "Tvx_Tools.h"

using runtime::Variant;

// The message box window comes with the dialogs; until then every dialog answers "Ignorieren".
Variant Tvx_Tools::MessageBox(const Variant&, const Variant&, const Variant&, const Variant&, const Variant&,
                              const Variant&, const Variant&, const Variant&, const Variant&, const Variant&,
                              const Variant&, const Variant&, const Variant&) {
    return Variant::Integer(1);
}

Variant Tvx_Tools::MessageBoxSimple(const Variant& AText) {
    return MessageBoxInfo(AText);
}

Variant Tvx_Tools::MessageBoxInfo(const Variant& AText) {
    return MessageBox("Tarvex Hinweis", 0, "", 0, AText, 1, 1, 0, 0, "Ok");
}

Variant Tvx_Tools::MessageBoxQuestion(const Variant& AText) {
    return MessageBox("Tarvex Frage", 1, "", 0, AText, 1, 1, 0, 0, "Ja", "Nein");
}
