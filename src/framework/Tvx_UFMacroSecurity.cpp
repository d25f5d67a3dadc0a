#include "Tvx_UFMacroSecurity.h"

#include "ErrorTrap.h"
#include "resources/resource.h"
#include "runtime/Keys.h"

namespace {

forms::FormLayout Layout() {
    forms::FormLayout layout;
    layout.Caption = "Hinweis zur Makro-Sicherheit";
    layout.ClientWidth = 319.5;
    layout.ClientHeight = 272.25;
    layout.BackColor = RGB(255, 255, 255);
    layout.IconId = IDI_TVXSETUP;
    return layout;
}

} // namespace

std::string Tvx_UFMacroSecurity::NoticeText() {
    return "Ab Microsoft Word 2000 benötigen Makros in der Sicherheitsstufe \"Hoch\" ein Zertifikat. Da die Tarvex "
           "kostenlos angeboten werden und solch ein Zertifikat einige hundert Dollar pro Jahr kostet, ist ein Erwerb "
           "für uns leider nicht möglich.\r\n"
           "Der Setup stellt daher automatisch die Sicherheitsstufe \"Niedrig\" ein. Im Normalfall ist dies "
           "unproblematisch, falls Sie aber häufig Dokumente von unterschiedlichen Quellen öffnen, können Sie Word "
           "dennoch folgendermaßen vor Makro-Viren schützen ...\r\n\r\n"
           "- Sie können im Menü unter \"Extras\" > \"Optionen\" > \"Sicherheit\" > \"Makrosicherheit\" nach dem "
           "Setup die Sicherheitsstufe \"Mittel\" einstellen. Hiermit können Sie die Tarvex dennoch ausführen, müssen "
           "dies aber bei jedem Start von Word bestätigen.\r\n\r\n"
           "- Wirksamer ist es, den PC mit einem gängigen Virenscanner zu schützen: Er wehrt nicht nur Makro-Viren ab, "
           "sondern auch viele andere Gefahren wie herkömmliche Viren, Würmer und Trojaner. Solche Programme erhalten "
           "Sie im Fachhandel.\r\n\r\n"
           "Auch Microsoft empfiehlt in seinen Hinweisen zur Makro-Sicherheit den letzteren Weg.";
}

Tvx_UFMacroSecurity::Tvx_UFMacroSecurity() : forms::Form(Layout()) {
    FOk = &Add<forms::CommandButton>(*this, kIdOk, forms::Place{132, 234, 54, 21.75}, 0, "Ok");
    FOk->Default(true);
    FOk->Cancel(true);
    FLabelWelcome =
        &Add<forms::TextBox>(*this, kIdLabelWelcome, forms::Place{12, 12, 294, 207.75}, 1, NoticeText());
    FLabelWelcome->BackColor(GetSysColor(COLOR_WINDOW));
    FOk->OnClick = [this] { Ok_Click(); };
    FOk->SetFocus();
}

void Tvx_UFMacroSecurity::Show() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { FOk->SetFocus(); });
    trap([&] { forms::Form::Show(1); });
}

void Tvx_UFMacroSecurity::Hide() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { forms::Form::Hide(); });
}

void Tvx_UFMacroSecurity::UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) {
    ErrorTrap trap(Root, TypeName());
    if (CloseMode == forms::kCloseByUser || CloseMode == forms::kCloseByOtherProgram) {
        // The close box, and a close request from another program, end the notice the way Esc does:
        // through the cancel button "Ok". The window stays for the next showing.
        Cancel = -1;
        trap([&] { runtime::SendKeys("{ESC}"); });
    }
}

void Tvx_UFMacroSecurity::Ok_Click() { Hide(); }
