// Shows one of the program's dialogs for a screenshot: "error" (the unexpected-error dialog: a
// headline and three buttons), "question" (a yes/no question), "info" (a message), "warning" (the
// Word-running dialog) or "notice" (the macro-security notice); so each of the message box's four
// icons can be seen. For developers looking at the dialogs; never shipped.

#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "framework/Tvx_UFMacroSecurity.h"
#include "framework/Tvx_Userforms.h"
#include "runtime/Process.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    Tarvex root;
    const std::string which = runtime::CommandArguments();
    if (which == "notice") {
        root.Userforms()->MacroSecurity()->Show();
    } else if (which == "question") {
        root.Tools()->MessageBoxQuestion("Installierte Schriftarten beibehalten? (Empfohlen)\n\nHinweis: Wenn Sie "
                                         "\"Nein\" wählen, werden die von den Tarvex installierten Schriftarten "
                                         "gelöscht.");
    } else if (which == "info") {
        root.Tools()->MessageBoxInfo("Die Tarvex wurden erfolgreich installiert.");
    } else if (which == "warning") {
        root.Tools()->MessageBox("Tarvex Warnung", 3, "Microsoft Word aktiv", 0,
                                 "Während des Setups muß Microsoft Word geschlossen sein.", 0, 0, 0, 2, "Wiederholen",
                                 "Beenden", "Abbrechen");
    } else {
        root.Errors()->ErrorHandlerForClasses(53, "Datei nicht gefunden", "Tvx_FileSystem");
    }
    return 0;
}
