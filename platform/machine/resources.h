// The program's embedded resources (dialog templates, bitmaps, icon), as the
// machine's resource loader sees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One control line of a dialog template.
struct DialogControlTemplate {
    std::string Text; // Windows-1252
    // An id of -1 in a DIALOG script is 65535, the WORD Windows keeps for it;
    // a DIALOGEX keeps -1.
    int Id = 0;
    std::string ClassName; // "BUTTON", "EDIT", "STATIC"
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0; // dialog units
};

struct DialogTemplate {
    std::string Name;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0; // dialog units
    std::string Caption;
    int FontPointSize = 8;
    std::string FontFace = "MS Sans Serif";
    std::vector<DialogControlTemplate> Controls;
};

// The dialog template of that name (compared without regard to case); null
// when there is none or it is hidden.
const DialogTemplate* FindDialogTemplate(const std::string& name);

// The raw bytes of a bitmap resource (a .bmp file's contents); null when none.
const std::vector<uint8_t>* FindBitmapResource(const std::string& name);

// Hides a resource from every lookup until the machine restarts; for tests
// that need a missing template or bitmap.
void HideResource(const std::string& name);

// Adds the resources of a resource script (the form of resources/rembrix.rc)
// until the machine restarts, replacing any of the same name and type; for
// tests that need templates or bitmaps of their own. A file that a BITMAP or
// ICON line names is one of the program's embedded files or a host path.
// Raises std::runtime_error, with the line, for a script it cannot read.
void AddResourceScriptForTesting(const std::string& rcText);
