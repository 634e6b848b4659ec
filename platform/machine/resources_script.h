// Reading resource scripts: the subset of the resource compiler's language
// that the program's resources use.
//
//   NAME DIALOG x, y, width, height          (or DIALOGEX, with an optional help id)
//   STYLE a | b | NOT c | 0x10               (style names of platform/api/user32.h)
//   EXSTYLE ...
//   CAPTION "text"
//   FONT 8, "MS Sans Serif"                  (DIALOGEX may add weight, italic, charset)
//   BEGIN                                    (or {)
//       CONTROL "text", id, "CLASS", style, x, y, width, height [, exstyle]
//   END                                      (or })
//   NAME BITMAP "file.bmp"     NAME ICON "file.ico"     NAME RCDATA "file"
//
// Comments (// and /* */) and preprocessor lines (#...) are skipped; LANGUAGE,
// CHARACTERISTICS, VERSION, CLASS and MENU statements are read and ignored.
// As the resource compiler does, a dialog without STYLE gets WS_POPUP |
// WS_BORDER | WS_SYSMENU, CAPTION adds WS_CAPTION, FONT adds DS_SETFONT, and
// every control starts from WS_CHILD | WS_VISIBLE (NOT removes a style).
// Strings are UTF-8 in the script and Windows-1252 in the result, with the
// escapes \\ \" \n \r \t and "" for a quote.
#pragma once

#include "platform/machine/resources.h"

#include <string>
#include <vector>

struct ScriptResource {
    enum class Kind { Dialog, Bitmap, Icon, Data };
    Kind ResourceKind = Kind::Dialog;
    std::string Name;
    DialogTemplate Dialog; // for a dialog
    bool Extended = false; // DIALOGEX rather than DIALOG
    std::string FileName;  // for a bitmap, icon or data file
};

// Parses a whole script. Raises std::runtime_error "<scriptName> line N: ..."
// for anything it cannot read, an unknown style name included.
std::vector<ScriptResource> ParseResourceScript(const std::string& text,
                                                const std::string& scriptName);

// The in-memory dialog template that Windows keeps for a dialog resource:
// DLGTEMPLATE and DLGITEMTEMPLATE, or their extended forms, as documented.
std::vector<uint8_t> DialogTemplateBytes(const DialogTemplate& dialog, bool extended);
