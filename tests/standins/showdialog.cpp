// Shows one of the program's dialogs for a screenshot: "error" (the unexpected-error dialog: a
// headline and three buttons), "question" (a yes/no question) or "notice" (the macro-security
// notice). For developers looking at the dialogs; never shipped.

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
    } else {
        root.Errors()->ErrorHandlerForClasses(53, "Datei nicht gefunden", "Tvx_FileSystem");
    }
    return 0;
}
